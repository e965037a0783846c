// Start-up and close of the main window: data folder, settings, switches, the Ctrl key.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "FormFixture.h"
#include "platform/Files.h"

namespace {
const std::string kPrefix = "<TARN: Kestrelframe  Ver 2022.09.26>";
}

TEST(Startup, CaptionDataFolderAndSettingsWrittenAtClose) {
  FormEnv env;
  auto form = env.Start();
  EXPECT_EQ(form->windowTitle().toStdString(), kPrefix);
  EXPECT_EQ(form->DataFolder, env.DataFolderFor("kestrelframe"));
  EXPECT_EQ(form->ExeBaseName, "kestrelframe");
  EXPECT_EQ(form->LbAllOpe->text().toStdString(), "全\n体\n操\n作");
  EXPECT_FALSE(files::FileExists(env.SettingsFor("kestrelframe")));
  form->SrcRatioW = 16;
  form->SrcRatioH = 9;
  form->close();
  const std::string ini = ReadText(env.SettingsFor("kestrelframe"));
  EXPECT_NE(ini.find("S_WIDTH=16\nS_HEIGHT=9\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("BGCOLOR=12632256\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FILE0=なし\n"), std::string::npos) << ini;

  // The next start reads the values back.
  auto again = env.Start();
  EXPECT_EQ(again->SrcRatioW, 16);
  EXPECT_EQ(again->SrcRatioH, 9);
}

TEST(Startup, AnotherProgramNameGetsItsOwnFolderAndSettings) {
  FormEnv env;
  env.Start({}, "kestrelframe")->close();
  auto other = env.Start({}, "kestrel-copy");
  EXPECT_EQ(other->DataFolder, env.DataFolderFor("kestrel-copy"));
  other->DstWidth = 320;
  other->close();
  EXPECT_TRUE(files::FileExists(env.SettingsFor("kestrel-copy")));
  EXPECT_EQ(ReadText(env.SettingsFor("kestrelframe")).find("D_WIDTH=320"), std::string::npos);
  EXPECT_NE(ReadText(env.SettingsFor("kestrel-copy")).find("D_WIDTH=320"), std::string::npos);
}

TEST(Startup, ProgramFolderIsUsedWithoutADataHome) {
  FormEnv env;
  setenv("XDG_DATA_HOME", (env.dataHome.Path() + "/missing").c_str(), 1);
  auto form = env.Start();
  EXPECT_EQ(form->DataFolder, env.programDir.Path() + "/");
}

TEST(Startup, CommandLineOrSettingsPictureIsOpenedUnlessCtrlIsHeld) {
  FormEnv env;
  auto bmp = [&](const char* name, int w) {
    TBitmap b;
    b.SetSize(w, 10);
    b.SaveToFile(env.pictures.File(name));
    return env.pictures.File(name);
  };
  const std::string fromSettings = bmp("old.bmp", 30), fromArgs = bmp("new.bmp", 40);
  files::CreateDir(env.dataHome.Path() + "/TARNLIB");
  files::CreateDir(env.DataFolderFor("kestrelframe"));
  auto settings = [&](const std::string& name) {
    WriteText(env.SettingsFor("kestrelframe"), "[PATH]\nNAME1=" + name + "\n");
  };
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string settingsName;
    bool ctrl;
    std::string current;  // CurrentFileName afterwards
    int width;            // of the working image
  } cases[] = {
      {"the command line wins", {fromArgs}, fromSettings, false, fromArgs, 40},
      {"without arguments the settings' picture reopens", {}, fromSettings, false, fromSettings, 30},
      {"a named file that does not exist drops the remembered one", {env.pictures.File("gone.bmp")}, fromSettings,
       false, "", 420},
      {"Ctrl keeps the start picture and the settings' name", {fromArgs}, fromSettings, true, fromSettings, 420},
      {"Ctrl keeps even a name that does not exist", {}, "/nowhere/x.jpg", true, "/nowhere/x.jpg", 420},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    settings(c.settingsName);
    env.ui.Held.Ctrl = c.ctrl;
    auto form = env.Start(c.args);
    EXPECT_EQ(form->CurrentFileName, c.current);
    EXPECT_EQ(form->windowTitle().toStdString(), kPrefix + c.current);
    EXPECT_EQ(form->WorkBitmap.Width(), c.width);
    EXPECT_FALSE(form->CmdUnDo->isEnabled());
    EXPECT_TRUE(env.ui.Messages.empty());
  }
}

TEST(Startup, AnUnreadablePictureIsReportedAndForgotten) {
  FormEnv env;
  const std::string broken = env.pictures.File("broken.bmp");
  WriteText(broken, "BM but nothing else");
  auto form = env.Start({broken});
  ASSERT_EQ(env.ui.Messages.size(), 1u);
  EXPECT_EQ(env.ui.Messages[0].Kind, mtError);
  EXPECT_NE(env.ui.Messages[0].Text.find(broken), std::string::npos) << env.ui.Messages[0].Text;
  EXPECT_EQ(form->CurrentFileName, "");
  EXPECT_EQ(form->WorkBitmap.Width(), 420);
}

TEST(Startup, DownloadModeReadsNoSettingsAndClosesAtFirstActivation) {
  for (const char* sw : {"/D", "/d"}) {
    SCOPED_TRACE(sw);
    FormEnv env;
    files::CreateDir(env.dataHome.Path() + "/TARNLIB");
    files::CreateDir(env.DataFolderFor("kestrelframe"));
    const std::string settings = "[Kestrelframe.CutR]\nS_WIDTH=5\n";
    WriteText(env.SettingsFor("kestrelframe"), settings);
    auto form = env.Start({sw});
    EXPECT_EQ(form->SrcRatioW, 0);
    EXPECT_EQ(form->DataFolder, "");
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    EXPECT_EQ(ReadText(env.SettingsFor("kestrelframe")), settings);
  }
}

TEST(Startup, UpdatedSwitchShowsTheMessageOnEveryActivation) {
  for (const char* sw : {"/U", "/u"}) {
    SCOPED_TRACE(sw);
    FormEnv env;
    auto form = env.Start({sw});
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !env.ui.Messages.empty(); }));
    EXPECT_EQ(env.ui.Messages[0].Text, kPrefix + "：最新版に更新しました。");
    EXPECT_EQ(form->CurrentFileName, "");
    const std::size_t shown = env.ui.Messages.size();
    form->FormActivate();
    EXPECT_EQ(env.ui.Messages.size(), shown + 1);
  }
}

