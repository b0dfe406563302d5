#include "plugin/registry.h"

#include <cstring>

#include "engine/failure.h"
#include "engine/sjis.h"
#include "settings/settings_format.h"

namespace tam {

const char* const kProductKey = "Software\\Zembra Lab\\Tamberlo for AL-Mail";

namespace {

bool RootByName(const std::string& name, RegistryRoot& root) {
  static const struct {
    const char* name;
    RegistryRoot root;
  } kRoots[] = {
      {"HKEY_CLASSES_ROOT", RegistryRoot::kClassesRoot},     {"HKEY_CURRENT_USER", RegistryRoot::kCurrentUser},
      {"HKEY_LOCAL_MACHINE", RegistryRoot::kLocalMachine},   {"HKEY_USERS", RegistryRoot::kUsers},
      {"HKEY_CURRENT_CONFIG", RegistryRoot::kCurrentConfig}, {"HKEY_DYN_DATA", RegistryRoot::kDynData}};
  std::string upper = UpperCase(name);
  for (const auto& r : kRoots) {
    if (upper == r.name) {
      root = r.root;
      return true;
    }
  }
  return false;
}

bool IsString(const RegistryData& d) { return d.type == kRegString || d.type == kRegExpandString; }

std::string StringData(const RegistryData& d) { return d.bytes.substr(0, d.bytes.find('\0')); }

bool Binary(const RegistryData& d, std::size_t size, void* out) {
  if (d.type != kRegBinary || d.bytes.size() != size) return false;
  std::memcpy(out, d.bytes.data(), size);
  return true;
}

bool Dword(const RegistryData& d, std::int32_t& out) {
  if (d.type != kRegDword || d.bytes.size() != 4) return false;
  std::memcpy(&out, d.bytes.data(), 4);
  return true;
}

std::optional<Value> Convert(const RegistryData& d, const Value& def) {
  switch (def.type()) {
    case vtDate: {
      double days;
      if (Binary(d, 8, &days)) return Value::DateVal(days);
      if (IsString(d)) return Value::DateVal(ToDate(Value::Str(StringData(d))));
      return std::nullopt;
    }
    case vtSmallInt:
    case vtInteger: {
      std::int32_t i;
      if (Dword(d, i)) return Value::Int(i);
      if (IsString(d) && ParseSettingInteger(StringData(d), i)) return Value::Int(i);
      return std::nullopt;
    }
    case vtSingle:
    case vtDouble: {
      double x;
      if (Binary(d, 8, &x)) return Value::Dbl(x);
      if (IsString(d) && ParseNumber(StringData(d), x)) return Value::Dbl(x);
      return std::nullopt;
    }
    case vtCurrency: {
      std::int64_t cy;
      if (Binary(d, 8, &cy)) return Value::Cur(cy);
      return std::nullopt;
    }
    case vtBoolean: {
      std::int32_t i;
      if (Dword(d, i)) return Value::Bool(i != 0);
      if (!IsString(d)) return std::nullopt;
      std::string s = StringData(d);
      return Value::Bool(!(s == "0" || UpperCase(s) == "FALSE"));
    }
    case vtByte: {
      std::uint8_t b;
      if (Binary(d, 1, &b)) return Value::ByteVal(b);
      return std::nullopt;
    }
    case vtString:
    case vtOleStr:
      if (IsString(d)) return Value::Str(StringData(d));
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

Value ReadRegistryValue(RegistryAccess& registry, const std::string& keyPath, const std::string& name,
                        const Value& def) {
  RegistryRoot root = RegistryRoot::kCurrentUser;
  std::string key;
  if (keyPath.empty() || keyPath[0] != '\\') {
    key = kProductKey;
    if (!keyPath.empty()) key += "\\" + keyPath;
  } else {
    std::size_t end = keyPath.find('\\', 1);
    std::string rootName = keyPath.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    if (!RootByName(rootName, root)) return def;
    key = end == std::string::npos ? std::string() : keyPath.substr(end + 1);
  }
  std::optional<RegistryData> data = registry.Query(root, key, name);
  if (!data) return def;
  try {
    std::optional<Value> v = Convert(*data, def);
    return v ? *v : def;
  } catch (const ScriptFailure&) {
    return def;
  }
}

}  // namespace tam
