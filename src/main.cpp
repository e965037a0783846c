// Program entry: the application object, the windows in their fixed order, the message loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <exception>

#include "ApUnit1.h"
#include "platform/Canvas.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/QtUi.h"

namespace {
// Events of Qt's own widgets may still throw through a handler we did not wrap.
class TApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    try {
      return QApplication::notify(receiver, e);
    } catch (const std::exception& ex) {
      ShowException(ex);
      return false;
    }
  }
};
}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.setApplicationDisplayName("Kestrelframe");
  // The whole interface is Japanese, so the standard dialogs and buttons are too.
  QTranslator qtTexts;
  if (qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) app.installTranslator(&qtTexts);
  InstallFontSubstitutions();
  QtUi ui;
  SetUi(&ui);
  try {
    TStartup startup;
    startup.ProgramFile = QCoreApplication::applicationFilePath().toStdString();
    for (int i = 1; i < argc; ++i) startup.Args.push_back(argv[i]);
    TForm1 Form1(startup);
    Form1.show();
    return app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Kestrelframe", QString::fromStdString(e.what()));
    return 1;
  }
}
