// The file operations of the plug-in, on paths in the host's Windows form
// (backslashes, a drive letter). The win32 backend passes them to the system;
// the posix backend maps them to native paths. Tests may supply their own.
#pragma once

#include <optional>
#include <string>

namespace tam {

class FileAccess {
 public:
  virtual ~FileAccess() = default;

  // True when path names an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  // The whole file, or nullopt when it cannot be read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Replaces path with data in one step: data goes to a new file in the same
  // folder, is flushed to the disk, and only then takes the old file's place.
  // On failure the old file is left as it was and false is returned.
  virtual bool ReplaceContents(const std::string& path, const std::string& data) = 0;
  // Adds data at the end of the file, creating it when missing; false when
  // that failed (part of data may then be written). A backend without a real
  // append rewrites the whole file.
  virtual bool AppendText(const std::string& path, const std::string& data) {
    std::optional<std::string> old = FileExists(path) ? ReadAll(path) : std::string();
    return old && ReplaceContents(path, *old + data);
  }
  // Creates a new file with a unique name "<prefix>...TMP" in folder (which
  // ends in a backslash) holding data; returns its full name, or empty.
  virtual std::string CreateTempFile(const std::string& folder, const std::string& prefix, const std::string& data) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Creates the folder; true also when it exists already.
  virtual bool CreateFolder(const std::string& path) = 0;
  // The name under which the file system stores the last component of the
  // folder path (its long form, in its stored letter case), or nullopt when
  // there is no such folder.
  virtual std::optional<std::string> StoredFolderName(const std::string& path) = 0;
};

// The backend of this build.
FileAccess& NativeFiles();

// The path as the backend hands it to the system: on win32 unchanged; on
// posix without its drive ("C:") and with every backslash that is not the
// trail byte of a Shift-JIS character turned into a slash.
std::string NativePath(const std::string& path);

}  // namespace tam
