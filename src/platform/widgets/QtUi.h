// The Ui service on Qt widgets and the desktop.
#pragma once
#include <QStringList>

#include "platform/Ui.h"

class QtUi : public Ui {
 public:
  int MessageBox(TMsgDlgType kind, TMsgDlgButtons buttons, const std::string& text,
                 const std::string& caption) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool OpenPictureDialog(TFileDialog& d) override;
  bool SaveDialog(TFileDialog& d) override;
  bool PrintDialog(QPrinter& printer) override;
  bool ColorDialog(TColor& color) override;
  int ShowModal(QDialog& dialog) override;
  void Beep() override;
  bool ShellOpen(const std::string& target) override;
  bool StartElevated(const std::string& program, const std::string& params) override;
  TShiftState Modifiers() override;
  uint32_t TickCount() override;
  TDateTime Now() override;
};

// "desc|*.a;*.b|desc2|*.c" as Qt name filters "desc (*.a *.b)".
QStringList QtNameFilters(const std::string& filter);
