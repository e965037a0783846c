#include "platform/widgets/QtUi.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>
#include <ctime>

#include "platform/Files.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList out;
  const QStringList parts = Q(filter).split('|');
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out;
}

int QtUi::MessageBox(TMsgDlgType kind, TMsgDlgButtons buttons, const std::string& text, const std::string& caption) {
  QMessageBox box(QApplication::activeWindow());
  box.setText(Q(text));
  box.setWindowTitle(caption.empty() ? QApplication::applicationDisplayName() : Q(caption));
  switch (kind) {
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    default: break;
  }
  switch (buttons) {
    case mbOKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case mbYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case mbAbort: box.setStandardButtons(QMessageBox::Abort); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return mrOk;
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
    case QMessageBox::Abort: return mrAbort;
    default: return buttons == mbYesNo ? mrNo : mrCancel;
  }
}

bool QtUi::InputQuery(const std::string& caption, const std::string& prompt, std::string& text) {
  bool ok = false;
  const QString r = QInputDialog::getText(QApplication::activeWindow(), Q(caption), Q(prompt), QLineEdit::Normal,
                                          Q(text), &ok);
  if (ok) text = r.toStdString();
  return ok;
}

namespace {
bool RunFileDialog(TFileDialog& d, QFileDialog::AcceptMode mode, bool preview) {
  QFileDialog dlg(QApplication::activeWindow(), Q(d.Title));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(mode);
  dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QStringList filters = QtNameFilters(d.Filter);
  dlg.setNameFilters(filters);
  if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[d.FilterIndex - 1]);
  if (!d.InitialDir.empty()) dlg.setDirectory(Q(d.InitialDir));
  if (!d.FileName.empty()) dlg.selectFile(Q(d.FileName));
  if (!d.DefaultExt.empty()) dlg.setDefaultSuffix(Q(files::LowerCase(d.DefaultExt)));
  if (preview) {
    auto* label = new QLabel(&dlg);
    label->setFixedSize(200, 200);
    label->setAlignment(Qt::AlignCenter);
    if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) grid->addWidget(label, 0, grid->columnCount(), -1, 1);
    QObject::connect(&dlg, &QFileDialog::currentChanged, label, [label](const QString& path) {
      const QPixmap pm(path);
      label->setPixmap(pm.isNull() ? QPixmap() : pm.scaled(label->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
    });
  }
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  d.FileName = dlg.selectedFiles().first().toStdString();
  d.FilterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
  return true;
}
}  // namespace

bool QtUi::OpenPictureDialog(TFileDialog& d) { return RunFileDialog(d, QFileDialog::AcceptOpen, true); }

bool QtUi::SaveDialog(TFileDialog& d) { return RunFileDialog(d, QFileDialog::AcceptSave, false); }

bool QtUi::PrintDialog(QPrinter& printer) {
  QPrintDialog dlg(&printer, QApplication::activeWindow());
  return dlg.exec() == QDialog::Accepted;
}

bool QtUi::ColorDialog(TColor& color) {
  const QColor c = QColorDialog::getColor(QColor(GetRValue(color), GetGValue(color), GetBValue(color)),
                                          QApplication::activeWindow());
  if (!c.isValid()) return false;
  color = RGB(c.red(), c.green(), c.blue());
  return true;
}

int QtUi::ShowModal(QDialog& dialog) { return dialog.exec(); }

void QtUi::Beep() { QApplication::beep(); }

bool QtUi::ShellOpen(const std::string& target) {
  const QString t = Q(target);
  return QDesktopServices::openUrl(t.contains("://") ? QUrl(t) : QUrl::fromLocalFile(t));
}

bool QtUi::StartElevated(const std::string& program, const std::string& params) {
  QStringList args{Q(program)};
  if (!params.empty()) args << QProcess::splitCommand(Q(params));
  return QProcess::startDetached("pkexec", args);
}

TShiftState QtUi::Modifiers() {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier), m.testFlag(Qt::AltModifier)};
}

uint32_t QtUi::TickCount() {
  return uint32_t(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

TDateTime QtUi::Now() { return TDateTime::FromTimeT(std::time(nullptr)); }
