#include "library/random.h"

#include "platform/platform.h"

namespace tam {
namespace random {

namespace {
std::uint32_t g_seed = 0;

std::uint32_t Advance() {
  g_seed = g_seed * 134775813u + 1u;
  return g_seed;
}
}  // namespace

void SetSeed(std::uint32_t seed) { g_seed = seed; }
std::uint32_t Seed() { return g_seed; }

void SeedFromClock() {
  const LocalTime t = platform().UtcNow();
  g_seed = static_cast<std::uint32_t>(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.msec);
}

double NextReal() { return static_cast<double>(Advance()) * (1.0 / 4294967296.0); }

std::uint32_t NextBelow(std::uint32_t n) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(Advance()) * n) >> 32);
}

}  // namespace random
}  // namespace tam
