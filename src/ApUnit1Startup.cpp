// TForm1: creation, first showing, activation and close; the data folder and the settings.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QToolButton>
#include <QListWidget>
#include <QTimer>
#include <cstdlib>
#include <strings.h>

#include "ApUnit1.h"
#include "ApUnit1Pictures.h"
#include "ApUnit1Settings.h"
#include "ApUnit1Version.h"
#include "Pictureio.h"
#include "Unitcut.h"
#include "Unitopening.h"
#include "platform/Files.h"
#include "platform/Ui.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/PaintBox.h"

namespace {
bool StartsWithSwitch(const std::string& arg, const char* sw) {
  return arg.size() >= 2 && strncasecmp(arg.c_str(), sw, 2) == 0;
}

// $XDG_DATA_HOME, else ~/.local/share; empty when neither is known.
std::string DataHome() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return x;
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share";
  return {};
}
}  // namespace

bool TForm1::DownloadMode() const {
  return !startup_.Args.empty() && StartsWithSwitch(startup_.Args[0], "/D");
}

std::string TForm1::SettingsFileName() const { return DataFolder + ExeBaseName + ".INI"; }

void TForm1::FormCreate() {
  setWindowState(windowState() | Qt::WindowMaximized);
  if (DownloadMode()) return;

  // Data folder: a per-program folder under the user's data home, else the program's folder.
  DataFolder = files::ExtractFilePath(startup_.ProgramFile);
  ExeBaseName = files::ChangeFileExt(files::ExtractFileName(startup_.ProgramFile), "");
  const std::string home = DataHome();
  if (!home.empty() && files::DirectoryExists(home)) {
    const std::string lib = files::IncludeTrailingPathDelimiter(home) + "TARNLIB/";
    files::CreateDir(lib);
    files::CreateDir(lib + ExeBaseName + "/");
    if (files::DirectoryExists(lib + ExeBaseName)) DataFolder = lib + ExeBaseName + "/";
  }
  files::SetCurrentDir(DataFolder);

  DrawStartPicture(Image1, VersionText);
  DrawHourGlass(ImgHourGlass);
  fmOpening = new TfmOpening(this);
  fmOpening->ShowPicture(Image1);

  UndoRunId = TheUi().TickCount();
  History = TUndoHistory(DataFolder, UndoRunId);
  ViewBitmap.SetPixelFormat(pf32bit);
  FormCut = new TFormCut(this);
  LoadSettings();
  TitlePrefix = TitlePrefixFor(VersionText);
  LbAllOpe->setText("全\n体\n操\n作");
  lbHomePage->setText(kMakerCredit);

  WorkBitmap.Assign(Image1);
  WorkBitmap.SetPixelFormat(pf32bit);
  FileList1->clear();
  Info.ShotDate[0] = '\0';

  if (!TheUi().Modifiers().Ctrl) {
    if (!startup_.Args.empty())
      CurrentFileName = files::FileExists(startup_.Args[0]) ? startup_.Args[0] : std::string();
    if (files::FileExists(CurrentFileName)) {
      Guard([this] {
        if (LoadWorkPicture(CurrentFileName)) SaveDialogFileName = CurrentFileName;
        else CurrentFileName.clear();
      });
      FillFileList(CurrentFileName);
    } else {
      CurrentFileName.clear();
    }
  }
  ShowPicture(true);
  CutRect = {0, 0, WorkBitmap.Width(), WorkBitmap.Height()};
  ResetUndo();
  PushUndo(false);
  CmdUnDo->setEnabled(false);
  BtnSrcCutSizeClick(nullptr);
  BtnDstCutSizeClick(nullptr);
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TForm1::FormShow() {
  if (fmOpening) {
    fmOpening->close();
    fmOpening->deleteLater();
    fmOpening = nullptr;
  }
}

void TForm1::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
    // Our own message box hands the activation back when it closes: that is no new activation.
    if (suppressActivate_) {
      suppressActivate_ = false;
      return;
    }
    FormActivate();
  }
}

void TForm1::FormActivate() {
  if (startup_.Args.size() != 1) return;
  if (StartsWithSwitch(startup_.Args[0], "/D")) {
    QTimer::singleShot(0, this, [this] { close(); });
  } else if (StartsWithSwitch(startup_.Args[0], "/U")) {
    TheUi().MessageBox(mtPlain, mbOK, TitlePrefix + "：最新版に更新しました。");
    suppressActivate_ = true;
  }
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    Guard([this] { FormClose(); });
  }
  e->accept();
}

void TForm1::FormClose() {
  // In download mode nothing was read, so nothing is written either.
  if (DataFolder.empty()) return;
  AddToReopenList(CurrentFileName);
  DeleteUndoFiles();
  SaveSettings();
}

void TForm1::LoadSettings() {
  const TSettings s = ReadSettings(SettingsFileName());
  CurrentFolder = s.Path1;
  CurrentFileName = s.Name1;
  BgColor = s.BgColor;
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(GetRValue(BgColor), GetGValue(BgColor), GetBValue(BgColor)));
  setPalette(pal);
  SrcRatioW = s.SrcRatioW;
  SrcRatioH = s.SrcRatioH;
  DstWidth = s.DstWidth;
  DstHeight = s.DstHeight;
  AskSizeEveryCut = s.AskSizeEveryCut;
  for (int i = 0; i < 10; ++i) Reopen.Items[i].Caption = s.Reopen[i];
  AddToReopenList("");
}

void TForm1::SaveSettings() {
  TSettings s;
  s.Path1 = CurrentFolder;
  s.Name1 = CurrentFileName;
  s.BgColor = BgColor;
  s.SrcRatioW = SrcRatioW;
  s.SrcRatioH = SrcRatioH;
  s.DstWidth = DstWidth;
  s.DstHeight = DstHeight;
  s.AskSizeEveryCut = AskSizeEveryCut;
  for (int i = 0; i < 10; ++i) s.Reopen[i] = Reopen.Items[i].Caption;
  WriteSettings(SettingsFileName(), s);
}
