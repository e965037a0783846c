// TForm1: open, save, print, the reopen list, dropped files and the folder list's refill.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QToolButton>
#include <QUrl>

#include "ApUnit1.h"
#include "ApUnit1Folder.h"
#include "Pictureio.h"
#include "platform/Files.h"
#include "platform/Ui.h"
#include "platform/widgets/Cursor.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/PaintBox.h"
#include "platform/widgets/Printer.h"

namespace {
const char* const kOpenFilter =
    "イメージ (*.bmp;*.jpg;*.jpeg;*gif)|*.bmp;*.jpg;*.jpeg;*.gif|ビットマップ (*.bmp)|*.bmp|"
    "ＪＰＥＧﾌｧｲﾙ(*.jpg)|*.jpg;*.jpeg|ＧＩＦﾌｧｲﾙ(*.gif)|*.gif";
const char* const kSaveFilter = "ビットマップ (*.bmp)|*.bmp|ＪＰＥＧﾌｧｲﾙ(*.jpg)|*.jpg;*.jpeg|GIFﾌｧｲﾙ(*.gif)|*.gif";

// The hour glass until the command ends, however it ends.
struct HourGlass {
  HourGlass() { SetScreenCursor(crHourGlass); }
  ~HourGlass() { SetScreenCursor(crDefault); }
};
}  // namespace

void TForm1::TakePicture() {
  ResetUndo();
  PushUndo(false);
  CmdUnDo->setEnabled(false);
  ShowPicture(true);
}

bool TForm1::LoadWorkPicture(const std::string& name) {
  // Decode into a temporary so that a file that yields nothing leaves the current picture.
  TBitmap picture;
  PictureInfo info;
  LoadPicture(picture, info, name);
  if (picture.Empty()) {
    TheUi().MessageBox(mtError, mbOK, name + "\nは画像として読み込めません。");
    return false;
  }
  WorkBitmap.Swap(picture);
  Info = info;
  return true;
}

void TForm1::File1Click(QObject*) {
  const bool any = !WorkBitmap.Empty();
  Save1->setEnabled(any);
  SaveAs1->setEnabled(any);
  Print1->setEnabled(any);
}

void TForm1::Open1Click(QObject*) {
  PaintBox1->setEnabled(false);
  TFileDialog d{"開く", CurrentFolder, kOpenFilter, OpenDialogFileName, "BMP", 1};
  const bool chosen = TheUi().OpenPictureDialog(d);
  QApplication::processEvents();
  HourGlass hourGlass;
  struct Finish {
    TForm1* f;
    ~Finish() {
      QApplication::processEvents();
      f->PaintBox1->setEnabled(true);
    }
  } finish{this};
  if (chosen && LoadWorkPicture(d.FileName)) {
    SaveDialogFileName = OpenDialogFileName = d.FileName;
    CurrentFileName = d.FileName;
    CurrentFolder = files::ExtractFilePath(d.FileName);
    TakePicture();
    AddToReopenList(CurrentFileName);
  }
  FillFileList(CurrentFileName);
}

void TForm1::HandleDropFiles(const std::vector<std::string>& names) {
  raise();
  activateWindow();
  for (const std::string& dropped : names) {
    if (dropped.size() > 260 || !LoadWorkPicture(dropped)) continue;
    std::string name = dropped;
    if (!CurrentFileName.empty() &&
        files::ExtractFilePath(CurrentFileName) != files::ExtractFilePath(name) &&
        TheUi().MessageBox(mtConfirmation, mbYesNo, "フォルダーを切り替えますか？") == mrNo)
      name = files::ExtractFilePath(CurrentFileName) + files::ExtractFileName(name);
    SaveDialogFileName = name;
    CurrentFileName = name;
    CurrentFolder = files::ExtractFilePath(name);
    TakePicture();
    AddToReopenList(CurrentFileName);
  }
  FillFileList(CurrentFileName);
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
  std::vector<std::string> names;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) names.push_back(u.toLocalFile().toStdString());
  e->acceptProposedAction();
  Guard([&] { HandleDropFiles(names); });
}

