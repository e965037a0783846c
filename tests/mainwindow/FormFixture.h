// A main window started in a private data home with the scripted Ui, at a fixed size.
#pragma once
#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ApUnit1.h"
#include "platform/widgets/PaintBox.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

class FormEnv {
 public:
  FormEnv() { setenv("XDG_DATA_HOME", dataHome.Path().c_str(), 1); }

  std::string DataFolderFor(const std::string& base) const { return dataHome.Path() + "/TARNLIB/" + base + "/"; }
  std::string SettingsFor(const std::string& base) const { return DataFolderFor(base) + base + ".INI"; }

  // Starts the program as if it were installed as programDir/base.
  std::unique_ptr<TForm1> Start(std::vector<std::string> args = {}, const std::string& base = "kestrelframe") {
    auto form = std::make_unique<TForm1>(TStartup{programDir.File(base), std::move(args)});
    form->setWindowState(Qt::WindowNoState);
    form->resize(1213, 874);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::processEvents();
    return form;
  }

  TempDir dataHome, programDir, pictures;
  ScopedScriptedUi scripted;
  ScriptedUi& ui = scripted.ui;
};

// Replaces the working image by a w × h picture of one colour and shows it.
inline void ShowPlainPicture(TForm1& f, int w, int h, TColor c) {
  f.WorkBitmap.Canvas().Brush.Color = c;
  f.WorkBitmap.SetSize(0, 0);
  f.WorkBitmap.SetSize(w, h);
  f.ShowPicture(true);
  QApplication::processEvents();
}
