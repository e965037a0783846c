// The undo history: the ring of 51 states, its files, and the main window's undo and redo.
#include <gtest/gtest.h>

#include <QToolButton>
#include <sys/stat.h>

#include "ApUnit1Undo.h"
#include "FormFixture.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

namespace {
// A picture whose first pixel's blue byte numbers the state.
void Numbered(TBitmap& bmp, int n) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(3, 2);
  bmp.ScanLine(0)[kB] = uint8_t(n);
}
int NumberOf(const TBitmap& bmp) { return bmp.ScanLine(0)[kB]; }

struct Ring {
  TempDir dir;
  TUndoHistory history{dir.Path() + "/", 255};
  TBitmap bmp;
  void Push(int n, TRect frame = {}) {
    Numbered(bmp, n);
    history.Push(bmp, frame, "state" + std::to_string(n), frame, PictureInfo{});
  }
};
}  // namespace

TEST(UndoRing, SlotFilesAreNamedAfterTheRunAndPrivate) {
  Ring r;
  r.Push(1);
  r.Push(2);
  EXPECT_EQ(r.history.UndoFileName(7), r.dir.Path() + "/Undo000000FF_007.$x$");
  EXPECT_TRUE(files::FileExists(r.dir.File("Undo000000FF_001.$x$")));
  EXPECT_TRUE(files::FileExists(r.dir.File("Undo000000FF_002.$x$")));
  struct stat st {};
  ASSERT_EQ(stat(r.dir.File("Undo000000FF_002.$x$").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // The slot file is a 32-bit BMP of the picture.
  TBitmap back;
  back.LoadFromFile(r.dir.File("Undo000000FF_002.$x$"));
  EXPECT_EQ(back.PixelFormat(), pf32bit);
  EXPECT_EQ(NumberOf(back), 2);
}

TEST(UndoRing, SixtyStatesKeepTheLastFiftyOne) {
  Ring r;
  for (int n = 1; n <= 60; ++n) r.Push(n);
  int undos = 0;
  while (r.history.CanUndo()) {
    ASSERT_NE(r.history.Undo(r.bmp), nullptr);
    ++undos;
  }
  EXPECT_EQ(undos, 50);
  EXPECT_EQ(NumberOf(r.bmp), 10);
  EXPECT_EQ(r.history.Undo(r.bmp), nullptr);
  while (r.history.CanRedo()) r.history.Redo(r.bmp);
  EXPECT_EQ(NumberOf(r.bmp), 60);
}

TEST(UndoRing, ANewChangeAfterUndoDropsTheRedoStates) {
  for (int states : {5, 51, 60}) {
    SCOPED_TRACE(states);
    Ring r;
    for (int n = 1; n <= states; ++n) r.Push(n);
    for (int i = 0; i < 3; ++i) r.history.Undo(r.bmp);
    EXPECT_TRUE(r.history.CanRedo());
    r.Push(200);
    EXPECT_FALSE(r.history.CanRedo());
    r.history.Undo(r.bmp);
    EXPECT_EQ(NumberOf(r.bmp), states - 3);
    r.history.Redo(r.bmp);
    EXPECT_EQ(NumberOf(r.bmp), 200);
    EXPECT_FALSE(r.history.CanRedo());
  }
}

TEST(UndoRing, TheStateLeftKeepsTheFrameOfTheChange) {
  Ring r;
  r.Push(1, {0, 0, 3, 2});
  Numbered(r.bmp, 2);
  r.history.Push(r.bmp, {1, 0, 2, 1}, "second", {0, 0, 3, 2}, PictureInfo{});
  const TUndoHistory::Slot* s = r.history.Undo(r.bmp);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->CutRect, (TRect{1, 0, 2, 1}));
  EXPECT_EQ(s->FileName, "state1");
}

TEST(UndoRing, AFailedWriteChangesNothing) {
  Ring r;
  r.Push(1);
  r.Push(2);
  TUndoHistory broken(r.dir.Path() + "/missing-folder/", 255);
  Numbered(r.bmp, 1);
  EXPECT_THROW(broken.Push(r.bmp, {}, "x", {}, PictureInfo{}), std::runtime_error);
  EXPECT_EQ(broken.Pos(), 0);
  EXPECT_EQ(broken.Top(), 0);
  // A slot file that vanished: undo throws and keeps the current state.
  files::DeleteFile(r.history.UndoFileName(1));
  EXPECT_THROW(r.history.Undo(r.bmp), std::runtime_error);
  EXPECT_EQ(r.history.Pos(), 2);
}

TEST(UndoRing, DeletesOnlyThisRunsFiles) {
  Ring r;
  r.Push(1);
  r.Push(2);
  WriteText(r.dir.File("Undo00000100_001.$x$"), "another run");
  WriteText(r.dir.File("Undo000000FF_x.txt"), "not a slot");
  r.history.DeleteFiles();
  EXPECT_FALSE(files::FileExists(r.dir.File("Undo000000FF_001.$x$")));
  EXPECT_FALSE(files::FileExists(r.dir.File("Undo000000FF_002.$x$")));
  EXPECT_TRUE(files::FileExists(r.dir.File("Undo00000100_001.$x$")));
  EXPECT_TRUE(files::FileExists(r.dir.File("Undo000000FF_x.txt")));
}

TEST(History, UndoAndRedoThroughTheWindow) {
  FormEnv env;
  env.ui.Tick = 255;
  auto form = env.Start();
  EXPECT_FALSE(form->CmdUnDo->isEnabled());
  EXPECT_FALSE(form->CmdReDo->isEnabled());
  EXPECT_TRUE(files::FileExists(env.DataFolderFor("kestrelframe") + "Undo000000FF_001.$x$"));

  // One change: a cut of the framed part.
  form->CurrentFileName = "/pictures/first.jpg";
  form->CutRect = {10, 20, 110, 70};
  form->ExecuteCut(false);
  EXPECT_EQ(form->WorkBitmap.Width(), 100);
  EXPECT_TRUE(files::FileExists(env.DataFolderFor("kestrelframe") + "Undo000000FF_002.$x$"));
  EXPECT_TRUE(form->CmdUnDo->isEnabled());
  form->CurrentFileName = "/pictures/renamed.jpg";

  QTest::mouseClick(form->CmdUnDo, Qt::LeftButton);
  EXPECT_EQ(form->WorkBitmap.Width(), 420);
  EXPECT_EQ(form->CutRect, (TRect{10, 20, 110, 70}));
  EXPECT_EQ(form->CurrentFileName, "");
  EXPECT_FALSE(form->CmdUnDo->isEnabled());
  EXPECT_TRUE(form->CmdReDo->isEnabled());

  QTest::mouseClick(form->CmdReDo, Qt::LeftButton);
  EXPECT_EQ(form->WorkBitmap.Width(), 100);
  EXPECT_EQ(form->CutRect, (TRect{0, 0, 100, 50}));
  EXPECT_EQ(form->CurrentFileName, "/pictures/first.jpg");
  EXPECT_TRUE(form->CmdUnDo->isEnabled());
  EXPECT_FALSE(form->CmdReDo->isEnabled());

  form->Edit1Click(nullptr);
  EXPECT_TRUE(form->MenuUndo1->isEnabled());
  EXPECT_FALSE(form->MenuRedo1->isEnabled());

  // Closing deletes this run's files.
  form->close();
  EXPECT_FALSE(files::FileExists(env.DataFolderFor("kestrelframe") + "Undo000000FF_001.$x$"));
  EXPECT_FALSE(files::FileExists(env.DataFolderFor("kestrelframe") + "Undo000000FF_002.$x$"));
}
