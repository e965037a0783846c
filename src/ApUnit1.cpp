// TForm1: construction, the layout of panels and the menus.
#include "ApUnit1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QToolButton>
#include <QVBoxLayout>

#include "ApUnit1Glyphs.h"
#include "ApUnit1Version.h"
#include "Unitopening.h"
#include "platform/widgets/ClickLabel.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/PaintBox.h"

namespace {
QColor Colour(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

QFrame* MakePanel(QWidget* parent, const char* name, TColor colour) {
  auto* p = new QFrame(parent);
  p->setObjectName(name);
  p->setAutoFillBackground(true);
  QPalette pal = p->palette();
  pal.setColor(QPalette::Window, Colour(colour));
  p->setPalette(pal);
  return p;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(QString::fromUtf8(caption));
  b->setToolTip(QString::fromUtf8(hint));
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QToolButton* MakeGlyphButton(QWidget* parent, const char* name, TToolGlyph glyph, const char* hint) {
  QToolButton* b = MakeButton(parent, name, "", hint);
  b->setIcon(ToolGlyph(glyph));
  b->setIconSize(QSize(32, 32));
  b->setFixedSize(44, 44);
  b->setAutoRaise(true);
  return b;
}
}  // namespace

TForm1::TForm1(TStartup startup, QWidget* parent) : QMainWindow(parent), startup_(std::move(startup)) {
  setObjectName("Form1");
  setAcceptDrops(true);
  VersionText = VersionTextFrom(kVersionHistory);
  Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  BuildLayout();
  BuildMenus();
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildLayout() {
  setMinimumSize(1024, 720);
  resize(1213, 874);
  auto* central = new QWidget(this);
  central->setAutoFillBackground(true);
  setCentralWidget(central);
  auto* rows = new QVBoxLayout(central);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);

  Panel2 = MakePanel(central, "Panel2", clSilver);
  Panel2->setFixedHeight(53);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BuildToolBar();
  LbAllOpe = new QLabel(Panel2);
  LbAllOpe->setObjectName("LbAllOpe");
  LbAllOpe->setStyleSheet("font-size: 10px");
  auto* top = static_cast<QHBoxLayout*>(Panel2->layout());
  top->addStretch(1);
  top->addWidget(LbAllOpe);
  PnlColorMon = MakePanel(Panel2, "PnlColorMon", clBlack);
  PnlColorMon->setFixedSize(45, 45);
  PnlColorMon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  top->addWidget(PnlColorMon);
  rows->addWidget(Panel2);

  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  Panel3 = MakePanel(central, "Panel3", 16761024);
  Panel3->setFixedWidth(129);
  middle->addWidget(Panel3);

  BuildCutPanel();
  BtnHOME = MakeButton(Panel3, "BtnHOME", "[全体を選択]", "切り出し範囲を全体にする");
  BtnHOME->setGeometry(4, 152, 121, 24);
  connect(BtnHOME, &QToolButton::clicked, this, Handler(this, &TForm1::BtnHOMEClick, BtnHOME));

  CbxEllip = new QCheckBox("楕円領域", Panel3);
  CbxEllip->setObjectName("CbxEllip");
  CbxEllip->setGeometry(10, 182, 113, 20);
  CbxEllip->setFocusPolicy(Qt::ClickFocus);
  connect(CbxEllip, &QCheckBox::toggled, this, Handler(this, &TForm1::CbxEllipClick, CbxEllip));

  PaintBox1 = new TPaintBox(central);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
  PaintBox1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); };
  PaintBox1->OnMouseMove = [this](Qt::MouseButtons b, int x, int y) { PaintBox1MouseMove(b, x, y); };
  PaintBox1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseUp(b, x, y); };
  middle->addWidget(PaintBox1, 1);

  PnlRight = MakePanel(central, "PnlRight", clSilver);
  PnlRight->setMinimumWidth(2);
  PnlRight->setMaximumWidth(320);
  PnlRight->setFixedWidth(246);
  auto* right = new QVBoxLayout(PnlRight);
  right->setContentsMargins(0, 0, 0, 0);
  FileList1 = new QListWidget(PnlRight);
  FileList1->setObjectName("FileList1");
  QPalette listPal = FileList1->palette();
  listPal.setColor(QPalette::Base, Colour(15716546));
  FileList1->setPalette(listPal);
  right->addWidget(FileList1);
  middle->addWidget(PnlRight);
  rows->addLayout(middle, 1);

  PnlBottom = MakePanel(central, "PnlBottom", 16761024);
  PnlBottom->setFixedHeight(33);
  auto* bottom = new QHBoxLayout(PnlBottom);
  bottom->setContentsMargins(8, 2, 8, 2);
  lbPictureSize = new QLabel(PnlBottom);
  lbPictureSize->setObjectName("lbPictureSize");
  bottom->addWidget(lbPictureSize, 1);
  lbHomePage = new QLabel(PnlBottom);
  lbHomePage->setObjectName("lbHomePage");
  bottom->addWidget(lbHomePage);
  bottom->addSpacing(16);
  for (auto [label, name] : {std::pair{&LbR, "R"}, {&LbG, "G"}, {&LbB, "B"}, {&LbY, "Y"}}) {
    *label = new QLabel(QString(name) + "000", PnlBottom);
    (*label)->setObjectName(QString("Lb") + name);
    (*label)->setFont(QFont("ＭＳ ゴシック"));
    bottom->addWidget(*label);
  }
  rows->addWidget(PnlBottom);
}