TEST(Startup, ReopenEntriesNamingDeletedFilesAreHidden) {
  FormEnv env;
  const std::string kept = env.pictures.File("kept.jpg");
  WriteText(kept, "x");
  files::CreateDir(env.dataHome.Path() + "/TARNLIB");
  files::CreateDir(env.DataFolderFor("kestrelframe"));
  WriteText(env.SettingsFor("kestrelframe"),
            "[REOPEN]\nFILE0=" + env.pictures.File("deleted.jpg") + "\nFILE1=" + kept + "\n");
  auto form = env.Start();
  EXPECT_EQ(form->ReopenItems[0]->text().toStdString(), kept);
  EXPECT_TRUE(form->ReopenItems[0]->isVisible());
  for (int i = 1; i < 10; ++i) EXPECT_FALSE(form->ReopenItems[i]->isVisible()) << i;
  EXPECT_TRUE(form->fmenuC->isVisible());
}

TEST(Startup, AltFThenXClosesAndWritesTheSettings) {
  FormEnv env;
  auto form = env.Start();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
  EXPECT_TRUE(files::FileExists(env.SettingsFor("kestrelframe")));
}

TEST(Startup, SpeedButtonsCarryTheirPaintedFaces) {
  FormEnv env;
  auto form = env.Start();
  struct Case {
    QToolButton* button;
    QRgb upTint;  // the face's colour in the middle of its top band, before the caption
  } cases[] = {{form->BtnSrcCutSize, qRgb(255, 255, 170)},
               {form->CmdCutExec, qRgb(170, 255, 255)},
               {form->BtnHOME, qRgb(255, 255, 255)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->objectName().toStdString());
    EXPECT_TRUE(c.button->text().isEmpty());
    const QSize state(c.button->width() - 4, c.button->height() - 3);
    EXPECT_EQ(c.button->iconSize(), state);
    const QImage up = c.button->icon().pixmap(state, QIcon::Normal).toImage();
    const QImage disabled = c.button->icon().pixmap(state, QIcon::Disabled).toImage();
    ASSERT_EQ(up.size(), state);
    EXPECT_EQ(qAlpha(up.pixel(0, 5)), 0);  // the first column shows the background
    const QRgb p = up.pixel(3, 2);
    // A grey base tinted by the up colour: no channel above the tint's.
    EXPECT_LE(qRed(p), qRed(c.upTint));
    EXPECT_LE(qBlue(p), qBlue(c.upTint));
    EXPECT_GT(qGreen(p), 150);
    EXPECT_NE(up.pixel(3, 2), disabled.pixel(3, 2));
  }
}
