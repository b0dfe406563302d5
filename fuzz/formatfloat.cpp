// Number pictures: a number (eight bytes) and a format (the rest) through
// FORMATFLOAT's picture language and the general format.
#include "library/formatfloat.h"

#include <cstdint>

#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 4096) return 0;
  const double x = fuzz::TakeDouble(data, size);
  const std::string format(reinterpret_cast<const char*>(data), size);
  FloatToStr(x);
  const std::string out = FormatFloat(format, x);
  // The output grows only with the format and the number.
  if (out.size() > 8 * format.size() + 1024) __builtin_trap();
  return 0;
}
