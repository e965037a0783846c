#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace files {

std::vector<TSearchRec> FindFiles(const std::string& folder, const std::string& pattern) {
  std::vector<TSearchRec> out;
  const std::string dir = folder.empty() ? "." : folder;
  DIR* d = opendir(dir.c_str());
  if (!d) return out;
  const bool all = pattern == "*.*" || pattern == "*";
  const std::string base = IncludeTrailingPathDelimiter(dir);
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (!all && fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
    TSearchRec r;
    r.Name = name;
    r.Hidden = !name.empty() && name[0] == '.';
    struct stat st {};
    if (stat((base + name).c_str(), &st) == 0) {
      r.Directory = S_ISDIR(st.st_mode);
      r.Size = st.st_size;
    } else {
      r.Directory = e->d_type == DT_DIR;
    }
    out.push_back(std::move(r));
  }
  closedir(d);
  return out;
}

bool FileExists(const std::string& name) {
  struct stat st {};
  return !name.empty() && stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st {};
  return !name.empty() && stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& name) { return mkdir(name.c_str(), 0755) == 0; }

bool DeleteFile(const std::string& name) { return unlink(name.c_str()) == 0; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  if (renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: a hard link fails on an existing name.
  if (link(oldName.c_str(), newName.c_str()) != 0) return false;
  unlink(oldName.c_str());
  return true;
}

bool IsReadOnly(const std::string& name) {
  struct stat st {};
  if (stat(name.c_str(), &st) != 0) return true;
  return access(name.c_str(), W_OK) != 0;
}

bool SetCurrentDir(const std::string& folder) { return !folder.empty() && chdir(folder.c_str()) == 0; }

std::optional<TDateTime> GetFileTime(const std::string& name) {
  struct stat st {};
  if (stat(name.c_str(), &st) != 0) return std::nullopt;
  return TDateTime::FromTimeT(st.st_mtim.tv_sec);
}

bool SetFileTime(const std::string& name, const TDateTime& t) {
  if (t.Year < 1980 || t.Year > 2107) return false;
  TDateTime even = t;
  even.Second -= even.Second % 2;
  const auto secs = even.ToTimeT();
  if (!secs) return false;
  const timespec times[2] = {{0, UTIME_OMIT}, {*secs, 0}};
  return utimensat(AT_FDCWD, name.c_str(), times, 0) == 0;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& name, std::size_t maxBytes) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::size_t(st.st_size) > maxBytes) {
    close(fd);
    return std::nullopt;
  }
  std::vector<uint8_t> data(std::size_t(st.st_size));
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = read(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {  // a read error is no shorter file
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    done += std::size_t(n);
  }
  close(fd);
  data.resize(done);
  return data;
}

bool WriteFileAtomic(const std::string& name, const void* data, std::size_t size, std::string* error,
                     std::optional<unsigned> mode, bool sync) {
  auto fail = [&](const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
  };
  std::string tmp = ExtractFilePath(name) + "." + ExtractFileName(name) + ".XXXXXX";
  const int fd = mkstemp(tmp.data());
  if (fd < 0) return fail(name);
  // An existing file keeps its permissions; a new one gets the caller's or the umask's.
  struct stat st {};
  mode_t m;
  if (stat(name.c_str(), &st) == 0) {
    m = st.st_mode & 07777;
  } else if (mode) {
    m = *mode;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    m = 0666 & ~mask;
  }
  fchmod(fd, m);
  const uint8_t* p = static_cast<const uint8_t*>(data);
  std::size_t left = size;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int e = n == 0 ? ENOSPC : errno;
      close(fd);
      unlink(tmp.c_str());
      errno = e;
      return fail(name);
    }
    p += n;
    left -= std::size_t(n);
  }
  if ((sync && fsync(fd) != 0) || close(fd) != 0) {
    const int e = errno;
    unlink(tmp.c_str());
    errno = e;
    return fail(name);
  }
  if (rename(tmp.c_str(), name.c_str()) != 0) {
    const int e = errno;
    unlink(tmp.c_str());
    errno = e;
    return fail(name);
  }
  return true;
}

std::string ExtractFilePath(const std::string& name) {
  const auto p = name.rfind('/');
  return p == std::string::npos ? std::string() : name.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& name) {
  const auto p = name.rfind('/');
  return p == std::string::npos ? name : name.substr(p + 1);
}

std::string ExtractFileExt(const std::string& name) {
  const auto slash = name.rfind('/');
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return name.substr(dot);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
  const std::string old = ExtractFileExt(name);
  return name.substr(0, name.size() - old.size()) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& folder) {
  return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

std::string ExcludeTrailingPathDelimiter(const std::string& folder) {
  return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

}  // namespace files
