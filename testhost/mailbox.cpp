// The host's mail store on disk: each folder holds its mails as
// NAME.ALM files and lists them, one line each, in ENTRY.LST; a line is the
// 8-character entry name, a tab and the mail's flags in hexadecimal.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "testhost/host.h"

namespace almail {

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> SubFolders(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
  return CloseHandle(h) && ok;
}

std::string StoreMail(const std::string& file, const std::string& folder, std::uint32_t flags) {
  std::string dir = host().config.mailbox + folder;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  if (!IsFolder(dir)) {
    Fault("! import into a folder that does not exist: " + folder);
    return std::string();
  }
  std::string mail;
  if (!ReadFileBytes(file, mail)) {
    Fault("! import of a file that cannot be read: " + file);
    return std::string();
  }
  std::string list;
  ReadFileBytes(dir + "ENTRY.LST", list);
  char name[16];
  unsigned n = static_cast<unsigned>(Lines(list).size()) + 1;
  do std::snprintf(name, sizeof name, "%08X", n++);
  while (FileExists(dir + name + ".ALM"));
  if (!list.empty() && list.back() != '\n') list += "\r\n";
  list += std::string(name) + "\t" + Hex(flags) + "\r\n";
  if (!WriteFileBytes(dir + name + ".ALM", mail) || !WriteFileBytes(dir + "ENTRY.LST", list)) {
    Fault("! cannot store the imported mail in " + dir);
    return std::string();
  }
  return name;
}

std::string FirstAccount() {
  for (const std::string& name : SubFolders(host().config.mailbox))
    if (FileExists(host().config.mailbox + name + "\\Account.ini")) return name;
  return std::string();
}

void PrintOutboxes() {
  const std::string& mailbox = host().config.mailbox;
  for (const std::string& account : SubFolders(mailbox)) {
    const std::string folder = account + "\\OUTBOX.BOX\\";
    std::string list;
    if (!ReadFileBytes(mailbox + folder + "ENTRY.LST", list)) continue;
    for (const std::string& line : Lines(list)) {
      if (line.size() < 8) continue;
      const std::string entry = line.substr(0, 8);
      const std::size_t tab = line.find('\t');
      Out("outbox " + folder + entry + (tab == std::string::npos ? "" : " " + line.substr(tab + 1)));
      std::string mail;
      if (!ReadFileBytes(mailbox + folder + entry + ".ALM", mail)) Out("  ! missing");
      for (const std::string& l : Lines(mail)) Out("  " + l);
    }
  }
}

}  // namespace almail
