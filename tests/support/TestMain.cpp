// Main of every test program: offscreen Qt, a private runtime folder, a fresh data home.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "platform/Canvas.h"
#include "support/TestFiles.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static TempDir runtime;  // 0700, removed at exit
  setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  static TempDir dataHome;
  setenv("XDG_DATA_HOME", dataHome.Path().c_str(), 1);
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
