#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/TestFiles.h"

using namespace files;

namespace {

// Runs body in a child process and returns its exit status (-1 when it did not exit).
// As root the child first takes the rights of the unprivileged user "nobody" when asked,
// so permission checks are real whoever runs the tests.
template <class Body>
int InChild(bool asNobody, Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (asNobody && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> EntryNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(Files, FindFilesMatchesPatternsAndTellsFolders) {
  TempDir dir;
  WriteText(dir.File("a.jpg"), "12345");
  WriteText(dir.File("b.bmp"), "");
  WriteText(dir.File("noext"), "");
  WriteText(dir.File(".hidden"), "");
  std::filesystem::create_directory(dir.File("sub.d"));

  std::map<std::string, TSearchRec> all;
  for (const TSearchRec& r : FindFiles(dir.Path(), "*.*")) all[r.Name] = r;
  std::vector<std::string> names;
  for (const auto& [name, r] : all) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden", "a.jpg", "b.bmp", "noext", "sub.d"}));
  EXPECT_TRUE(all["sub.d"].Directory);
  EXPECT_TRUE(all["."].Directory);
  EXPECT_FALSE(all["a.jpg"].Directory);
  EXPECT_EQ(all["a.jpg"].Size, 5);
  EXPECT_TRUE(all[".hidden"].Hidden);
  EXPECT_FALSE(all["a.jpg"].Hidden);

  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"*.jpg", {"a.jpg"}},
      {"?.bmp", {"b.bmp"}},
      {"*.d", {"sub.d"}},
      {"*.gif", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::vector<std::string> found;
    for (const TSearchRec& r : FindFiles(dir.Path(), c.pattern)) found.push_back(r.Name);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, c.names);
  }
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*.*").empty());
}

TEST(Files, ExistsCreateAndDelete) {
  TempDir dir;
  WriteText(dir.File("f"), "x");
  EXPECT_TRUE(FileExists(dir.File("f")));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_FALSE(FileExists(dir.File("g")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(dir.File("f")));
  EXPECT_TRUE(CreateDir(dir.File("d")));
  EXPECT_TRUE(DirectoryExists(dir.File("d")));
  EXPECT_FALSE(CreateDir(dir.File("d")));
  EXPECT_TRUE(DeleteFile(dir.File("f")));
  EXPECT_FALSE(FileExists(dir.File("f")));
  EXPECT_FALSE(DeleteFile(dir.File("f")));
}

TEST(Files, RenameFileNeverOverwrites) {
  TempDir dir;
  WriteText(dir.File("a"), "A");
  WriteText(dir.File("b"), "B");
  EXPECT_FALSE(RenameFile(dir.File("a"), dir.File("b")));
  EXPECT_EQ(ReadText(dir.File("a")), "A");
  EXPECT_EQ(ReadText(dir.File("b")), "B");
  EXPECT_TRUE(RenameFile(dir.File("a"), dir.File("c")));
  EXPECT_FALSE(FileExists(dir.File("a")));
  EXPECT_EQ(ReadText(dir.File("c")), "A");
  EXPECT_FALSE(RenameFile(dir.File("missing"), dir.File("d")));
}

TEST(Files, ReadOnlyMeansNotWritableByThisProcess) {
  TempDir dir;
  // Reachable for an unprivileged user: the folder is opened up, the files keep their modes.
  chmod(dir.Path().c_str(), 0755);
  const std::string locked = dir.File("locked"), open = dir.File("open"), missing = dir.File("missing");
  WriteText(locked, "x");
  WriteText(open, "x");
  chmod(locked.c_str(), 0444);
  chmod(open.c_str(), 0666);

  // This process: the answer agrees with whether the file can really be opened for writing
  // (root may write a 0444 file, so there it is not read-only).
  const int fd = ::open(locked.c_str(), O_WRONLY);
  const bool writable = fd >= 0;
  if (fd >= 0) close(fd);
  EXPECT_EQ(IsReadOnly(locked), !writable);
  EXPECT_EQ(writable, geteuid() == 0);
  EXPECT_FALSE(IsReadOnly(open));
  EXPECT_TRUE(IsReadOnly(missing));

  // An ordinary user sees the 0444 file as read-only and the 0666 one as writable.
  const int bits = InChild(true, [&] { return (IsReadOnly(locked) ? 1 : 0) | (IsReadOnly(open) ? 2 : 0); });
  EXPECT_EQ(bits, 1);
}

TEST(Files, SetFileTimeRoundsToEvenSecondsWithinRange) {
  TempDir dir;
  const std::string f = dir.File("f");
  WriteText(f, "x");
  struct Case {
    TDateTime set;
    bool ok;
    TDateTime expected;
  };
  const Case cases[] = {
      {{2008, 9, 26, 11, 22, 33}, true, {2008, 9, 26, 11, 22, 32}},
      {{2008, 9, 26, 11, 22, 34}, true, {2008, 9, 26, 11, 22, 34}},
      {{1980, 1, 1, 0, 0, 1}, true, {1980, 1, 1, 0, 0, 0}},
      {{2107, 12, 31, 23, 59, 59}, true, {2107, 12, 31, 23, 59, 58}},
      {{1979, 12, 31, 23, 59, 58}, false, {}},
      {{2108, 1, 1, 0, 0, 0}, false, {}},
      {{2010, 2, 30, 0, 0, 0}, false, {}},  // no such day
  };
  TDateTime last = *GetFileTime(f);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.set.Year) + "-" + std::to_string(c.set.Month) + "-" + std::to_string(c.set.Day) +
                 " " + std::to_string(c.set.Second));
    EXPECT_EQ(SetFileTime(f, c.set), c.ok);
    const auto now = GetFileTime(f);
    ASSERT_TRUE(now);
    EXPECT_TRUE(*now == (c.ok ? c.expected : last));
    last = *now;
  }
  EXPECT_FALSE(SetFileTime(dir.File("missing"), {2008, 9, 26, 11, 22, 33}));
  EXPECT_FALSE(GetFileTime(dir.File("missing")));
}

