// Folder listings filtered by name masks, the mask test itself, and drives.
#include <optional>

#include "engine/sjis.h"
#include "library/file_family.h"
#include "library/mask.h"
#include "platform/platform.h"

namespace tam {

namespace {

// Nesting below which DIRECTORIES still descends: far deeper than any path
// the system can open, a last guard behind the check for folder cycles.
constexpr std::size_t kMaxDepth = 4096;

std::string FolderWithDelimiter(std::string folder) {
  if (!EndsWithDelimiter(folder)) folder += os::kPathDelimiter;
  return folder;
}

// FILES(folder [, masks]): the names of the files (not folders) of a folder
// that match the masks, in the system's order.
bool Files(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 1);
  if (!a) return false;
  const std::string folder = FolderWithDelimiter(shape::Text((*a)[0]));
  const std::string masks = a->size() > 1 ? shape::Text((*a)[1]) : "*";
  std::vector<os::FileEntry> entries;
  os::ListFolder(folder, entries);
  std::optional<MaskList> list;
  std::vector<std::string> names;
  for (const os::FileEntry& e : entries) {
    if (e.attributes & (os::faDirectory | os::faVolumeLabel)) continue;
    if (!list) list.emplace(masks);
    if (list->Matches(e.name)) names.push_back(e.name);
  }
  PutList(result, names);
  return true;
}

// DIRECTORIES(folder [, masks [, recursive]]): the subfolders whose names
// match, as paths relative to the folder; with recursive, each folder's own
// subfolders follow it directly. A folder reached again through a link while
// it is still being walked is listed but not entered again.
bool Directories(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 1);
  if (!a) return false;
  const MaskList masks(a->size() > 1 ? shape::Text((*a)[1]) : "*.*");
  const bool recursive = a->size() > 2 && shape::Truth((*a)[2]);
  const std::string folder = FolderWithDelimiter(shape::Text((*a)[0]));

  struct Walk {
    std::string prefix, identity;
    std::vector<os::FileEntry> entries;
    std::size_t next = 0;
  };
  std::vector<Walk> walks(1);
  walks[0].identity = os::FolderIdentity(folder);
  os::ListFolder(folder, walks[0].entries);
  std::vector<std::string> names;
  while (!walks.empty()) {
    Walk& w = walks.back();
    if (w.next == w.entries.size()) {
      walks.pop_back();
      continue;
    }
    const os::FileEntry& e = w.entries[w.next++];
    if (!(e.attributes & os::faDirectory) || e.name.empty() || e.name[0] == '.') continue;
    const std::string relative = w.prefix + e.name;
    if (masks.Matches(e.name)) names.push_back(relative);
    if (!recursive || walks.size() >= kMaxDepth) continue;
    Walk inner;
    inner.prefix = relative + os::kPathDelimiter;
    inner.identity = os::FolderIdentity(folder + inner.prefix);
    bool cycle = false;
    for (const Walk& outer : walks) cycle = cycle || (!inner.identity.empty() && outer.identity == inner.identity);
    if (cycle) continue;
    os::ListFolder(folder + inner.prefix, inner.entries);
    walks.push_back(std::move(inner));  // w is not used after this
  }
  PutList(result, names);
  return true;
}

bool MatchesMask(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string name = shape::Text((*a)[0]);
  result.append(Value::Bool(Mask(shape::Text((*a)[1])).Matches(name)));
  return true;
}

// DRIVES: the letters of the existing drives, without colons.
bool Drives(const Args&, Value& result) {
  const std::uint32_t mask = os::DriveMask();
  std::vector<std::string> letters;
  for (int d = 0; d < 26; ++d)
    if (mask & (1u << d)) letters.emplace_back(1, static_cast<char>('A' + d));
  PutList(result, letters);
  return true;
}

}  // namespace

void AddListingFunctions(Catalogue& c) {
  c["DIRECTORIES"] = Directories;
  c["DRIVES"] = Drives;
  c["FILES"] = Files;
  c["MATCHESMASK"] = MatchesMask;
}

}  // namespace tam
