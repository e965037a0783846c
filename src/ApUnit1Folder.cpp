#include "ApUnit1Folder.h"

#include <algorithm>
#include <strings.h>

#include "platform/Files.h"

bool IsPictureName(const std::string& name) {
  const std::string ext = files::UpperCase(files::ExtractFileExt(name));
  return ext == ".BMP" || ext == ".JPG" || ext == ".JPEG" || ext == ".GIF";
}

std::vector<std::string> FolderEntries(const std::string& name) {
  const std::string folder = files::ExtractFilePath(name);
  std::vector<std::string> entries;
  for (const auto& f : files::FindFiles(folder, "*.*")) {
    if (f.Directory) {
      if (f.Name != "." && f.Name != "..") entries.push_back("#" + folder + f.Name);
    } else if (IsPictureName(f.Name)) {
      entries.push_back("@" + folder + f.Name);
    }
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
  return entries;
}

int EntryIndexOf(const std::vector<std::string>& entries, const std::string& name) {
  const std::string want = files::LowerCase(files::ExtractFileName(name));
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (files::LowerCase(files::ExtractFileName(entries[i].substr(1))) == want) return int(i);
  return -1;
}
