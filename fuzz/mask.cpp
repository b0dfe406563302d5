// Name masks: a mask and a name (the input split at its first NUL) through
// the mask compiler and matcher, alone and as a mask list.
#include "library/mask.h"

#include <cstdint>
#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 4096) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string mask = input.substr(0, nul);
  const std::string name = nul == std::string::npos ? std::string() : input.substr(nul + 1);
  try {
    Mask(mask).Matches(name);
  } catch (const std::exception&) {
  }
  try {
    MaskList(mask).Matches(name);
  } catch (const std::exception&) {
  }
  return 0;
}
