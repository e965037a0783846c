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
#include <QToolButton>
#include <QVBoxLayout>

#include "ApUnit1Version.h"
#include "Unitopening.h"
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
}  // namespace

TForm1::TForm1(TStartup startup, QWidget* parent) : QMainWindow(parent), startup_(std::move(startup)) {
  setObjectName("Form1");
  VersionText = VersionTextFrom(kVersionHistory);
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
  auto* top = new QHBoxLayout(Panel2);
  top->setContentsMargins(4, 3, 4, 3);
  LbAllOpe = new QLabel(Panel2);
  LbAllOpe->setObjectName("LbAllOpe");
  LbAllOpe->setStyleSheet("font-size: 10px");
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

  BtnHOME = new QToolButton(Panel3);
  BtnHOME->setObjectName("BtnHOME");
  BtnHOME->setText("[全体を選択]");
  BtnHOME->setToolTip("切り出し範囲を全体にする");
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

void TForm1::BuildMenus() {
  File1 = menuBar()->addMenu("ファイル(&F)");
  File1->setObjectName("File1");
  N14 = File1->addMenu("開き直す");
  N14->setObjectName("N14");
  for (int i = 0; i < 10; ++i) {
    ReopenItems[i] = N14->addAction(QString());
    ReopenItems[i]->setObjectName(QString("fmenu%1").arg(i));
    ReopenItems[i]->setVisible(false);
  }
  fmenuC = N14->addAction("(履歴のクリア)");
  fmenuC->setObjectName("fmenuC");
  fmenuC->setVisible(false);
  File1->addSeparator();
  Exit1 = File1->addAction("終了(&X)");
  Exit1->setObjectName("Exit1");
  connect(Exit1, &QAction::triggered, this, Handler(this, &TForm1::Exit1Click, Exit1));
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
