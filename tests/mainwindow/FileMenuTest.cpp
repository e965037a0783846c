// The File menu: open, save, save as, print, the reopen list and dropped files, through the
// real widgets and the scripted Ui.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include "FormFixture.h"
#include "Pictureio.h"
#include "Unitcut.h"
#include "platform/Files.h"

namespace {
const std::string kPrefix = "<TARN: Kestrelframe  Ver 2022.09.26>";

// A w × h BMP of one colour.
std::string MakeBmp(const std::string& name, int w, int h, TColor c) {
  TBitmap b;
  b.Canvas().Brush.Color = c;
  b.SetSize(w, h);
  b.SaveToFile(name);
  return name;
}

TFileDialog Chosen(const std::string& name, int filterIndex = 1) {
  TFileDialog d;
  d.FileName = name;
  d.FilterIndex = filterIndex;
  return d;
}

std::vector<std::string> ListEntries(const TForm1& f) {
  std::vector<std::string> v;
  for (int i = 0; i < f.FileList1->count(); ++i) v.push_back(f.FileList1->item(i)->text().toStdString());
  return v;
}

std::vector<std::string> VisibleReopen(const TForm1& f) {
  std::vector<std::string> v;
  for (QAction* a : f.ReopenItems)
    if (a->isVisible()) v.push_back(a->text().toStdString());
  return v;
}

void Drop(TForm1& f, const std::vector<std::string>& names) {
  QMimeData data;
  QList<QUrl> urls;
  for (const auto& n : names) urls << QUrl::fromLocalFile(QString::fromStdString(n));
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &enter);
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &drop);
}
}  // namespace

