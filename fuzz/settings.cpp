// The settings file: loaded, every entry read under every kind and written
// back, saved, and loaded again; the saved text must survive a second round
// unchanged. The value texts' own escaping must read back exactly.
#include <cstdint>
#include <exception>

#include "fuzz/memory_files.h"
#include "settings/settings_format.h"
#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 256 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (UnescapeSettingText(EscapeSettingText(text)) != text) __builtin_trap();
  double days = 0;
  ParseSettingDate(text, days);
  std::int32_t n = 0;
  ParseSettingInteger(text, n);

  fuzz::MemoryFiles files("C:\\Kesrel.ini", text);
  SettingsStore store(files);
  store.Load("C:\\Kesrel.ini");
  const std::vector<std::string> names = store.Names();
  const Value defaults[] = {Value(),         Value::Int(1),        Value::Dbl(0.5), Value::Bool(true),
                            Value::Str("x"), Value::DateVal(1.25), Value::Sgl(2.5f)};
  for (std::size_t i = 0; i < names.size() && i < 64; ++i) {
    const std::size_t slash = names[i].find('\\');
    const std::string section = slash == std::string::npos ? names[i] : names[i].substr(0, slash);
    const std::string key = slash == std::string::npos ? "" : names[i].substr(slash + 1);
    for (const Value& def : defaults) {
      try {
        const Value v = store.Read(section, key, def);
        store.Write(section, key, v);
      } catch (const std::exception&) {
      }
    }
  }
  if (!store.Save()) return 0;
  const std::string saved = files.Data();
  SettingsStore again(files);
  again.Load("C:\\Kesrel.ini");
  if (again.Text() != saved) __builtin_trap();
  return 0;
}
