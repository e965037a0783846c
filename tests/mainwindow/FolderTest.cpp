// The folder list's entries and the selection of the current picture among them.
#include <gtest/gtest.h>

#include "ApUnit1Folder.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

TEST(FolderEntriesTest, FoldersFirstThenPicturesWithoutRegardToCase) {
  TempDir dir;
  files::CreateDir(dir.File("b"));
  files::CreateDir(dir.File("A"));
  for (const char* f : {"z.jpg", "B.GIF", "a.bmp", "x.png", "c.JPEG"}) WriteText(dir.File(f), "x");
  const std::string d = dir.Path() + "/";
  const auto entries = FolderEntries(d + "anything.jpg");
  EXPECT_EQ(entries, (std::vector<std::string>{"#" + d + "A", "#" + d + "b", "@" + d + "a.bmp", "@" + d + "B.GIF",
                                               "@" + d + "c.JPEG", "@" + d + "z.jpg"}));
  EXPECT_EQ(EntryIndexOf(entries, "/elsewhere/b.gif"), 3);
  EXPECT_EQ(EntryIndexOf(entries, d + "x.png"), -1);
  EXPECT_TRUE(FolderEntries(d + "missing/x.jpg").empty());
}