TEST(FileMenu, OpenTakesThePictureAndListsItsFolder) {
  FormEnv env;
  const std::string a = MakeBmp(env.pictures.File("a.bmp"), 30, 20, clRed);
  MakeBmp(env.pictures.File("b.bmp"), 5, 5, clBlue);
  files::CreateDir(env.pictures.File("sub"));
  auto form = env.Start();
  env.ui.OpenAnswers.push_back(Chosen(a));
  QTest::mouseClick(form->BtnOpen1, Qt::LeftButton);

  ASSERT_EQ(env.ui.OpenDialogs.size(), 1u);
  EXPECT_EQ(env.ui.OpenDialogs[0].Title, "開く");
  EXPECT_EQ(env.ui.OpenDialogs[0].Filter,
            "イメージ (*.bmp;*.jpg;*.jpeg;*gif)|*.bmp;*.jpg;*.jpeg;*.gif|ビットマップ (*.bmp)|*.bmp|"
            "ＪＰＥＧﾌｧｲﾙ(*.jpg)|*.jpg;*.jpeg|ＧＩＦﾌｧｲﾙ(*.gif)|*.gif");
  EXPECT_EQ(form->WorkBitmap.Width(), 30);
  EXPECT_EQ(form->WorkBitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(form->WorkBitmap.ScanLine(5)[kR], 255);
  EXPECT_EQ(form->CurrentFileName, a);
  EXPECT_EQ(form->CurrentFolder, env.pictures.Path() + "/");
  EXPECT_EQ(form->windowTitle().toStdString(), kPrefix + a);
  EXPECT_EQ(form->CutRect, (TRect{0, 0, 30, 20}));
  EXPECT_FALSE(form->CmdUnDo->isEnabled());
  EXPECT_EQ(VisibleReopen(*form), std::vector<std::string>{a});
  const std::string dir = env.pictures.Path() + "/";
  EXPECT_EQ(ListEntries(*form), (std::vector<std::string>{"#" + dir + "sub", "@" + dir + "a.bmp", "@" + dir + "b.bmp"}));
  EXPECT_EQ(form->FileList1->currentRow(), 1);
  EXPECT_TRUE(form->PaintBox1->isEnabled());

  // A cancelled dialog changes nothing; the next dialog starts in the picture's folder.
  QTest::mouseClick(form->BtnOpen1, Qt::LeftButton);
  EXPECT_EQ(env.ui.OpenDialogs[1].InitialDir, dir);
  EXPECT_EQ(form->CurrentFileName, a);
}

TEST(FileMenu, AFileThatYieldsNoPictureKeepsTheCurrentOne) {
  FormEnv env;
  const std::string jpe = env.pictures.File("photo.jpg");
  WriteText(jpe, "not a jpeg at all");
  auto form = env.Start();
  env.ui.OpenAnswers.push_back(Chosen(jpe));
  form->Open1Click(form->Open1);
  EXPECT_EQ(form->WorkBitmap.Width(), 420);
  EXPECT_EQ(form->CurrentFileName, "");
  ASSERT_EQ(env.ui.Messages.size(), 1u);
  EXPECT_EQ(env.ui.Messages[0].Text, jpe + "\nは画像として読み込めません。");
}

TEST(FileMenu, SaveOverAsksFirst) {
  FormEnv env;
  const std::string a = MakeBmp(env.pictures.File("a.bmp"), 30, 20, clRed);
  auto form = env.Start({a});
  ASSERT_EQ(form->CurrentFileName, a);
  ASSERT_EQ(form->WorkBitmap.Width(), 30);
  form->CutRect = {0, 0, 10, 10};
  form->ExecuteCut(false);
  const auto before = ReadAll(a);

  env.ui.Answers.push_back(mrCancel);
  QTest::mouseClick(form->BtnSave1, Qt::LeftButton);
  ASSERT_EQ(env.ui.Messages.size(), 1u);
  EXPECT_EQ(env.ui.Messages[0].Text, "ﾌｧｲﾙ[ " + a + " ]に上書き保存します｡");
  EXPECT_EQ(env.ui.Messages[0].Kind, mtConfirmation);
  EXPECT_EQ(env.ui.Messages[0].Buttons, mbOKCancel);
  EXPECT_EQ(ReadAll(a), before);

  env.ui.Answers.push_back(mrOk);
  QTest::mouseClick(form->BtnSave1, Qt::LeftButton);
  TBitmap saved;
  saved.LoadFromFile(a);
  EXPECT_EQ(saved.Width(), 10);
  EXPECT_EQ(saved.PixelFormat(), pf24bit);
  // An overwriting save keeps the history.
  EXPECT_TRUE(form->CmdUnDo->isEnabled());
}

TEST(FileMenu, SaveWithoutANameIsSaveAs) {
  FormEnv env;
  auto form = env.Start();
  const std::string target = env.pictures.File("start.bmp");
  env.ui.SaveAnswers.push_back(Chosen(target));
  form->Save1Click(form->Save1);
  ASSERT_EQ(env.ui.SaveDialogs.size(), 1u);
  EXPECT_TRUE(env.ui.Messages.empty());
  EXPECT_EQ(form->CurrentFileName, target);
  TBitmap saved;
  saved.LoadFromFile(target);
  EXPECT_EQ(saved.Width(), 420);
}

TEST(FileMenu, SaveAsPreselectsTheFilterAndOffersTheNameWithoutExtension) {
  FormEnv env;
  const std::string jpg = env.pictures.File("a.jpg");
  MakeBmp(env.pictures.File("seed.bmp"), 40, 30, clLime);
  auto form = env.Start({env.pictures.File("seed.bmp")});
  SavePicture(form->WorkBitmap, form->Info, jpg);
  env.ui.OpenAnswers.push_back(Chosen(jpg));
  form->Open1Click(form->Open1);
  ASSERT_EQ(form->CurrentFileName, jpg);
  form->CutRect = {0, 0, 20, 20};
  form->ExecuteCut(false);

  const std::string saved = env.pictures.File("b.bmp");
  env.ui.SaveAnswers.push_back(Chosen(saved));
  form->SaveAs1Click(form->SaveAs1);
  ASSERT_EQ(env.ui.SaveDialogs.size(), 1u);
  EXPECT_EQ(env.ui.SaveDialogs[0].FilterIndex, 2);
  EXPECT_EQ(env.ui.SaveDialogs[0].FileName, env.pictures.File("a"));
  EXPECT_EQ(env.ui.SaveDialogs[0].Filter,
            "ビットマップ (*.bmp)|*.bmp|ＪＰＥＧﾌｧｲﾙ(*.jpg)|*.jpg;*.jpeg|GIFﾌｧｲﾙ(*.gif)|*.gif");
  EXPECT_EQ(form->CurrentFileName, saved);
  EXPECT_EQ(form->windowTitle().toStdString(), kPrefix + saved);
  EXPECT_FALSE(form->CmdUnDo->isEnabled());  // the history starts again from the saved picture
  EXPECT_EQ(form->FileList1->currentItem()->text().toStdString(), "@" + saved);
}

TEST(FileMenu, ReadOnlyTargetIsRefused) {
  FormEnv env;
  const std::string a = MakeBmp(env.pictures.File("a.bmp"), 30, 20, clRed);
  auto form = env.Start({a});
  form->CutRect = {0, 0, 10, 10};
  form->ExecuteCut(false);
  // A folder that does not let this process write makes the file read-only for it, also for root.
  chmod(a.c_str(), 0444);
  const bool refused = files::IsReadOnly(a);
  form->Save1Click(form->Save1);
  if (refused) {
    ASSERT_EQ(env.ui.Messages.size(), 1u);
    EXPECT_EQ(env.ui.Messages[0].Text, "  " + a + " は読み出し専用ファイルです．");
    EXPECT_EQ(env.ui.Messages[0].Buttons, mbAbort);
    EXPECT_EQ(env.ui.Beeps, 1);
    TBitmap still;
    still.LoadFromFile(a);
    EXPECT_EQ(still.Width(), 30);
  } else {
    // Running as root: the file is writable, so the save goes through the overwrite question.
    ASSERT_EQ(env.ui.Messages.size(), 1u);
    EXPECT_EQ(env.ui.Messages[0].Text, "ﾌｧｲﾙ[ " + a + " ]に上書き保存します｡");
  }
}

TEST(FileMenu, DropFromAnotherFolder) {
  FormEnv env;
  TempDir other;
  const std::string home = MakeBmp(env.pictures.File("home.bmp"), 8, 8, clRed);
  std::vector<std::string> three;
  for (const char* n : {"x.bmp", "y.bmp", "z.bmp"}) three.push_back(MakeBmp(other.File(n), 12, 9, clBlue));
  const std::string dir = env.pictures.Path() + "/";

  {
    auto form = env.Start({home});
    env.ui.Answers.push_back(mrNo);
    Drop(*form, {three[0]});
    ASSERT_EQ(env.ui.Messages.size(), 1u);
    EXPECT_EQ(env.ui.Messages[0].Text, "フォルダーを切り替えますか？");
    EXPECT_EQ(env.ui.Messages[0].Buttons, mbYesNo);
    EXPECT_EQ(form->WorkBitmap.Width(), 12);
    EXPECT_EQ(form->CurrentFileName, dir + "x.bmp");
    EXPECT_EQ(ListEntries(*form), std::vector<std::string>{"@" + dir + "home.bmp"});
  }
  {
    env.ui.Messages.clear();
    auto form = env.Start({home});
    env.ui.Answers.push_back(mrYes);
    Drop(*form, three);
    EXPECT_EQ(env.ui.Messages.size(), 1u);
    EXPECT_EQ(form->CurrentFileName, three[2]);
    EXPECT_EQ(VisibleReopen(*form), (std::vector<std::string>{three[2], three[1], three[0]}));
    EXPECT_EQ(ListEntries(*form).size(), 3u);
  }
  {
    env.ui.Messages.clear();
    auto form = env.Start({home});
    env.ui.Answers = {mrNo, mrNo, mrNo};
    Drop(*form, three);
    EXPECT_EQ(env.ui.Messages.size(), 3u);
    EXPECT_EQ(form->CurrentFileName, dir + "z.bmp");
  }
}

TEST(FileMenu, ReopenListOrderChoosingAndClearing) {
  FormEnv env;
  const std::string a = MakeBmp(env.pictures.File("A.bmp"), 4, 4, clRed);
  const std::string b = MakeBmp(env.pictures.File("B.bmp"), 5, 5, clRed);
  const std::string c = MakeBmp(env.pictures.File("C.bmp"), 6, 6, clRed);
  files::CreateDir(env.dataHome.Path() + "/TARNLIB");
  files::CreateDir(env.DataFolderFor("kestrelframe"));
  WriteText(env.SettingsFor("kestrelframe"), "[REOPEN]\nFILE0=" + a + "\nFILE1=" + b + "\nFILE2=" + c + "\n");
  auto form = env.Start();
  EXPECT_EQ(VisibleReopen(*form), (std::vector<std::string>{a, b, c}));
  env.ui.OpenAnswers.push_back(Chosen(c));
  form->Open1Click(form->Open1);
  EXPECT_EQ(VisibleReopen(*form), (std::vector<std::string>{c, a, b}));

  // Choosing B: the picture left goes to the head; B keeps its place until the next rebuild.
  form->ReopenItems[2]->trigger();
  EXPECT_EQ(form->CurrentFileName, b);
  EXPECT_EQ(form->WorkBitmap.Width(), 5);
  EXPECT_EQ(VisibleReopen(*form), (std::vector<std::string>{c, a, b}));

  form->fmenuC->trigger();
  EXPECT_EQ(VisibleReopen(*form), std::vector<std::string>{"なし"});
  EXPECT_TRUE(form->ReopenItems[0]->isEnabled());
  EXPECT_FALSE(form->fmenuC->isVisible());
  form->ReopenItems[0]->trigger();  // does nothing
  EXPECT_EQ(form->CurrentFileName, b);

  form->CurrentFileName = "";
  form->close();
  const std::string ini = ReadText(env.SettingsFor("kestrelframe"));
  std::string expected = "[REOPEN]\nFILE0=なし\n";
  for (int i = 1; i < 10; ++i) expected += "FILE" + std::to_string(i) + "=::\n";
  EXPECT_NE(ini.find(expected), std::string::npos) << ini;
}

TEST(FileMenu, PrintFitsThePictureIntoThePageAtItsTopLeft) {
  struct Case {
    int w, h;
  } cases[] = {{200, 100}, {100, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    FormEnv env;
    auto form = env.Start();
    ShowPlainPicture(*form, c.w, c.h, clBlack);
    const std::string pdf = env.pictures.File("page.pdf");
    form->Printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    form->Printer->setOutputFormat(QPrinter::PdfFormat);
    form->Printer->setOutputFileName(QString::fromStdString(pdf));
    form->Printer->setResolution(96);
    form->Printer->setPageMargins(QMarginsF(10, 20, 10, 10), QPageLayout::Millimeter);
    const QRect page = form->Printer->pageRect(QPrinter::DevicePixel).toRect();
    const QRect paper = form->Printer->paperRect(QPrinter::DevicePixel).toRect();

    form->Print1Click(form->Print1);  // the dialog is cancelled: nothing printed
    EXPECT_FALSE(files::FileExists(pdf));
    env.ui.PrintAnswers.push_back(true);
    form->Print1Click(form->Print1);
    ASSERT_TRUE(files::FileExists(pdf));

    int status = 0;
    RunCommand("pdftoppm -r 96 -png -singlefile '" + pdf + "' '" + env.pictures.File("page") + "'", &status);
    ASSERT_EQ(status, 0);
    QImage img(QString::fromStdString(env.pictures.File("page.png")));
    ASSERT_FALSE(img.isNull());
    ASSERT_NEAR(img.width(), paper.width(), 1);
    QRect ink;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (qGray(img.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    const int PW = page.width(), PH = page.height();
    const int expectW = c.h * PW < c.w * PH ? PW : c.w * PH / c.h;
    const int expectH = c.h * PW < c.w * PH ? c.h * PW / c.w : PH;
    EXPECT_NEAR(ink.left(), page.left(), 1);
    EXPECT_NEAR(ink.top(), page.top(), 1);
    EXPECT_NEAR(ink.width(), expectW, 2);
    EXPECT_NEAR(ink.height(), expectH, 2);
  }
}

TEST(FileMenu, EndToEndCameraPhotoCutTo640x480AndSavedAsJpeg) {
  FormEnv env;
  const std::string photo = SharedTestData("exif/hdr/canon_hdr_NO.jpg");
  auto form = env.Start();
  env.ui.OpenAnswers.push_back(Chosen(photo));
  form->Open1Click(form->Open1);
  ASSERT_EQ(form->WorkBitmap.Width(), 2048);
  EXPECT_STREQ(form->Info.ShotDate, "2015:02:09 22:47:44");

  // Ratio 4:3 and output 640 × 480 through the dialog, a frame drawn with the mouse, Enter.
  auto answer = [&](const char* w, const char* h) {
    env.ui.Modals.push_back([=](QDialog& d) {
      auto& cut = static_cast<TFormCut&>(d);
      cut.EditW->setText(w);
      cut.EditH->setText(h);
      QTest::mouseClick(cut.BitBtnOK, Qt::LeftButton);
      return d.result();
    });
  };
  answer("4", "3");
  QTest::mouseClick(form->BtnSrcCutSize, Qt::LeftButton);
  answer("640", "480");
  QTest::mouseClick(form->BtnDstCutSize, Qt::LeftButton);
  const TRect v = form->ViewRect;
  QTest::mousePress(form->PaintBox1, Qt::LeftButton, {}, QPoint(v.Left + 40, v.Top + 30));
  QMouseEvent move(QEvent::MouseMove, QPointF(v.Left + 400, v.Top + 330), QPointF(), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(form->PaintBox1, &move);
  QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, {}, QPoint(v.Left + 400, v.Top + 330));
  const TRect frame = form->CutRect;
  EXPECT_NEAR(double(frame.Right - frame.Left) / (frame.Bottom - frame.Top), 4.0 / 3.0, 0.02);
  QTest::keyClick(form.get(), Qt::Key_Return);
  ASSERT_EQ(form->WorkBitmap.Width(), 640);
  ASSERT_EQ(form->WorkBitmap.Height(), 480);

  const std::string out = env.pictures.File("cut.jpg");
  env.ui.SaveAnswers.push_back(Chosen(out, 2));
  form->SaveAs1Click(form->SaveAs1);
  ASSERT_TRUE(files::FileExists(out));

  int status = 0;
  const std::string tags = RunCommand(
      "exiftool -s -s -s -DateTimeOriginal -Model -ExifImageWidth -ExifImageHeight '" + out + "'", &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(tags, "2015:02:09 22:47:44\n*Canon PowerShot SX\n640\n480\n");  // the mark keeps 19 characters
  const std::string size = RunCommand("djpeg -pnm '" + out + "' | head -c 20 | sed -n 2p", &status);
  EXPECT_EQ(size, "640 480\n");
}
