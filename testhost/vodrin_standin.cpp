// Vodrin.exe stand-in: records how the plug-in started the debugger. It
// writes a log beside itself: the parameter text as received, then the
// contents of the file that the first parameter names (the debug bundle,
// which the plug-in deletes when it is unloaded). The first start writes
// Vodrin.log, later ones Vodrin.2.log, Vodrin.3.log, ...; each log appears
// whole, by a rename, so a test can wait for it.
#include <windows.h>

#include <string>

namespace {

// The command line without the program's own name.
std::string Parameters() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

std::string FirstParameter(const std::string& params) {
  if (!params.empty() && params[0] == '"') return params.substr(1, params.find('"', 1) - 1);
  return params.substr(0, params.find(' '));
}

std::string ReadAll(const std::string& file) {
  std::string bytes;
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "(cannot read " + file + ")\r\n";
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

}  // namespace

int main() {
  char self[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder = self;
  folder.erase(folder.rfind('\\') + 1);
  const std::string params = Parameters();
  const std::string log = "parameters: " + params + "\r\n" + ReadAll(FirstParameter(params));
  std::string name = folder + "Vodrin.log";
  for (int n = 2; GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES && n < 1000; ++n)
    name = folder + "Vodrin." + std::to_string(n) + ".log";
  const std::string part = name + ".part";
  HANDLE h = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD put = 0;
  WriteFile(h, log.data(), static_cast<DWORD>(log.size()), &put, nullptr);
  CloseHandle(h);
  return MoveFileExA(part.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
