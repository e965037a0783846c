// TGIFImage against three GIF test suites' expected frames, damaged files, and writing read back
// by ImageMagick.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "PictureHelpers.h"
#include "platform/GifImage.h"
#include "support/TestFiles.h"

namespace {

// An expected frame with transparency: alpha 0 means "the background shows here".
struct RgbaPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgba;
};

RgbaPicture FromQImage(const QImage& image) {
  const QImage img = image.convertToFormat(QImage::Format_RGBA8888);
  RgbaPicture p{img.width(), img.height(), {}};
  for (int y = 0; y < img.height(); ++y) p.Rgba.insert(p.Rgba.end(), img.constScanLine(y), img.constScanLine(y) + img.width() * 4);
  return p;
}

// Compares the decoded frame with the expected one; transparent pixels must show `background`.
void ExpectFrame(const TBitmap& bmp, const RgbaPicture& want, TColor background) {
  ASSERT_EQ(bmp.Width(), want.Width);
  ASSERT_EQ(bmp.Height(), want.Height);
  int failures = 0;
  for (int y = 0; y < want.Height; ++y)
    for (int x = 0; x < want.Width; ++x) {
      const uint8_t* w = &want.Rgba[(std::size_t(y) * want.Width + x) * 4];
      const TColor expected = w[3] == 0 ? background : RGB(w[0], w[1], w[2]);
      const TColor got = PixelAt(bmp, x, y);
      if (got != expected && failures++ < 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): got 0x" << std::hex << got << ", expected 0x" << expected;
    }
}

std::map<std::string, std::string> ReadConf(const std::string& file) {
  std::map<std::string, std::string> conf;
  std::istringstream in(ReadText(file));
  std::string line, section;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find(" = ");
    if (eq != std::string::npos) conf[section + "." + line.substr(0, eq)] = line.substr(eq + 3);
  }
  return conf;
}

TColor ParseHexColour(const std::string& s) {
  const unsigned v = unsigned(std::stoul(s.substr(1), nullptr, 16));
  return RGB(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
}

// The suite's first frame is several images drawn until the first delay; ours is the first image.
const std::set<std::string> kCombinedFrames = {"images-combine", "images-overlap", "high-color",
                                               "dispose-restore-previous"};
// Broken beyond what giflib reads (an LZW code size over 8, a colour table cut off): an error.
const std::set<std::string> kRefusedByGiflib = {"max-codes", "image-zero-height", "image-zero-width",
                                                "image-zero-size"};

TEST(GifDecode, PygifSuiteFirstFrames) {
  const std::string dir = SharedTestData("gif/pygif-test-suite/");
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".conf") continue;
    const auto conf = ReadConf(entry.path());
    const std::string name = entry.path().stem();
    SCOPED_TRACE(name);
    const int w = std::stoi(conf.at("config.width")), h = std::stoi(conf.at("config.height"));
    const std::string frames = conf.count("config.frames") ? conf.at("config.frames") : "";
    TGIFImage gif;
    TBitmap bmp;
    if (frames.empty() || int64_t(w) * h > TBitmap::kMaxPixels || w == 0 || h == 0 || kRefusedByGiflib.count(name)) {
      // Files that decoders reject or that hold no picture: an error or a picture, never a crash.
      try {
        gif.LoadFromFile(dir + conf.at("config.input"));
        gif.AssignTo(bmp);
        EXPECT_EQ(bmp.Width(), w);
      } catch (const std::runtime_error&) {
      }
      continue;
    }
    const std::string first = frames.substr(0, frames.find(','));
    RgbaPicture want;
    if (conf.count(first + ".pixels")) {
      want = {w, h, ReadAll(dir + conf.at(first + ".pixels"))};
      ASSERT_EQ(want.Rgba.size(), std::size_t(w) * h * 4);
    } else {
      QImage img;
      ASSERT_TRUE(img.load(QString::fromStdString(dir + conf.at(first + ".image"))));
      want = FromQImage(img);
    }
    try {
      gif.LoadFromFile(dir + conf.at("config.input"));
      gif.AssignTo(bmp);
    } catch (const std::runtime_error& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    EXPECT_EQ(gif.Width(), w);
    EXPECT_EQ(gif.Height(), h);
    if (kCombinedFrames.count(name)) continue;
    const TColor background = conf.count("config.background") ? ParseHexColour(conf.at("config.background")) : clWhite;
    ExpectFrame(bmp, want, background);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST(GifDecode, PeterdnSuiteFirstFrames) {
  const std::string dir = SharedTestData("gif/peterdn-gif-test-suite/gifs/");
  struct Case {
    const char* name;
    TColor background;  // the screen's background colour, seen through transparent pixels
  };
  const Case cases[] = {{"static_nontransparent", clWhite},
                        {"static_transparent", RGB(0x8F, 0xBC, 0x8F)},
                        {"animated_loop_interlaced", clWhite},
                        {"animated_loop", clWhite},
                        {"animated_transparent_frame_norestore_loop", RGB(0x8F, 0xBC, 0x8F)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGIFImage gif;
    gif.LoadFromFile(dir + c.name + ".gif");
    TBitmap bmp;
    gif.AssignTo(bmp, pf32bit);
    QImage img;
    const std::string still = dir + "frames/" + c.name + ".png", first = dir + "frames/" + c.name + "-0.png";
    ASSERT_TRUE(img.load(QString::fromStdString(std::filesystem::exists(still) ? still : first)));
    ExpectFrame(bmp, FromQImage(img), c.background);
  }
}

TEST(GifDecode, GiflibPicturesMatchGif2rgbDumps) {
  for (const char* name : {"gifgrid", "porsche", "solid2", "treescap", "treescap-interlaced"}) {
    SCOPED_TRACE(name);
    TGIFImage gif;
    gif.LoadFromFile(SharedTestData(std::string("gif/giflib/pic/") + name + ".gif"));
    TBitmap bmp;
    gif.AssignTo(bmp);
    RgbPicture want{bmp.Width(), bmp.Height(), ReadAll(SharedTestData(std::string("gif/giflib/tests/") + name + ".rgb"))};
    ASSERT_EQ(want.Rgb.size(), std::size_t(bmp.Width()) * bmp.Height() * 3);
    const Difference d = Compare(bmp, want);
    EXPECT_EQ(d.Max, 0) << Describe(d);
  }
}

TEST(GifDecode, FrameAtOffsetOnBackgroundAndTransparency) {
  // A 4 x 3 screen, background index 1 (blue); a 2 x 2 frame at (1, 1) whose index 3 is transparent.
  const std::vector<uint8_t> file = {
      'G', 'I', 'F', '8', '9', 'a',  // signature
      4, 0, 3, 0,                    // screen 4 x 3
      0x81,                          // global table of 4 colours
      1,                             // background index
      0,                             // aspect
      0, 0, 0,                       // 0 black
      0, 0, 255,                     // 1 blue
      255, 0, 0,                     // 2 red
      0, 255, 0,                     // 3 green (transparent below)
      0x21, 0xF9, 4, 0x01, 0, 0, 3, 0,  // graphic control: transparent index 3
      0x2C, 1, 0, 1, 0, 2, 0, 2, 0, 0,  // frame at (1, 1), 2 x 2, no local table
      2,                                // LZW minimum code size
      // 3-bit codes, a clear (4) before each pixel keeps the table empty: 4 2 4 3 4 3 4 2 5 (end)
      4, 0x14, 0xC7, 0x51, 0x05,
      0,                                // end of data
      0x3B,                             // trailer
  };
  TGIFImage gif;
  gif.LoadFromMemory(file.data(), file.size());
  TBitmap bmp;
  gif.AssignTo(bmp, pf32bit);
  const TColor blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
  const TColor want[3][4] = {{blue, blue, blue, blue}, {blue, red, blue, blue}, {blue, blue, red, blue}};
  ASSERT_EQ(bmp.Width(), 4);
  ASSERT_EQ(bmp.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(bmp, x, y), want[y][x]) << x << "," << y;
}

TEST(GifDecode, DamagedFilesGiveErrors) {
  const auto good = ReadAll(SharedTestData("gif/giflib/pic/porsche.gif"));
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"not a GIF", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}},
      {"screen only", std::vector<uint8_t>(good.begin(), good.begin() + 13)},
      {"cut in the pixels", std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGIFImage gif;
    TBitmap bmp;
    try {
      gif.LoadFromMemory(c.bytes.data(), c.bytes.size());
      gif.AssignTo(bmp);
      FAIL() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("GIF: ", 0), 0u) << e.what();
    }
  }
}

