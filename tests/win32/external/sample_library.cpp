// An external function library for the tests: exports ExternalFunction with
// the standard calling convention and the value record by value.
//   DESCRIBE(x)  the record it received as text: "type:value", arrays "8204[...]"
//   MAKE(code)   a result of that type code
//   WHOAMI()     the library's own file name
//   LEN(x)       99, a name the built-in library knows too
//   REFUSE()     known, but fails
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Record {
  unsigned short type;
  unsigned char reserved[6];
  unsigned char data[8];
#ifdef _WIN64
  unsigned char wide[8];  // a 64-bit VARIANT's size
#endif
};

template <class T>
T Get(const Record& r) {
  T v;
  std::memcpy(&v, r.data, sizeof v);
  return v;
}

template <class T>
void Put(Record* r, unsigned short type, T v) {
  std::memset(r, 0, sizeof *r);
  r->type = type;
  std::memcpy(r->data, &v, sizeof v);
}

std::string Describe(const Record& r) {
  char buf[64];
  std::string s = std::to_string(r.type);
  switch (r.type) {
    case 2:
      return s + ":" + std::to_string(Get<short>(r));
    case 3:
      return s + ":" + std::to_string(Get<int>(r));
    case 5:
    case 7:
      std::snprintf(buf, sizeof buf, "%g", Get<double>(r));
      return s + ":" + buf;
    case 6:
      return s + ":" + std::to_string(Get<long long>(r));
    case 11:
      return s + ":" + std::to_string(Get<short>(r));
    case 256:
      return s + ":" + Get<const char*>(r);
    case 0x200C: {
      SAFEARRAY* a = Get<SAFEARRAY*>(r);
      s += "[";
      for (ULONG i = 0; a && i < a->rgsabound[0].cElements; ++i)
        s += (i ? "," : "") + Describe(static_cast<const Record*>(a->pvData)[i]);
      return s + "]";
    }
    default:
      return s;
  }
}

std::string g_text;  // the text of a string result stays until the next call

}  // namespace

extern "C" unsigned char __stdcall ExternalFunction(const char* name, Record args, Record* result,
                                                    unsigned char* found) {
  const std::string n = name;
  *found = 1;
  if (n == "DESCRIBE") {
    g_text = Describe(args);
    Put(result, 256, g_text.c_str());
  } else if (n == "WHOAMI") {
    char path[MAX_PATH] = {0};
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ExternalFunction), &self);
    GetModuleFileNameA(self, path, MAX_PATH);
    g_text = std::strrchr(path, '\\') ? std::strrchr(path, '\\') + 1 : path;
    Put(result, 256, g_text.c_str());
  } else if (n == "LEN") {
    Put(result, 3, 99);
  } else if (n == "REFUSE") {
    return 0;
  } else if (n == "MAKE") {
    switch (Get<int>(args)) {
      case 1:
        Put(result, 1, 0);
        break;
      case 2:
        Put(result, 2, static_cast<short>(-7));
        break;
      case 4:
        Put(result, 4, 1.5f);
        break;
      case 5:
        Put(result, 5, 2.25);
        break;
      case 6:
        Put(result, 6, 15000LL);
        break;
      case 8:
        Put(result, 8, SysAllocString(L"\u30EF\u30A4\u30C9"));
        break;  // ワイド
      case 11:
        Put(result, 11, static_cast<short>(-1));
        break;
      case 256:
        Put(result, 256, "テキスト");
        break;
      case 0x200C: {
        SAFEARRAY* a = SafeArrayCreateVector(VT_VARIANT, 0, 2);
        Record* items = static_cast<Record*>(a->pvData);
        Put(&items[0], 3, 1);
        Put(&items[1], 256, "a");
        Put(result, 0x200C, a);
        break;
      }
      default:
        Put(result, 999, 0);
    }
  } else {
    *found = 0;
  }
  return 1;
}
