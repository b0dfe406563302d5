// The process-wide random generator: a 32-bit linear congruential sequence,
// seed = seed * 134775813 + 1 (mod 2^32), the same on every platform so that
// a program gives the same draws after RANDOMIZE with a fixed seed.
#pragma once

#include <cstdint>

namespace tam {
namespace random {

void SetSeed(std::uint32_t seed);
std::uint32_t Seed();
// Seeds from the UTC time of day in milliseconds.
void SeedFromClock();

// A real draw in [0, 1): the new seed times 2^-32.
double NextReal();
// An integer draw below n: the upper 32 bits of the new seed times n, both
// read as unsigned numbers.
std::uint32_t NextBelow(std::uint32_t n);

}  // namespace random
}  // namespace tam
