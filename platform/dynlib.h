// Dynamic libraries of external script functions: finding them in a folder,
// loading them, and calling their "ExternalFunction" entry point with the
// 16-byte value record of the machine interface. On posix there are no such
// libraries: the search finds nothing and nothing loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tam::os {

// The value record: bytes 0-1 the type code, 2-7 reserved, 8-15 the data.
// A 64-bit build (only the tests' build) has the 64-bit record's size.
struct ValueRecord {
  std::uint16_t type = 0;
  std::uint8_t reserved[6] = {0};
  std::uint8_t data[8] = {0};
#if UINTPTR_MAX > 0xFFFFFFFFu
  std::uint8_t wide[8] = {0};
#endif
};
static_assert(sizeof(ValueRecord) == 8 + 2 * sizeof(void*), "the value record is 16 bytes (24 in a 64-bit build)");

using LibraryHandle = std::uintptr_t;

// The names of the files in `folder` (ending in the path delimiter) that a
// directory search for "*.dll" with all attributes returns, in its order;
// directories and volume labels are left out.
std::vector<std::string> FindDynamicLibraries(const std::string& folder);
// Loads a library by its path; 0 when that yields no library.
LibraryHandle LoadDynamicLibrary(const std::string& path);
// The address of an exported name, or nullptr.
void* DynamicSymbol(LibraryHandle library, const char* name);
void FreeDynamicLibrary(LibraryHandle library);

// Calls an "ExternalFunction" entry point: name, the argument record by
// value, the result record and the one-byte found flag; returns the entry
// point's one-byte success.
bool CallExternalFunction(void* entry, const char* name, const ValueRecord& args, ValueRecord* result, bool* found);

// One-dimensional OLE safe arrays of value records (lower bound 0). The
// records' pointers are not followed: the array owns only its own memory.
void* CreateRecordArray(const std::vector<ValueRecord>& items);
void DestroyRecordArray(void* array);
// The records of a safe array of records; false when it is no such array.
bool ReadRecordArray(const void* array, std::vector<ValueRecord>& items);
// An OLE (UTF-16) string as Shift-JIS.
std::string WideText(const void* text);

}  // namespace tam::os
