// ScriptedUi: the Ui service for tests. Records everything shown and answers from queues the
// test fills; an empty queue gives the first button of a message box and cancels dialogs.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"

class ScriptedUi : public Ui {
 public:
  struct Message {
    TMsgDlgType Kind;
    TMsgDlgButtons Buttons;
    std::string Text, Caption;
  };

  // What was shown.
  std::vector<Message> Messages;
  std::vector<std::string> InputPrompts;
  std::vector<TFileDialog> OpenDialogs, SaveDialogs;
  std::vector<std::string> ShellOpened, ElevatedStarts;
  std::vector<std::string> ModalShown;  // object names of the dialogs
  int Beeps = 0, PrintDialogs = 0, ColorDialogs = 0;

  // Answers.
  std::deque<int> Answers;                               // TModalResult per message box
  std::deque<std::optional<std::string>> Inputs;          // nullopt = cancelled
  std::deque<std::optional<TFileDialog>> OpenAnswers, SaveAnswers;
  std::deque<bool> PrintAnswers;
  std::deque<std::optional<TColor>> ColorAnswers;
  // Runs while the dialog is shown: set its controls, click its buttons, return the result
  // (e.g. dialog.result() after clicking OK). Without a script the dialog is cancelled.
  std::deque<std::function<int(QDialog&)>> Modals;
  std::function<void(const Message&)> OnMessage;  // e.g. to fail on an unexpected message

  TShiftState Held;
  uint32_t Tick = 1000;
  TDateTime Clock{2024, 5, 6, 7, 8, 9};

  int MessageBox(TMsgDlgType kind, TMsgDlgButtons buttons, const std::string& text,
                 const std::string& caption) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool OpenPictureDialog(TFileDialog& d) override;
  bool SaveDialog(TFileDialog& d) override;
  bool PrintDialog(QPrinter& printer) override;
  bool ColorDialog(TColor& color) override;
  int ShowModal(QDialog& dialog) override;
  void Beep() override { ++Beeps; }
  bool ShellOpen(const std::string& target) override;
  bool StartElevated(const std::string& program, const std::string& params) override;
  TShiftState Modifiers() override { return Held; }
  uint32_t TickCount() override { return Tick; }
  TDateTime Now() override { return Clock; }
};

// Installs a fresh ScriptedUi for the lifetime of the object.
class ScopedScriptedUi {
 public:
  ScopedScriptedUi() { SetUi(&ui); }
  ~ScopedScriptedUi() { SetUi(nullptr); }
  ScriptedUi ui;
};
