// File access on posix: the host's Windows paths mapped to native ones.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "settings/file_access.h"

namespace tam {

std::string NativePath(const std::string& path) {
  std::string p = path;
  if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) p.erase(0, 2);
  for (std::size_t i = 0; i < p.size();) {
    std::size_t n = SjisCharSize(p, i);
    if (n == 1 && p[i] == '\\') p[i] = '/';
    i += n;
  }
  return p;
}

namespace {

bool WriteAllTo(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Folder(const std::string& native) {
  std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

// The host's file names match in any letter case. A path that does not exist
// as written is looked up component by component, taking the entry whose
// name matches without regard to case; components that match nothing are
// kept as written (a file about to be created).
std::string Resolve(const std::string& native) {
  struct stat st {};
  if (native.empty() || lstat(native.c_str(), &st) == 0) return native;
  std::string done = native[0] == '/' ? "/" : "";
  bool matching = true;
  std::size_t pos = 0;
  while (pos <= native.size()) {
    std::size_t end = native.find('/', pos);
    if (end == std::string::npos) end = native.size();
    std::string part = native.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    std::string dir = done.empty() ? "." : done;
    std::string next = (done.empty() || done.back() == '/' ? done : done + "/") + part;
    if (matching && lstat(next.c_str(), &st) != 0) {
      matching = false;
      if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
          if (SameIgnoringCase(e->d_name, part)) {
            next = (done.empty() || done.back() == '/' ? done : done + "/") + e->d_name;
            matching = true;
            break;
          }
        }
        closedir(d);
      }
    }
    done = next;
  }
  if (!native.empty() && native.back() == '/' && !done.empty() && done.back() != '/') done += '/';
  return done;
}

std::string Local(const std::string& path) { return Resolve(NativePath(path)); }

class PosixFiles : public FileAccess {
 public:
  bool FileExists(const std::string& path) override {
    struct stat st {};
    return stat(Local(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  std::optional<std::string> ReadAll(const std::string& path) override {
    int fd = open(Local(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    char buf[65536];
    for (;;) {
      ssize_t n = read(fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        close(fd);
        return std::nullopt;
      }
      if (n == 0) break;
      data.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return data;
  }

  bool ReplaceContents(const std::string& path, const std::string& data) override {
    std::string target = Local(path);
    std::string temp = target + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    struct stat st {};
    mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0 && WriteAllTo(fd, data) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
      unlink(temp.c_str());
      return false;
    }
    int dir = open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
    return true;
  }

  bool AppendText(const std::string& path, const std::string& data) override {
    int fd = open(Local(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAllTo(fd, data);
    return close(fd) == 0 && ok;
  }

  std::string CreateTempFile(const std::string& folder, const std::string& prefix, const std::string& data) override {
    std::string pattern = Local(folder) + prefix + "XXXXXX.TMP";
    int fd = mkstemps(&pattern[0], 4);
    if (fd < 0) return std::string();
    bool ok = WriteAllTo(fd, data);
    ok = close(fd) == 0 && ok;
    if (!ok) {
      unlink(pattern.c_str());
      return std::string();
    }
    return folder + pattern.substr(pattern.size() - prefix.size() - 10);
  }

  bool RemoveFile(const std::string& path) override { return unlink(Local(path).c_str()) == 0; }

  bool CreateFolder(const std::string& path) override {
    std::string native = Local(path);
    if (mkdir(native.c_str(), 0777) == 0) return true;
    struct stat st {};
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  std::optional<std::string> StoredFolderName(const std::string& path) override {
    std::string native = Local(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    struct stat st {};
    if (stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    std::size_t slash = native.rfind('/');
    std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    return name;
  }
};

}  // namespace

FileAccess& NativeFiles() {
  static PosixFiles files;
  return files;
}

}  // namespace tam
