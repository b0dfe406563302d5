// Tests and operations on single files and folders.
#include "engine/calendar.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "library/file_family.h"
#include "platform/platform.h"

namespace tam {

namespace {

bool IsFolder(const std::string& path) {
  const std::int32_t a = os::Attributes(path);
  return a != -1 && (a & os::faDirectory);
}

template <bool (*Operation)(const std::string&)>
bool Report(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Bool(Operation(shape::Text(a))));
    return true;
  });
}

bool DirectoryExists(const Args& args, Value& result) { return Report<IsFolder>(args, result); }

bool FileExists(const std::string& path) {
  os::FileEntry e;
  return os::FindFirst(path, e) && !(e.attributes & os::faDirectory);
}

bool RenameFile(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string from = shape::Text((*a)[0]);
  result.append(Value::Bool(os::Rename(from, shape::Text((*a)[1]))));
  return true;
}

bool FileAttribute(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Int(os::Attributes(shape::Text(a))));
    return true;
  });
}

bool FileSetAttribute(const Args& args, Value&) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string path = shape::Text((*a)[0]);
  return os::SetAttributes(path, shape::Integer((*a)[1]));
}

// The size in bytes (its low 32 bits); -1 for a folder or nothing found.
bool FileSize(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    os::FileEntry e;
    const bool file = os::FindFirst(shape::Text(a), e) && !(e.attributes & (os::faDirectory | os::faVolumeLabel));
    r.append(Value::Int(file ? static_cast<std::int32_t>(static_cast<std::uint32_t>(e.size)) : -1));
    return true;
  });
}

// The last-write time in local time, in the 2-second steps of the DOS form.
bool FileUpdatedDateTime(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    os::FileEntry e;
    if (!os::FindFirst(shape::Text(a), e) || (e.attributes & os::faDirectory)) return false;
    const LocalTime& t = e.lastWrite;
    double day, time;
    if (!EncodeDate(t.year, t.month, t.day, day) || !EncodeTime(t.hour, t.minute, t.second & ~1, 0, time)) return false;
    r.append(Value::DateVal(day + time));
    return true;
  });
}

// The folder part of a native path, delimiter included.
std::string NativeParent(const std::string& path) {
#ifdef _WIN32
  return ExtractFilePath(path);
#else
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
#endif
}

// Creates a folder and every missing folder above it, from the top down.
// Failures to create are not reported. Short relative names ("r", "ab") are
// made as well: only a drive or a root ends the climb.
void ForceFolders(std::string path) {
  std::vector<std::string> missing;
  for (;;) {
    if (EndsWithDelimiter(path)) path.pop_back();
    if (path.empty() || IsFolder(path)) break;
    const std::string parent = NativeParent(path);
    if (parent == path) break;  // a drive such as "C:"
    missing.push_back(path);
    path = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) os::MakeFolder(*it);
}

bool ForceDirectories(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value&) {
    const std::string path = shape::Text(a);
    if (path.empty()) throw EngineFault("ﾃﾞｨﾚｸﾄﾘを作成することができません");
    ForceFolders(path);
    return true;
  });
}

// The whole full path, also where it grows beyond 259 bytes: a path cut
// there would name another file.
bool ExpandFileName(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(os::FullPath(shape::Text(a))));
    return true;
  });
}

}  // namespace

void AddFileSystemFunctions(Catalogue& c) {
  c["CREATEDIR"] = Report<os::MakeFolder>;
  c["DELETEFILE"] = Report<os::RemoveFile>;
  c["DIRECTORYEXISTS"] = DirectoryExists;
  c["EXPANDFILENAME"] = ExpandFileName;
  c["FILEATTRIBUTE"] = FileAttribute;
  c["FILEEXISTS"] = Report<FileExists>;
  c["FILESETATTRIBUTE"] = FileSetAttribute;
  c["FILESIZE"] = FileSize;
  c["FILEUPDATEDDATETIME"] = FileUpdatedDateTime;
  c["FORCEDIRECTORIES"] = ForceDirectories;
  c["REMOVEDIR"] = Report<os::RemoveFolder>;
  c["RENAMEFILE"] = RenameFile;
}

}  // namespace tam