TEST(Files, ReadFileBytesHonoursTheCap) {
  TempDir dir;
  WriteText(dir.File("f"), "abcdef");
  const auto all = ReadFileBytes(dir.File("f"), 6);
  ASSERT_TRUE(all);
  EXPECT_EQ(std::string(all->begin(), all->end()), "abcdef");
  EXPECT_FALSE(ReadFileBytes(dir.File("f"), 5));
  EXPECT_FALSE(ReadFileBytes(dir.Path(), 1000));  // a folder
  EXPECT_FALSE(ReadFileBytes(dir.File("missing"), 1000));
}

TEST(Files, WriteFileAtomicReplacesOrLeavesTheOldFile) {
  TempDir dir;
  const std::string f = dir.File("f.txt");
  const std::string old = "old contents";
  WriteText(f, old);
  chmod(f.c_str(), 0640);

  // The disk refuses the data part way (a file size limit stands in for a full disk).
  const std::string big(100000, 'n');
  const int rc = InChild(false, [&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool ok = WriteFileAtomic(f, big.data(), big.size(), &error);
    return ok ? 0 : error.find(f) != std::string::npos ? 1 : 2;
  });
  EXPECT_EQ(rc, 1);  // failed, and the message names the file
  EXPECT_EQ(ReadText(f), old);
  EXPECT_EQ(EntryNames(dir.Path()), std::vector<std::string>{"f.txt"});  // no temporary left

  // A folder the process may not write in.
  chmod(dir.Path().c_str(), 0755);
  std::filesystem::create_directory(dir.File("ro"));
  const std::string inRo = dir.File("ro/g.txt");
  WriteText(inRo, old);
  chmod(inRo.c_str(), 0666);
  chmod(dir.File("ro").c_str(), 0555);
  EXPECT_EQ(InChild(true, [&] { return WriteFileAtomic(inRo, "new", 3) ? 0 : 1; }), 1);
  EXPECT_EQ(ReadText(inRo), old);

  // Success replaces the contents and keeps the old file's mode; a new file gets the mode asked for.
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(f, "new", 3, &error)) << error;
  EXPECT_EQ(ReadText(f), "new");
  struct stat st {};
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ASSERT_TRUE(WriteFileAtomic(dir.File("h.txt"), "", 0, nullptr, 0600));
  ASSERT_EQ(stat(dir.File("h.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, 0);
}

TEST(Files, NameParts) {
  struct Case {
    const char* name;
    const char* path;
    const char* file;
    const char* ext;
  };
  const Case cases[] = {
      {"/home/u/IMG_0001.JPG", "/home/u/", "IMG_0001.JPG", ".JPG"},
      {"/a/b.c/d", "/a/b.c/", "d", ""},
      {"/a/x.tar.gz", "/a/", "x.tar.gz", ".gz"},
      {"plain", "", "plain", ""},
      {"/folder/", "/folder/", "", ""},
      {"/", "/", "", ""},
      {"写真/旅行.jpeg", "写真/", "旅行.jpeg", ".jpeg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
  }
  EXPECT_EQ(ChangeFileExt("/a/b.jpg", ".bmp"), "/a/b.bmp");
  EXPECT_EQ(ChangeFileExt("/a.d/b", ".bmp"), "/a.d/b.bmp");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(UpperCase("abc.jpg写"), "ABC.JPG写");
  EXPECT_EQ(LowerCase("ABC.JPEG"), "abc.jpeg");
}
