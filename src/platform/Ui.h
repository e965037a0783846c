// Ui: every way a window reaches the user and the desktop (message boxes, dialogs, shell,
// keyboard state, clock). The program installs the Qt implementation; tests a scripted one.
#pragma once
#include <cstdint>
#include <string>

#include "platform/DateTime.h"
#include "platform/Types.h"

class QDialog;
class QPrinter;

enum TMsgDlgType { mtPlain, mtInformation, mtConfirmation, mtWarning, mtError };
enum TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbAbort };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrYes = 6, mrNo = 7 };

struct TShiftState {
  bool Shift = false, Ctrl = false, Alt = false;
};

// In: what the dialog starts with. Out (when confirmed): the chosen FileName and FilterIndex.
// Filter is "description|patterns|description|patterns…"; FilterIndex counts from 1.
struct TFileDialog {
  std::string Title, InitialDir, Filter, FileName, DefaultExt;
  int FilterIndex = 1;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Modal; returns the button pressed as a TModalResult.
  virtual int MessageBox(TMsgDlgType kind, TMsgDlgButtons buttons, const std::string& text,
                         const std::string& caption = "") = 0;
  void ShowMessage(const std::string& text) { MessageBox(mtPlain, mbOK, text); }

  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& text) = 0;
  virtual bool OpenPictureDialog(TFileDialog& d) = 0;  // with a preview of the selected picture
  virtual bool SaveDialog(TFileDialog& d) = 0;
  virtual bool PrintDialog(QPrinter& printer) = 0;
  virtual bool ColorDialog(TColor& color) = 0;
  // Shows a window modally and returns its TModalResult.
  virtual int ShowModal(QDialog& dialog) = 0;

  virtual void Beep() = 0;
  virtual bool ShellOpen(const std::string& target) = 0;  // a web address or a file
  virtual bool StartElevated(const std::string& program, const std::string& params) = 0;

  virtual TShiftState Modifiers() = 0;  // held down now
  virtual uint32_t TickCount() = 0;     // milliseconds
  virtual TDateTime Now() = 0;          // local
};

// The installed service; throws std::logic_error when none is installed.
Ui& TheUi();
void SetUi(Ui* ui);