TEST(GifEncode, WebPaletteNearestLevel) {
  struct Case {
    uint8_t v, level;
  };
  // Level boundaries lie at 25/26, 76/77, 127/128, 178/179, 229/230.
  const Case cases[] = {{0, 0},   {25, 0},   {26, 1},   {76, 1},   {77, 2},   {127, 2},
                        {128, 3}, {178, 3},  {179, 4},  {229, 4},  {230, 5},  {255, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(WebPaletteIndex(c.v, 0, 0), c.level * 36) << int(c.v);
    EXPECT_EQ(WebPaletteIndex(0, c.v, 0), c.level * 6) << int(c.v);
    EXPECT_EQ(WebPaletteIndex(0, 0, c.v), c.level) << int(c.v);
  }
}

TEST(GifEncode, Gif89aOnTheWebPaletteReadBack) {
  TempDir dir;
  const std::string file = dir.File("web.gif");
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    SCOPED_TRACE(format == pf24bit ? "24-bit" : "32-bit");
    TBitmap bmp;
    Paint(bmp, 37, 23, format, [](int x, int y) { return RGB(uint8_t(x * 7), uint8_t(y * 11), uint8_t(x * y)); });
    TGIFImage gif;
    gif.Assign(bmp);
    gif.SaveToFile(file);
    const auto bytes = ReadAll(file);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");

    auto level = [](uint8_t v) { return uint8_t((v + 25) / 51 * 51); };
    RgbPicture want{37, 23, {}};
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) {
        const TColor c = PixelAt(bmp, x, y);
        want.Rgb.insert(want.Rgb.end(), {level(GetRValue(c)), level(GetGValue(c)), level(GetBValue(c))});
      }
    TGIFImage back;
    back.LoadFromFile(file);
    TBitmap decoded;
    back.AssignTo(decoded, pf32bit);
    Difference d = Compare(decoded, want);
    EXPECT_EQ(d.Max, 0) << "ours: " << Describe(d);
    d = Compare(decoded, DecodeWithTool("convert " + Quote(file) + "[0] ppm:-"));
    EXPECT_EQ(d.Max, 0) << "ImageMagick: " << Describe(d);
    EXPECT_NE(RunCommand("identify -format %[magick] " + Quote(file)).find("GIF"), std::string::npos);
  }
}

TEST(GifEncode, RefusesWhatGifCannotHold) {
  TBitmap empty, wide;
  Paint(wide, 65536, 1, pf24bit, [](int, int) { return clWhite; });
  TGIFImage gif;
  EXPECT_THROW(gif.Assign(empty), std::runtime_error);
  EXPECT_THROW(gif.Assign(wide), std::runtime_error);
}

}  // namespace
