// Files and folders through the system's ANSI functions (code page 932).
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_paths.h"

namespace tam::os {

namespace {

using win32::EndsWithBackslash;
using win32::IsLead;

void Describe(const WIN32_FIND_DATAA& d, FileEntry& e) {
  e.name = d.cFileName;
  e.attributes = static_cast<std::int32_t>(d.dwFileAttributes);
  e.size = static_cast<std::uint64_t>(d.nFileSizeHigh) << 32 | d.nFileSizeLow;
  FILETIME local;
  SYSTEMTIME st;
  if (FileTimeToLocalFileTime(&d.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &st)) {
    e.lastWrite.year = st.wYear;
    e.lastWrite.month = st.wMonth;
    e.lastWrite.day = st.wDay;
    e.lastWrite.hour = st.wHour;
    e.lastWrite.minute = st.wMinute;
    e.lastWrite.second = st.wSecond;
    e.lastWrite.msec = st.wMilliseconds;
  }
}

// A text the system fills after telling its length (a call with a buffer of n
// bytes returns the length written, or the size needed when n is too small).
template <class Fill>
std::string Grow(Fill fill) {
  std::string buf(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = fill(static_cast<DWORD>(buf.size()), &buf[0]);
    if (n == 0) return std::string();
    if (n < buf.size()) return buf.substr(0, n);
    buf.assign(n + 1, '\0');
  }
  return std::string();
}

}  // namespace

std::int32_t Attributes(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<std::int32_t>(a);
}

bool SetAttributes(const std::string& path, std::int32_t attributes) {
  return SetFileAttributesA(path.c_str(), static_cast<DWORD>(attributes)) != FALSE;
}

bool FindFirst(const std::string& pattern, FileEntry& entry) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(pattern.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  Describe(d, entry);
  return true;
}

bool ListFolder(const std::string& folder, std::vector<FileEntry>& entries) {
  entries.clear();
  const std::string pattern = folder + (folder.empty() || EndsWithBackslash(folder) ? "" : "\\") + "*.*";
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(pattern.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return false;
  do {
    FileEntry e;
    Describe(d, e);
    entries.push_back(std::move(e));
  } while (FindNextFileA(h, &d));
  FindClose(h);
  return true;
}

std::string FolderIdentity(const std::string& folder) {
  HANDLE h = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info) != FALSE;
  CloseHandle(h);
  if (!ok || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::string();
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }
bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }
bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }
bool Rename(const std::string& from, const std::string& to) { return MoveFileA(from.c_str(), to.c_str()) != FALSE; }

std::string FullPath(const std::string& path) {
  if (path.empty()) return std::string();
  return Grow([&path](DWORD n, char* buf) { return GetFullPathNameA(path.c_str(), n, buf, nullptr); });
}

std::string CurrentFolder() {
  return Grow([](DWORD n, char* buf) { return GetCurrentDirectoryA(n, buf); });
}

bool SetCurrentFolder(const std::string& path) { return !path.empty() && SetCurrentDirectoryA(path.c_str()); }

// The current folder of another drive is read by making that drive current
// for a moment.
std::string DriveFolder(int drive) {
  const std::string here = CurrentFolder();
  if (drive < 1 || drive > 26) return here;
  const char letter[] = {static_cast<char>('A' + drive - 1), ':', '\0'};
  if (!SetCurrentDirectoryA(letter)) return here;
  const std::string there = CurrentFolder();
  SetCurrentDirectoryA(here.c_str());
  return there;
}

std::uint32_t DriveMask() { return GetLogicalDrives(); }

}  // namespace tam::os
