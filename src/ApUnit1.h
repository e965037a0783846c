// TForm1: the main window — the working image with its cut frame, the command panels,
// the status bar and the menus. One class; its .cpp is split by concern.
#pragma once
#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "ApUnit1Reopen.h"
#include "ApUnit1Undo.h"
#include "Jpegexif.h"
#include "platform/Bitmap.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPrinter;
class QToolButton;
class TFormCut;
class TPaintBox;
class TfmOpening;

// What the program was started with.
struct TStartup {
  std::string ProgramFile;        // full path of the program file
  std::vector<std::string> Args;  // command-line arguments after the program name
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(TStartup startup, QWidget* parent = nullptr);
  ~TForm1() override;

  // Program-wide values.
  std::string DataFolder, ExeBaseName, CurrentFolder, CurrentFileName;
  std::string VersionText = "2016.01.28", TitlePrefix;
  uint32_t UndoRunId = 0;
  int SrcRatioW = 0, SrcRatioH = 0, DstWidth = 0, DstHeight = 0;
  bool AskSizeEveryCut = false;
  TColor BgColor = 0xC0C0C0;
  TReopenList Reopen;
  TUndoHistory History;
  std::string OpenDialogFileName, SaveDialogFileName;
  int SaveFilterIndex = 1;
  std::unique_ptr<QPrinter> Printer;

  // The working image, its frame and metadata; the view.
  TBitmap WorkBitmap;
  TRect CutRect;
  PictureInfo Info;
  TBitmap ViewBitmap;
  TRect ViewRect, CutScreenRect;
  TBitmap Image1;        // the start picture
  TBitmap ImgHourGlass;  // 64 × 64

  // Controls.
  QFrame *Panel2, *Panel3, *PnlRight, *PnlBottom, *PnlColorMon;
  TPaintBox* PaintBox1;
  QLabel *lbPictureSize, *lbHomePage, *LbR, *LbG, *LbB, *LbY, *LbAllOpe;
  QToolButton *BtnHOME, *CmdUnDo, *CmdReDo, *BtnOpen1, *BtnSave1, *BtnPrint1;
  QToolButton *BtnSrcCutSize, *BtnDstCutSize, *CmdCutExec;
  QLabel *lbSrcCutSize, *lbDstCutSize;
  QCheckBox* CbxEllip;
  QListWidget* FileList1;
  QMenu *File1, *N14, *Edit1;
  QAction *Open1, *Save1, *SaveAs1, *Print1, *Exit1, *fmenuC, *MenuUndo1, *MenuRedo1;
  std::array<QAction*, 10> ReopenItems{};
  TfmOpening* fmOpening = nullptr;
  TFormCut* FormCut = nullptr;

  // Start-up and close.
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void Exit1Click(QObject* Sender);
  void LoadSettings();
  void SaveSettings();
  std::string SettingsFileName() const;
  void AddToReopenList(const std::string& name);

  // View and frame.
  void PaintBox1Paint();
  void ShowPicture(bool resetFrame);
  void DrawCutFrame();
  void RedrawFrame();  // ViewBitmap onto the paint box, then DrawCutFrame
  TRect ImageToScreen(const TRect& r) const;
  TRect ScreenToImage(const TRect& r) const;
  void ShowHourGlass();
  void PaintBox1MouseDown(Qt::MouseButton button, int X, int Y);
  void PaintBox1MouseMove(Qt::MouseButtons buttons, int X, int Y);
  void PaintBox1MouseUp(Qt::MouseButton button, int X, int Y);
  void BtnHOMEClick(QObject* Sender);
  void CbxEllipClick(QObject* Sender);
  void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);

  // History.
  void ResetUndo();
  void PushUndo(bool resetFrame);
  void CmdUnDoClick(QObject* Sender);
  void CmdReDoClick(QObject* Sender);
  void Edit1Click(QObject* Sender);
  void DeleteUndoFiles();
  std::string UndoFileName(int slot) const { return History.UndoFileName(slot); }

  // Cut sizes and the cut.
  void BtnSrcCutSizeClick(QObject* Sender);
  void lbSrcCutSizeClick(QObject* Sender);
  void BtnDstCutSizeClick(QObject* Sender);
  void lbDstCutSizeClick(QObject* Sender);
  void CmdCutExecClick(QObject* Sender);
  void ExecuteCut(bool askSize);
  bool CutAndResize();

  // Open, save, print and reopen.
  void File1Click(QObject* Sender);
  void Open1Click(QObject* Sender);
  void fmenu0Click(QObject* Sender);
  void fmenuCClick(QObject* Sender);
  void Save1Click(QObject* Sender);
  void SaveAs1Click(QObject* Sender);
  void Print1Click(QObject* Sender);
  void HandleDropFiles(const std::vector<std::string>& names);
  void ChangeToFolder(const std::string& folder);
  void TakePicture();
  bool LoadWorkPicture(const std::string& name);  // false when nothing could be decoded

  // The folder list.
  void FillFileList(const std::string& name);
  void RefreshThumbOf(const std::string& name);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void BuildLayout();
  void BuildCutPanel();
  void BuildToolBar();
  void BuildMenus();
  void UpdateUndoButtons();
  void SyncReopenMenu();
  void ColourReadoutAt(int X, int Y);
  bool DownloadMode() const;

  TStartup startup_;
  bool shown_ = false;
  bool closed_ = false;
  bool suppressActivate_ = false;

  // Mouse state.
  TPoint anchor_;
  bool freshPress_ = false;
  TPoint moveStart_{-1, -1};
  TRect moveFrame_;
};
