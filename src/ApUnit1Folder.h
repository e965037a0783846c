// The folder list's entries: "#" + sub-folder or "@" + picture, sorted without regard to case.
#pragma once
#include <string>
#include <vector>

// Upper-cased extension .BMP, .JPG, .JPEG or .GIF.
bool IsPictureName(const std::string& name);
// The entries of the folder part of name ("" when it cannot be read: an empty list).
std::vector<std::string> FolderEntries(const std::string& name);
// Index of the first entry whose file-name part equals that of name (lower case), or -1.
int EntryIndexOf(const std::vector<std::string>& entries, const std::string& name);
