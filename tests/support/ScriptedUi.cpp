#include "support/ScriptedUi.h"

#include <QApplication>
#include <QDialog>

namespace {
int FirstButton(TMsgDlgButtons b) {
  switch (b) {
    case mbYesNo: return mrYes;
    case mbAbort: return mrAbort;
    default: return mrOk;
  }
}

template <class T>
std::optional<T> Take(std::deque<std::optional<T>>& q) {
  if (q.empty()) return std::nullopt;
  auto v = q.front();
  q.pop_front();
  return v;
}
}  // namespace

int ScriptedUi::MessageBox(TMsgDlgType kind, TMsgDlgButtons buttons, const std::string& text,
                           const std::string& caption) {
  Messages.push_back({kind, buttons, text, caption});
  if (OnMessage) OnMessage(Messages.back());
  if (Answers.empty()) return FirstButton(buttons);
  const int a = Answers.front();
  Answers.pop_front();
  return a;
}

bool ScriptedUi::InputQuery(const std::string&, const std::string& prompt, std::string& text) {
  InputPrompts.push_back(prompt);
  const auto v = Take(Inputs);
  if (!v) return false;
  text = *v;
  return true;
}

bool ScriptedUi::OpenPictureDialog(TFileDialog& d) {
  OpenDialogs.push_back(d);
  const auto v = Take(OpenAnswers);
  if (!v) return false;
  d.FileName = v->FileName;
  d.FilterIndex = v->FilterIndex;
  return true;
}

bool ScriptedUi::SaveDialog(TFileDialog& d) {
  SaveDialogs.push_back(d);
  const auto v = Take(SaveAnswers);
  if (!v) return false;
  d.FileName = v->FileName;
  d.FilterIndex = v->FilterIndex;
  return true;
}

bool ScriptedUi::PrintDialog(QPrinter&) {
  ++PrintDialogs;
  if (PrintAnswers.empty()) return false;
  const bool a = PrintAnswers.front();
  PrintAnswers.pop_front();
  return a;
}

bool ScriptedUi::ColorDialog(TColor& color) {
  ++ColorDialogs;
  const auto v = Take(ColorAnswers);
  if (!v) return false;
  color = *v;
  return true;
}

int ScriptedUi::ShowModal(QDialog& dialog) {
  ModalShown.push_back(dialog.objectName().toStdString());
  dialog.setResult(mrNone);
  dialog.show();
  QApplication::processEvents();
  int result = mrCancel;
  if (!Modals.empty()) {
    auto script = std::move(Modals.front());
    Modals.pop_front();
    result = script(dialog);
  }
  dialog.hide();
  return result;
}

bool ScriptedUi::ShellOpen(const std::string& target) {
  ShellOpened.push_back(target);
  return true;
}

bool ScriptedUi::StartElevated(const std::string& program, const std::string& params) {
  ElevatedStarts.push_back(program + (params.empty() ? "" : " " + params));
  return true;
}
