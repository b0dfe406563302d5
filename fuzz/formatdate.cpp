// Date pictures: a day count (eight bytes) and a format (the rest) through
// FORMATDATETIME's picture language.
#include "library/formatdate.h"

#include <cstdint>

#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 4096) return 0;
  const double days = fuzz::TakeDouble(data, size);
  const std::string format(reinterpret_cast<const char*>(data), size);
  SplitDate(days);
  if (FormatDateTime(format, days).size() > kMaxDateText) __builtin_trap();
  return 0;
}
