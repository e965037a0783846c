#include "Unitcut.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "UnitcutSize.h"
#include "platform/Ui.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/PaintBox.h"

namespace {
const char* const kPresets[12] = {"1200x900", "800x600",  "640x480", "320x240", "1350x900", "1200x800",
                                  "600x400",  "300x200",  "1600x900", "1280x720", "640x360", "320x180"};
constexpr int kColumns[4] = {176, 263, 349, 436};
constexpr int kRows[3] = {13, 47, 84};

// A caption whose blanks hold an edit box: the text before the first blank is drawn left of the
// box, the unit at its end right of it.
class TAroundLabel : public QLabel {
 public:
  using QLabel::QLabel;
  void Around(const QWidget* box) {
    const QString t = text();
    unit_ = int(t.indexOf(QString::fromUtf8("ﾄﾞｯﾄ")));
    word_ = 0;
    while (word_ < unit_ && t[word_] != QChar(0x3000) && t[word_] != QChar(' ')) ++word_;
    const QFontMetrics fm(font());
    const int before = fm.horizontalAdvance(t.left(word_)), after = fm.horizontalAdvance(t.mid(unit_));
    gap_ = box->width() + 6;
    setGeometry(box->x() - 3 - before, y(), before + gap_ + after, height());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const int base = (height() + fm.ascent() - fm.descent()) / 2;
    p.drawText(0, base, text().left(word_));
    p.drawText(fm.horizontalAdvance(text().left(word_)) + gap_, base, text().mid(unit_));
  }

 private:
  int word_ = 0, unit_ = 0, gap_ = 0;
};

QLabel* MakeLabel(QWidget* parent, const char* text, int x, int y, bool around = false) {
  QLabel* l = around ? new TAroundLabel(QString::fromUtf8(text), parent) : new QLabel(QString::fromUtf8(text), parent);
  l->move(x, y);
  l->adjustSize();
  return l;
}
}  // namespace

TFormCut::TFormCut(QWidget* parent) : QDialog(parent) {
  setObjectName("FormCut");
  setWindowTitle("切り取りサイズ");
  setFixedSize(534, 245);
  QFont f = font();
  f.setPixelSize(16);
  setFont(f);

  GroupBox1 = new QGroupBox("クイック入力", this);
  GroupBox1->setGeometry(0, 0, 534, 118);
  RadioButton2 = new QRadioButton("たて", GroupBox1);
  RadioButton2->setObjectName("RadioButton2");
  RadioButton2->move(43, 36);
  RadioButton2->adjustSize();
  RdBtnYoko = new QRadioButton("よこ", GroupBox1);
  RdBtnYoko->setObjectName("RdBtnYoko");
  RdBtnYoko->move(42, 72);
  RdBtnYoko->adjustSize();
  RdBtnYoko->setChecked(true);
  for (auto [name, x, y, w, h] : {std::tuple{"Panel4", 20, 36, 14, 19}, {"Panel3", 16, 75, 23, 13}}) {
    auto* block = new QFrame(GroupBox1);
    block->setObjectName(name);
    block->setGeometry(x, y, w, h);
    block->setStyleSheet("background: gray");
  }
  MakeLabel(GroupBox1, "4：3", 124, 17);
  MakeLabel(GroupBox1, "3：2", 125, 51);
  MakeLabel(GroupBox1, "16:9", 124, 88);
  for (int i = 0; i < 12; ++i) {
    auto* b = new QToolButton(GroupBox1);
    b->setText(kPresets[i]);
    b->setAutoRaise(true);
    b->setGeometry(kColumns[i % 4], kRows[i / 4], 83, 26);
    connect(b, &QToolButton::clicked, this, Handler(this, &TFormCut::BtnSizeClick, b));
    Presets[i] = b;
  }
  for (QRadioButton* r : {RadioButton2, RdBtnYoko})
    connect(r, &QRadioButton::toggled, this, [this, r](bool on) {
      if (on) Guard([&] { RdBtnTateYokoClick(r); });
    });

  PaintBox1 = new TPaintBox(this);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setGeometry(20, 124, 73, 73);
  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };

  Label1 = MakeLabel(this, "幅　　 　　ﾄﾞｯﾄ", 117, 134, true);
  Label2 = MakeLabel(this, "高さ　　 　ﾄﾞｯﾄ", 117, 166, true);
  for (auto [edit, name, y] : {std::tuple{&EditW, "EditW", 130}, {&EditH, "EditH", 162}}) {
    *edit = new QLineEdit(this);
    (*edit)->setObjectName(name);
    (*edit)->setGeometry(154, y, 68, 22);
    (*edit)->setMaxLength(6);
    (*edit)->setStyleSheet("background: #FFFFE0");
  }
  // Each caption's blanks hold the room of its edit box: the word stands just before the box
  // and the unit just after it, whatever the font's widths.
  for (auto [label, edit] : {std::pair{Label1, EditW}, {Label2, EditH}}) {
    auto* around = static_cast<TAroundLabel*>(label);
    around->Around(edit);
  }
  LbRatio = MakeLabel(this, "｝の比率になります。", 276, 148);
  LbRatio->setObjectName("LbRatio");
  cbxAnyTime = new QCheckBox("切り取り時、毎回指定する。", this);
  cbxAnyTime->setObjectName("cbxAnyTime");
  cbxAnyTime->move(292, 134);
  cbxAnyTime->adjustSize();

  BtnClear = new QPushButton("サイズを指定しない", this);
  BtnClear->setObjectName("BtnClear");
  BtnClear->setGeometry(116, 209, 160, 27);
  BitBtnOK = new QPushButton("OK", this);
  BitBtnOK->setObjectName("BitBtnOK");
  BitBtnOK->setGeometry(304, 209, 107, 27);
  BitBtnOK->setDefault(true);
  BitBtnCancel = new QPushButton("キャンセル", this);
  BitBtnCancel->setObjectName("BitBtnCancel");
  BitBtnCancel->setGeometry(416, 209, 107, 27);
  connect(BtnClear, &QPushButton::clicked, this, [this] {
    Guard([this] { BtnClearClick(BtnClear); });
    done(mrOk);
  });
  connect(BitBtnOK, &QPushButton::clicked, this, [this] {
    Guard([this] { BitBtnOKClick(BitBtnOK); });
    done(mrOk);
  });
  connect(BitBtnCancel, &QPushButton::clicked, this, [this] {
    Guard([this] { BitBtnCancelClick(BitBtnCancel); });
    done(mrCancel);
  });
}

