// File access on win32: the host's paths go to the ANSI file functions as they are.
#include <windows.h>

#include <algorithm>

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "settings/file_access.h"

namespace tam {

std::string NativePath(const std::string& path) { return path; }

namespace {

// The folder part of a file name, for a temporary file beside it.
std::string FolderOf(const std::string& path) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); i += SjisCharSize(path, i))
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') last = i;
  if (last == std::string::npos) return ".";
  return path.substr(0, last + 1);
}

bool WriteAllTo(HANDLE h, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1 << 20)), written = 0;
    if (!WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Writes data into the file name, which GetTempFileName has just created.
bool WriteNewFile(const char* name, const std::string& data, bool flush) {
  HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAllTo(h, data) && (!flush || FlushFileBuffers(h));
  ok = CloseHandle(h) && ok;
  return ok;
}

class Win32Files : public FileAccess {
 public:
  bool FileExists(const std::string& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::optional<std::string> ReadAll(const std::string& path) override {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data;
    char buf[65536];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
        CloseHandle(h);
        return std::nullopt;
      }
      if (got == 0) break;
      data.append(buf, got);
    }
    CloseHandle(h);
    return data;
  }

  bool ReplaceContents(const std::string& path, const std::string& data) override {
    char temp[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(path).c_str(), "KSR", 0, temp)) return false;
    bool ok = WriteNewFile(temp, data, true) &&
              MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temp);
    return ok;
  }

  bool AppendText(const std::string& path, const std::string& data) override {
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAllTo(h, data);
    return CloseHandle(h) && ok;
  }

  std::string CreateTempFile(const std::string& folder, const std::string& prefix, const std::string& data) override {
    char name[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), prefix.c_str(), 0, name)) return std::string();
    if (!WriteNewFile(name, data, false)) {
      DeleteFileA(name);
      return std::string();
    }
    return name;
  }

  bool RemoveFile(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }

  bool CreateFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::optional<std::string> StoredFolderName(const std::string& path) override {
    // Drop the final backslashes, but not the trail byte 0x5C that ends a
    // double-byte name such as "表".
    std::size_t end = 0;
    for (std::size_t i = 0; i < path.size(); i += SjisCharSize(path, i))
      if (path[i] != '\\') end = i + SjisCharSize(path, i);
    std::string p = path.substr(0, end);
    if (p.empty() || p.find_first_of("*?") != std::string::npos) return std::nullopt;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(p.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(h);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return std::string(found.cFileName);
  }
};

}  // namespace

FileAccess& NativeFiles() {
  static Win32Files files;
  return files;
}

}  // namespace tam