void TForm1::BuildToolBar() {
  auto* top = new QHBoxLayout(Panel2);
  top->setContentsMargins(4, 3, 4, 3);
  top->setSpacing(2);
  CmdUnDo = MakeGlyphButton(Panel2, "CmdUnDo", TToolGlyph::Undo, "元に戻す(Ctrl+Z)");
  CmdReDo = MakeGlyphButton(Panel2, "CmdReDo", TToolGlyph::Redo, "やり直し(Ctrl+Alt+Z)");
  BtnOpen1 = MakeGlyphButton(Panel2, "BtnOpen1", TToolGlyph::Open, "開く");
  BtnSave1 = MakeGlyphButton(Panel2, "BtnSave1", TToolGlyph::Save, "上書き保存");
  BtnPrint1 = MakeGlyphButton(Panel2, "BtnPrint1", TToolGlyph::Print, "印刷");
  top->addWidget(CmdUnDo);
  top->addWidget(CmdReDo);
  top->addSpacing(12);
  top->addWidget(BtnOpen1);
  top->addWidget(BtnSave1);
  top->addWidget(BtnPrint1);
  connect(CmdUnDo, &QToolButton::clicked, this, Handler(this, &TForm1::CmdUnDoClick, CmdUnDo));
  connect(CmdReDo, &QToolButton::clicked, this, Handler(this, &TForm1::CmdReDoClick, CmdReDo));
  connect(BtnOpen1, &QToolButton::clicked, this, Handler(this, &TForm1::Open1Click, BtnOpen1));
  connect(BtnSave1, &QToolButton::clicked, this, Handler(this, &TForm1::Save1Click, BtnSave1));
  connect(BtnPrint1, &QToolButton::clicked, this, Handler(this, &TForm1::Print1Click, BtnPrint1));
}