void TForm1::Save1Click(QObject* Sender) {
  if (CurrentFileName.empty()) {
    SaveAs1Click(Sender);
    return;
  }
  const bool fresh = !files::FileExists(CurrentFileName);
  HourGlass hourGlass;
  SavePictureConfirmed(WorkBitmap, Info, CurrentFileName);
  RefreshThumbOf(CurrentFileName);
  FileList1->viewport()->update();
  if (fresh) {
    CurrentFolder = files::ExtractFilePath(CurrentFileName);
    OpenDialogFileName = SaveDialogFileName = CurrentFileName;
    setWindowTitle(QString::fromStdString(TitlePrefix + CurrentFileName));
    FillFileList(CurrentFileName);
    TakePicture();
  }
}

void TForm1::SaveAs1Click(QObject*) {
  ChangeToFolder(CurrentFolder);
  const std::string ext = files::UpperCase(files::ExtractFileExt(CurrentFileName));
  if (ext == ".BMP") SaveFilterIndex = 1;
  else if (ext == ".JPG") SaveFilterIndex = 2;
  TFileDialog d{"", CurrentFolder, kSaveFilter, files::ChangeFileExt(SaveDialogFileName, ""), "BMP",
                SaveFilterIndex};
  const bool chosen = TheUi().SaveDialog(d);
  QApplication::processEvents();
  HourGlass hourGlass;
  if (!chosen) return;
  SaveFilterIndex = d.FilterIndex;
  CurrentFileName = d.FileName;
  SavePictureConfirmed(WorkBitmap, Info, CurrentFileName);
  RefreshThumbOf(CurrentFileName);
  FileList1->viewport()->update();
  CurrentFolder = files::ExtractFilePath(CurrentFileName);
  OpenDialogFileName = SaveDialogFileName = CurrentFileName;
  setWindowTitle(QString::fromStdString(TitlePrefix + CurrentFileName));
  FillFileList(CurrentFileName);
  TakePicture();
}

void TForm1::Print1Click(QObject*) {
  if (!TheUi().PrintDialog(*Printer)) return;
  HourGlass hourGlass;
  TPrintJob job(*Printer);
  const int64_t W = WorkBitmap.Width(), H = WorkBitmap.Height();
  const int64_t PW = job.PageWidth(), PH = job.PageHeight();
  if (W <= 0 || H <= 0) return;
  const TRect r = H * PW < W * PH ? TRect{0, 0, int(PW), int(H * PW / W)} : TRect{0, 0, int(W * PH / H), int(PH)};
  job.Canvas().StretchDraw(r, WorkBitmap);
}

void TForm1::fmenu0Click(QObject* Sender) {
  const auto* item = qobject_cast<QAction*>(Sender);
  if (!item) return;
  const auto it = std::find(ReopenItems.begin(), ReopenItems.end(), item);
  if (it == ReopenItems.end()) return;
  const std::string name = Reopen.Items[std::size_t(it - ReopenItems.begin())].Caption;
  if (!files::FileExists(name)) return;
  AddToReopenList(CurrentFileName);
  HourGlass hourGlass;
  if (!LoadWorkPicture(name)) return;
  SaveDialogFileName = name;
  CurrentFileName = name;
  CurrentFolder = files::ExtractFilePath(name);
  TakePicture();
  FillFileList(CurrentFileName);
}

void TForm1::fmenuCClick(QObject*) {
  Reopen.Clear();
  SyncReopenMenu();
}

void TForm1::ChangeToFolder(const std::string& folder) {
  if (!folder.empty() && !files::SetCurrentDir(folder)) files::SetCurrentDir("/");
}

void TForm1::FillFileList(const std::string& name) {
  const std::vector<std::string> entries = FolderEntries(name);
  FileList1->clear();
  for (const std::string& e : entries) FileList1->addItem(QString::fromStdString(e));
  FileList1->setCurrentRow(EntryIndexOf(entries, name));
}

void TForm1::RefreshThumbOf(const std::string&) { FileList1->viewport()->update(); }
