// The debug bundle reader: a file read into a bundle, the bundle written out
// and read back. Without marker lines inside the mail or the program the
// second reading gives the same bundle.
#include <cstdint>

#include "fuzz/memory_files.h"
#include "settings/debug_bundle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 256 * 1024) return 0;
  fuzz::MemoryFiles files("C:\\TMP1.TMP", std::string(reinterpret_cast<const char*>(data), size));
  DebugBundle b;
  if (!ReadBundleFile(files, "C:\\TMP1.TMP", b)) return 0;
  std::string text;
  for (const std::string& line : BundleLines(b, true)) text += line + "\r\n";
  DebugBundle c;
  ReadBundleText(text, c);
  auto marker = [](const std::string& s) { return !s.empty() && s[0] == '['; };
  for (const auto* lines : {&b.mail, &b.program})
    for (const std::string& s : *lines)
      if (marker(s) || s.find_first_of("\r\n") != std::string::npos) return 0;
  for (const std::string* s : {&b.option, &b.accountTitle, &b.accountUser, &b.accountAddress, &b.accountName})
    if (s->find_first_of("\r\n") != std::string::npos) return 0;
  if (c.mail != b.mail || c.program != b.program || c.option != b.option || c.accountTitle != b.accountTitle ||
      c.accountUser != b.accountUser || c.accountAddress != b.accountAddress || c.accountName != b.accountName)
    __builtin_trap();
  return 0;
}