void TForm1::BuildCutPanel() {
  auto* group = new QLabel("範囲、サイズ", Panel3);
  group->setGeometry(6, 2, 117, 18);
  BtnSrcCutSize = MakeButton(Panel3, "BtnSrcCutSize", "切取サイズ比...", "切り出しサイズ入力");
  BtnSrcCutSize->setGeometry(4, 20, 121, 26);
  auto* src = new TClickLabel(Panel3);
  lbSrcCutSize = src;
  lbSrcCutSize->setObjectName("lbSrcCutSize");
  lbSrcCutSize->setGeometry(4, 47, 117, 17);
  lbSrcCutSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  BtnDstCutSize = MakeButton(Panel3, "BtnDstCutSize", "切取後サイズ...", "切り出しサイズ入力");
  BtnDstCutSize->setGeometry(4, 66, 121, 26);
  auto* dst = new TClickLabel(Panel3);
  lbDstCutSize = dst;
  lbDstCutSize->setObjectName("lbDstCutSize");
  lbDstCutSize->setGeometry(4, 93, 117, 17);
  lbDstCutSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CmdCutExec = MakeButton(Panel3, "CmdCutExec", "切取りの実行", "切り出しの実行(Enter)");
  CmdCutExec->setGeometry(4, 114, 121, 32);
  connect(BtnSrcCutSize, &QToolButton::clicked, this, Handler(this, &TForm1::BtnSrcCutSizeClick, BtnSrcCutSize));
  connect(BtnDstCutSize, &QToolButton::clicked, this, Handler(this, &TForm1::BtnDstCutSizeClick, BtnDstCutSize));
  connect(CmdCutExec, &QToolButton::clicked, this, Handler(this, &TForm1::CmdCutExecClick, CmdCutExec));
  connect(src, &TClickLabel::clicked, this, Handler(this, &TForm1::lbSrcCutSizeClick, lbSrcCutSize));
  connect(dst, &TClickLabel::clicked, this, Handler(this, &TForm1::lbDstCutSizeClick, lbDstCutSize));
}

void TForm1::BuildMenus() {
  File1 = menuBar()->addMenu("ファイル(&F)");
  File1->setObjectName("File1");
  connect(File1, &QMenu::aboutToShow, this, Handler(this, &TForm1::File1Click, File1));
  auto action = [this](QMenu* menu, const char* name, const char* caption, void (TForm1::*handler)(QObject*)) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, Handler(this, handler, a));
    return a;
  };
  Open1 = action(File1, "Open1", "開く(&O)", &TForm1::Open1Click);
  Save1 = action(File1, "Save1", "上書き保存(&S)", &TForm1::Save1Click);
  SaveAs1 = action(File1, "SaveAs1", "名前を付けて保存(&A)", &TForm1::SaveAs1Click);
  File1->addSeparator();
  Print1 = action(File1, "Print1", "印刷(&P)", &TForm1::Print1Click);
  File1->addSeparator();
  N14 = File1->addMenu("開き直す");
  N14->setObjectName("N14");
  for (int i = 0; i < 10; ++i) {
    ReopenItems[i] = N14->addAction(QString());
    ReopenItems[i]->setObjectName(QString("fmenu%1").arg(i));
    ReopenItems[i]->setVisible(false);
    connect(ReopenItems[i], &QAction::triggered, this, Handler(this, &TForm1::fmenu0Click, ReopenItems[i]));
  }
  fmenuC = action(N14, "fmenuC", "(履歴のクリア)", &TForm1::fmenuCClick);
  fmenuC->setVisible(false);
  File1->addSeparator();
  Exit1 = action(File1, "Exit1", "終了(&X)", &TForm1::Exit1Click);

  Edit1 = menuBar()->addMenu("編集(&E)");
  Edit1->setObjectName("Edit1");
  connect(Edit1, &QMenu::aboutToShow, this, Handler(this, &TForm1::Edit1Click, Edit1));
  MenuUndo1 = action(Edit1, "MenuUndo1", "元に戻す", &TForm1::CmdUnDoClick);
  MenuUndo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  MenuRedo1 = action(Edit1, "MenuRedo1", "やり直し", &TForm1::CmdReDoClick);
  MenuRedo1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
}

void TForm1::SyncReopenMenu() {
  for (int i = 0; i < 10; ++i) {
    const TReopenItem& item = Reopen.Items[i];
    ReopenItems[i]->setText(QString::fromStdString(item.Caption).replace('&', "&&"));
    ReopenItems[i]->setVisible(item.Visible);
    ReopenItems[i]->setEnabled(item.Enabled);
  }
  fmenuC->setVisible(Reopen.ClearVisible);
}

void TForm1::AddToReopenList(const std::string& name) {
  Reopen.Add(name);
  SyncReopenMenu();
}

void TForm1::Exit1Click(QObject*) { close(); }
