// The file, folder, system and dialog functions, split by topic; each file
// adds its names to the catalogue through one of these.
#pragma once

#include <string>
#include <vector>

#include "library/library.h"

namespace tam {

void AddPathFunctions(Catalogue& c);        // path_text.cpp
void AddFileSystemFunctions(Catalogue& c);  // file_system.cpp
void AddListingFunctions(Catalogue& c);     // listing.cpp
void AddSystemFunctions(Catalogue& c);      // system.cpp
void AddDialogFunctions(Catalogue& c);      // dialogs.cpp

// Path parts by the Windows rules on every platform: the delimiters "\" and
// ":", never the trail byte of a double-byte character.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileDir(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);
std::string ExtractFileDrive(const std::string& path);

// The last character of a native path is its folder delimiter.
bool EndsWithDelimiter(const std::string& path);

// Appends a list producer's pair: the names (Empty when there are none) and
// their count.
void PutList(Value& result, const std::vector<std::string>& names);

}  // namespace tam
