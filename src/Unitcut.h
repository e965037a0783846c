// FormCut: the modal dialog for two numbers — the cut frame's ratio or the cut's output size —
// with presets, orientation, a shape preview and a clear button.
#pragma once
#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TPaintBox;

class TFormCut : public QDialog {
  Q_OBJECT
 public:
  explicit TFormCut(QWidget* parent = nullptr);

  QGroupBox* GroupBox1;
  QRadioButton *RadioButton2, *RdBtnYoko;
  std::array<QToolButton*, 12> Presets{};
  TPaintBox* PaintBox1;
  QLineEdit *EditW, *EditH;
  QLabel *LbRatio, *Label1, *Label2;
  QCheckBox* cbxAnyTime;
  QPushButton *BtnClear, *BitBtnOK, *BitBtnCancel;

  void FormShow();  // normalises the numbers and repaints the preview
  void PaintBox1Paint();
  void RdBtnTateYokoClick(QObject* Sender);
  void BtnSizeClick(QObject* Sender);
  void BtnClearClick(QObject* Sender);
  void BitBtnOKClick(QObject* Sender);
  void BitBtnCancelClick(QObject* Sender);

 protected:
  void showEvent(QShowEvent* e) override;
  void reject() override;
};