void TFormCut::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  Guard([this] { FormShow(); });
}

void TFormCut::reject() { done(mrCancel); }

void TFormCut::FormShow() {
  EditW->setText(QString::fromStdString(SizeText(ReadSizeNumber(EditW->text().toStdString()))));
  EditH->setText(QString::fromStdString(SizeText(ReadSizeNumber(EditH->text().toStdString()))));
  LbRatio->setVisible(cbxAnyTime->isHidden());
  PaintBox1->Repaint();
}

void TFormCut::PaintBox1Paint() {
  TCanvas& c = PaintBox1->Canvas();
  const int bw = PaintBox1->Width(), bh = PaintBox1->Height();
  c.Brush.Style = bsSolid;
  c.Brush.Color = clWhite;
  c.FillRect({0, 0, bw, bh});
  const auto shape = PreviewShape(ReadSizeNumber(EditW->text().toStdString()),
                                  ReadSizeNumber(EditH->text().toStdString()), bw, bh);
  c.Brush.Color = shape ? clRed : clBlue;
  c.FrameRect(shape ? *shape : TRect{0, 0, bw, bh});
}

void TFormCut::RdBtnTateYokoClick(QObject*) {
  const QString w = EditW->text();
  EditW->setText(EditH->text());
  EditH->setText(w);
  FormShow();
}

void TFormCut::BtnSizeClick(QObject* Sender) {
  const auto* b = qobject_cast<QToolButton*>(Sender);
  if (!b) return;
  auto [w, h] = SplitPresetCaption(b->text().toStdString());
  if (!RdBtnYoko->isChecked()) std::swap(w, h);
  EditW->setText(QString::fromStdString(w));
  EditH->setText(QString::fromStdString(h));
  FormShow();
}

void TFormCut::BtnClearClick(QObject*) {
  EditW->clear();
  EditH->clear();
  FormShow();
}

void TFormCut::BitBtnOKClick(QObject*) {}

void TFormCut::BitBtnCancelClick(QObject*) { FormShow(); }
