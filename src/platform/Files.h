// Files and folders: names, search, attributes, rename without overwrite, file times.
// Failures are reported by results, not by exceptions.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace files {

struct TSearchRec {
  std::string Name;  // entry name without folder
  bool Directory = false;
  bool Hidden = false;  // name starts with '.'
  int64_t Size = 0;
};

// Entries of folder whose names match pattern ('*' and '?'; "*.*" matches every name),
// "." and ".." included as the file system gives them. Empty when the folder cannot be read.
std::vector<TSearchRec> FindFiles(const std::string& folder, const std::string& pattern);

bool FileExists(const std::string& name);       // an existing entry that is not a folder
bool DirectoryExists(const std::string& name);
bool CreateDir(const std::string& name);
bool DeleteFile(const std::string& name);
// Fails when newName exists; never overwrites.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Not writable by this process, or its attributes cannot be read.
bool IsReadOnly(const std::string& name);
bool SetCurrentDir(const std::string& folder);

// Last-write time in local time.
std::optional<TDateTime> GetFileTime(const std::string& name);
// Stores the time with seconds rounded down to even; only years 1980 to 2107.
bool SetFileTime(const std::string& name, const TDateTime& t);

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& name, std::size_t maxBytes);
// Writes through a temporary file in the same folder renamed over name once complete,
// so a failure leaves an existing file untouched. A new file gets mode (default: 0666 less umask).
// sync = false skips the flush to disk, for scratch files that need not survive a crash.
bool WriteFileAtomic(const std::string& name, const void* data, std::size_t size, std::string* error = nullptr,
                     std::optional<unsigned> mode = std::nullopt, bool sync = true);

// Name parts, with '/' as separator: ExtractFilePath keeps the trailing separator,
// ExtractFileExt includes the dot ("" when there is none).
std::string ExtractFilePath(const std::string& name);
std::string ExtractFileName(const std::string& name);
std::string ExtractFileExt(const std::string& name);
std::string ChangeFileExt(const std::string& name, const std::string& ext);
std::string IncludeTrailingPathDelimiter(const std::string& folder);
std::string ExcludeTrailingPathDelimiter(const std::string& folder);
std::string UpperCase(const std::string& s);  // ASCII letters only
std::string LowerCase(const std::string& s);

}  // namespace files
