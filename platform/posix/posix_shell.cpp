// The shell's "open" on a posix system: an executable file starts with the
// parameters split as a Windows command line; any other file or a folder is
// handed to the desktop's opener (xdg-open). Nothing waits for the program;
// its standard streams are /dev/null and it runs in a session of its own.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/posix/posix_names.h"
#include "platform/posix/posix_services.h"

extern char** environ;

namespace tam::posix {

namespace {

constexpr int kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5, kOutOfMemory = 8, kBadFormat = 11,
              kNoAssociation = 31, kStarted = 42;

// The parameters text split as Windows programs split their command line:
// blanks separate, double quotes group, 2n backslashes before a quote give n
// backslashes, 2n+1 give n and a literal quote, "" inside quotes is a quote.
std::vector<std::string> SplitParameters(const std::string& s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i >= s.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < s.size() && (quoted || (s[i] != ' ' && s[i] != '\t'))) {
      std::size_t slashes = 0;
      while (i < s.size() && s[i] == '\\') ++slashes, ++i;
      if (i < s.size() && s[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
          arg += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < s.size() && slashes == 0) arg += s[i++];
      }
    }
    out.push_back(arg);
  }
  return out;
}

bool IsDir(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0;
}

bool IsExecutableFile(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(p.c_str(), X_OK) == 0;
}

// The first executable file of that name in the folders of PATH.
std::string SearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string list = path ? path : "/usr/bin:/bin";
  std::size_t i = 0;
  while (i <= list.size()) {
    std::size_t end = list.find(':', i);
    if (end == std::string::npos) end = list.size();
    std::string dir = list.substr(i, end - i);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    i = end + 1;
  }
  return std::string();
}

// Started programs are reaped when the next one starts, so none stays a zombie for long.
std::vector<pid_t>& Children() {
  static std::vector<pid_t> children;
  return children;
}

void ReapFinished() {
  auto& c = Children();
  for (std::size_t i = 0; i < c.size();) {
    if (waitpid(c[i], nullptr, WNOHANG) != 0) {
      c[i] = c.back();
      c.pop_back();
    } else {
      ++i;
    }
  }
}

int Spawn(const std::vector<std::string>& argv, const std::string& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  for (int fd = 0; fd <= 2; ++fd) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int err = posix_spawn(&pid, argv[0].c_str(), &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  switch (err) {
    case 0:
      Children().push_back(pid);
      return kStarted;
    case ENOENT:
      return kFileNotFound;
    case EACCES:
    case EPERM:
      return kAccessDenied;
    case ENOEXEC:
      return kBadFormat;
    case ENOMEM:
      return kOutOfMemory;
    default:
      return 0;
  }
}

}  // namespace

int ShellStart(const std::string& file, const std::string& params, const std::string& folder) {
  ReapFinished();
  const std::string name = NativeName(file), dir = NativeName(folder);
  if (name.empty()) return kFileNotFound;
  if (!dir.empty() && !IsDir(dir)) return kPathNotFound;
  // A name with a folder part is taken relative to the working folder.
  std::string target;
  if (name.find('/') != std::string::npos) {
    target = name[0] == '/' || dir.empty() ? name : dir + "/" + name;
    if (!Exists(target)) {
      const std::string parent = target.substr(0, target.find_last_of('/') + 1);
      return IsDir(parent.empty() ? "." : parent) ? kFileNotFound : kPathNotFound;
    }
  } else {
    const std::string local = dir.empty() ? name : dir + "/" + name;
    target = Exists(local) ? local : SearchPath(name);
    if (target.empty()) return kFileNotFound;
  }
  std::vector<std::string> argv;
  if (IsExecutableFile(target)) {
    argv.push_back(target);
    for (std::string& p : SplitParameters(NativeName(params))) argv.push_back(std::move(p));
  } else {
    const std::string opener = SearchPath("xdg-open");
    if (opener.empty()) return kNoAssociation;
    argv = {opener, target};
  }
  return Spawn(argv, dir);
}

}  // namespace tam::posix
