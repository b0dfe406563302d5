// External function libraries: every library in the engine's external
// folder that exports "ExternalFunction" is offered the names that the
// earlier steps of the dispatch did not know, in the order in which the
// folder search found them. Values cross as 16-byte value records; the OS
// side (search, loading, the call, safe arrays) is platform/dynlib.h.
#include "engine/external.h"

#include <cstring>
#include <new>
#include <vector>

#include "engine/failure.h"
#include "engine/sjis.h"
#include "platform/dynlib.h"
#include "platform/platform.h"

namespace tam {

namespace {

// Arrays inside arrays are followed this deep, each way.
constexpr int kMaxNesting = 32;
// The records of one argument: more than any script builds, and a bound on
// what a result array may claim.
constexpr std::size_t kMaxRecords = 1u << 22;

template <class T>
void Put(os::ValueRecord& r, T v) {
  static_assert(sizeof(T) <= sizeof(r.data), "fits the record");
  std::memcpy(r.data, &v, sizeof v);
}

template <class T>
T Get(const os::ValueRecord& r) {
  T v;
  std::memcpy(&v, r.data, sizeof v);
  return v;
}

// Builds the records of an argument; the safe arrays made for it are kept
// for the caller to destroy after the call. Texts stay owned by the value.
class ArgumentRecords {
 public:
  ~ArgumentRecords() {
    for (void* a : arrays_) os::DestroyRecordArray(a);
  }

  os::ValueRecord Make(const Value& v, int depth = 0) {
    os::ValueRecord r;
    if (v.isArray()) {
      if (depth >= kMaxNesting) throw VariantError("External function");
      std::vector<os::ValueRecord> items;
      items.reserve(v.items().size());
      for (const Value& item : v.items()) items.push_back(Make(item, depth + 1));
      void* array = os::CreateRecordArray(items);
      if (array) arrays_.push_back(array);
      r.type = vtArray;
      Put(r, array);
      return r;
    }
    r.type = v.type();
    switch (v.type()) {
      case vtSmallInt:
        Put(r, v.s16());
        break;
      case vtInteger:
      case vtError:
        Put(r, v.i());
        break;
      case vtSingle:
        Put(r, v.f());
        break;
      case vtDouble:
      case vtDate:
        Put(r, v.d());
        break;
      case vtCurrency:
        Put(r, v.cy());
        break;
      case vtBoolean:
        Put(r, static_cast<std::int16_t>(v.b() ? -1 : 0));
        break;
      case vtByte:
        Put(r, v.u8());
        break;
      case vtString:
      case vtOleStr:
        // Texts cross as Shift-JIS byte strings.
        r.type = vtString;
        Put(r, v.str().data());  // ends in a 0 byte
        break;
      default:
        break;
    }
    return r;
  }

 private:
  std::vector<void*> arrays_;
};

Value FromRecord(const os::ValueRecord& r, int depth = 0) {
  switch (r.type) {
    case vtEmpty:
      return Value();
    case vtNull:
      return Value::Null();
    case vtSmallInt:
      return Value::Small(Get<std::int16_t>(r));
    case vtInteger:
      return Value::Int(Get<std::int32_t>(r));
    case vtSingle:
      return Value::Sgl(Get<float>(r));
    case vtDouble:
      return Value::Dbl(Get<double>(r));
    case vtCurrency:
      return Value::Cur(Get<std::int64_t>(r));
    case vtDate:
      return Value::DateVal(Get<double>(r));
    case vtError:
      return Value::ErrorVal(Get<std::int32_t>(r));
    case vtBoolean:
      return Value::Bool(Get<std::int16_t>(r) != 0);
    case vtByte:
      return Value::ByteVal(Get<std::uint8_t>(r));
    case vtOleStr:
      return Value::Str(os::WideText(Get<const void*>(r)));
    case vtString: {
      const char* text = Get<const char*>(r);
      return Value::Str(text ? std::string(text) : std::string());
    }
    case vtArray: {
      std::vector<os::ValueRecord> records;
      if (depth >= kMaxNesting || !os::ReadRecordArray(Get<const void*>(r), records) || records.size() > kMaxRecords)
        throw VariantError("External function");
      std::vector<Value> items;
      items.reserve(records.size());
      for (const os::ValueRecord& item : records) items.push_back(FromRecord(item, depth + 1));
      return Value::Array(std::move(items));
    }
    default:
      throw VariantError("External function");
  }
}

}  // namespace

struct ExternalLibraries::Impl {
  struct Library {
    std::string file;
    os::LibraryHandle handle;
    void* entry;
  };
  std::vector<Library> libraries;
};

std::string ExternalFolderPath(const std::string& folder) {
  if (folder.empty()) return folder;
  const std::string delimiter(1, os::kPathDelimiter);
  if (CharCopy(folder, CharLength(folder), 1) == delimiter) return folder;
  return folder + delimiter;
}

ExternalLibraries::ExternalLibraries(const std::string& folder) : impl_(std::make_unique<Impl>()) {
  if (folder.empty()) return;
  const std::string dir = ExternalFolderPath(folder);
  for (const std::string& file : os::FindDynamicLibraries(dir)) {
    if (UpperCase(file) == "ALVCOLOR.DLL") continue;
    const os::LibraryHandle handle = os::LoadDynamicLibrary(dir + file);
    if (!handle) continue;
    if (void* entry = os::DynamicSymbol(handle, "ExternalFunction"))
      impl_->libraries.push_back({file, handle, entry});
    else
      os::FreeDynamicLibrary(handle);
  }
}

ExternalLibraries::~ExternalLibraries() {
  for (const Impl::Library& lib : impl_->libraries) os::FreeDynamicLibrary(lib.handle);
}

bool ExternalLibraries::Call(const std::string& name, const Value& args, Value& result, bool& found) {
  found = false;
  if (impl_->libraries.empty()) return true;
  try {
    ArgumentRecords records;
    const os::ValueRecord argument = records.Make(args);
    for (const Impl::Library& lib : impl_->libraries) {
      os::ValueRecord answer;
      const bool ok = os::CallExternalFunction(lib.entry, name.c_str(), argument, &answer, &found);
      if (!found) continue;
      result = FromRecord(answer);
      return ok;
    }
  } catch (const std::bad_alloc&) {
    throw VariantError("External function");
  }
  found = false;
  return true;
}

}  // namespace tam
