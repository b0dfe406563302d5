// Files and folders on a posix system, described the way Windows describes
// them: attribute bits (read-only when the owner may not write, hidden for
// names that begin with "."), directory searches with * and ?, and a rename
// that never replaces an existing target.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "engine/sjis.h"
#include "platform/platform.h"
#include "platform/posix/posix_names.h"
#include "platform/posix/posix_services.h"

namespace tam::os {

namespace {

using posix::NativeName;
using posix::ScriptName;

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// stat, or for a link that leads nowhere the link itself.
bool StatPath(const std::string& native, struct stat& st) {
  return stat(native.c_str(), &st) == 0 || lstat(native.c_str(), &st) == 0;
}

std::int32_t AttributesOf(const struct stat& st, const std::string& name) {
  std::int32_t a = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (!(st.st_mode & S_IWUSR)) a |= faReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") a |= faHidden;
  return a;
}

LocalTime LocalOf(time_t when) {
  std::tm t{};
  localtime_r(&when, &t);
  return posix::FromTm(t, 0);
}

void Describe(const struct stat& st, const std::string& scriptName, FileEntry& e) {
  e.name = scriptName;
  e.attributes = AttributesOf(st, scriptName);
  e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
  e.lastWrite = LocalOf(st.st_mtime);
}

// A-Z for a-z outside double-byte characters.
std::string Upper(std::string s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(s[i])))
      ++i;
    else if (s[i] >= 'a' && s[i] <= 'z')
      s[i] = static_cast<char>(s[i] - 'a' + 'A');
  }
  return s;
}

// The wildcards of a directory search: * any run of characters, ? one
// character; ASCII letters in any case. "*.*" matches every name.
bool WildMatch(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  const std::string p = Upper(pattern), n = Upper(name);
  auto charLen = [](const std::string& s, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? std::size_t{2} : std::size_t{1};
  };
  std::size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = ++pi;
      starN = ni;
    } else if (pi < p.size() && p[pi] == '?') {
      ++pi;
      ni += charLen(n, ni);
    } else if (pi < p.size() && p.compare(pi, charLen(p, pi), n, ni, charLen(n, ni)) == 0) {
      ni += charLen(n, ni);
      pi += charLen(p, pi);
    } else if (starP != std::string::npos) {
      pi = starP;
      starN += charLen(n, starN);
      ni = starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

}  // namespace

std::int32_t Attributes(const std::string& path) {
  struct stat st {};
  const std::string native = NativeName(path);
  if (native.empty() || !StatPath(native, st)) return -1;
  return AttributesOf(st, BaseName(native));
}

bool SetAttributes(const std::string& path, std::int32_t attributes) {
  struct stat st {};
  const std::string native = NativeName(path);
  if (native.empty() || stat(native.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (attributes & faReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  return chmod(native.c_str(), mode) == 0;
}

bool FindFirst(const std::string& pattern, FileEntry& entry) {
  const std::string native = NativeName(pattern);
  const std::size_t slash = native.find_last_of('/');
  const std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
  if (last.empty()) return false;
  if (last.find_first_of("*?") == std::string::npos) {
    struct stat st {};
    if (!StatPath(native, st)) return false;
    Describe(st, ScriptName(last), entry);
    return true;
  }
  std::string folder = slash == std::string::npos ? "." : native.substr(0, slash + 1);
  if (folder.find_first_of("*?") != std::string::npos) return false;
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  const std::string wanted = ScriptName(last);
  while (const dirent* d = readdir(dir.get())) {
    const std::string name = ScriptName(d->d_name);
    if (!WildMatch(wanted, name)) continue;
    struct stat st {};
    if (!StatPath(folder + "/" + d->d_name, st)) continue;
    Describe(st, name, entry);
    return true;
  }
  return false;
}

bool ListFolder(const std::string& folder, std::vector<FileEntry>& entries) {
  entries.clear();
  std::string native = NativeName(folder);
  if (native.empty()) native = ".";
  std::unique_ptr<DIR, DirCloser> dir(opendir(native.c_str()));
  if (!dir) return false;
  if (native.back() != '/') native += '/';
  while (const dirent* d = readdir(dir.get())) {
    struct stat st {};
    if (!StatPath(native + d->d_name, st)) continue;
    FileEntry e;
    Describe(st, ScriptName(d->d_name), e);
    entries.push_back(std::move(e));
  }
  return true;
}

std::string FolderIdentity(const std::string& folder) {
  struct stat st {};
  const std::string native = NativeName(folder);
  if (native.empty() || stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::string();
  return std::to_string(static_cast<unsigned long long>(st.st_dev)) + ":" +
         std::to_string(static_cast<unsigned long long>(st.st_ino));
}

bool MakeFolder(const std::string& path) {
  const std::string native = NativeName(path);
  return !native.empty() && mkdir(native.c_str(), 0777) == 0;
}

bool RemoveFolder(const std::string& path) {
  const std::string native = NativeName(path);
  return !native.empty() && rmdir(native.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
  // As on Windows, a read-only file is not deleted.
  const std::string native = NativeName(path);
  struct stat st {};
  if (native.empty() || lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return false;
  return unlink(native.c_str()) == 0;
}

bool Rename(const std::string& from, const std::string& to) {
  const std::string a = NativeName(from), b = NativeName(to);
  struct stat st {};
  if (a.empty() || b.empty() || lstat(b.c_str(), &st) == 0) return false;
  return rename(a.c_str(), b.c_str()) == 0;
}

std::string CurrentFolder() {
  std::string buf(256, '\0');
  for (;;) {
    if (getcwd(&buf[0], buf.size())) return ScriptName(buf.c_str());
    if (errno != ERANGE || buf.size() > (1u << 20)) return std::string();
    buf.resize(buf.size() * 2);
  }
}

bool SetCurrentFolder(const std::string& path) {
  const std::string native = NativeName(path);
  return !native.empty() && chdir(native.c_str()) == 0;
}

std::string FullPath(const std::string& path) {
  if (path.empty()) return std::string();
  const std::string start = path[0] == '/' ? path : CurrentFolder() + "/" + path;
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= start.size()) {
    std::size_t j = start.find('/', i);
    if (j == std::string::npos) j = start.size();
    const std::string part = start.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string full;
  for (const std::string& p : parts) full += "/" + p;
  if (full.empty() || (path.back() == '/' && full.back() != '/')) full += "/";
  return full;
}

// A posix system has no drive letters.
std::string DriveFolder(int) { return CurrentFolder(); }
std::uint32_t DriveMask() { return 0; }

}  // namespace tam::os
