#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

#include "platform/BmpCodec.h"
#include "platform/Canvas.h"
#include "support/TestFiles.h"

namespace {

// A pattern that differs in every channel, row and column, X included.
void FillPattern(TBitmap& bmp, int seed) {
  for (int y = 0; y < bmp.Height(); ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += bmp.BytesPerPixel()) {
      p[kB] = uint8_t(x * 7 + y * 3 + seed);
      p[kG] = uint8_t(x * 5 + y * 11 + 2 * seed);
      p[kR] = uint8_t(x * 13 + y + 3 * seed);
      if (bmp.BytesPerPixel() == 4) p[kX] = uint8_t(x + y * 17 + 5 * seed);
    }
  }
}

std::string Hex(const uint8_t* p, int n) {
  std::ostringstream s;
  s << std::hex;
  for (int i = 0; i < n; ++i) s << (i ? " " : "") << int(p[i]);
  return s.str();
}

// Empty when every byte of every pixel (X too, for 32 bits) agrees; else the first difference.
std::string FirstDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
    return "size or format differs";
  const int bpp = a.BytesPerPixel();
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const uint8_t* p = a.ScanLine(y) + x * bpp;
      const uint8_t* q = b.ScanLine(y) + x * bpp;
      if (std::memcmp(p, q, bpp) != 0)
        return "(" + std::to_string(x) + ", " + std::to_string(y) + "): " + Hex(p, bpp) + " vs " + Hex(q, bpp);
    }
  return {};
}

// Empty when the bitmap's B, G, R equal the picture's colour channels at every pixel the
// picture does not leave fully transparent.
std::string FirstDifference(const TBitmap& bmp, const QImage& picture) {
  const QImage ref = picture.convertToFormat(QImage::Format_ARGB32);
  if (ref.width() != bmp.Width() || ref.height() != bmp.Height())
    return "size " + std::to_string(bmp.Width()) + " x " + std::to_string(bmp.Height()) + " vs " +
           std::to_string(ref.width()) + " x " + std::to_string(ref.height());
  for (int y = 0; y < ref.height(); ++y)
    for (int x = 0; x < ref.width(); ++x) {
      const uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
      const QRgb c = ref.pixel(x, y);
      if (qAlpha(c) == 0) continue;
      if (p[kR] != qRed(c) || p[kG] != qGreen(c) || p[kB] != qBlue(c)) {
        std::ostringstream s;
        s << "(" << x << ", " << y << "): RGB " << int(p[kR]) << "," << int(p[kG]) << "," << int(p[kB])
          << " vs reference " << qRed(c) << "," << qGreen(c) << "," << qBlue(c);
        return s.str();
      }
    }
  return {};
}

std::string ErrorOf(const std::vector<uint8_t>& file) {
  TBitmap bmp;
  try {
    DecodeBmp(file.data(), file.size(), bmp);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return {};
}

QImage Reference(const std::string& name) {
  QImage img(QString::fromStdString(SharedTestData("bmp/ref/" + name)));
  EXPECT_FALSE(img.isNull()) << name;
  return img;
}

void Put32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

}  // namespace

TEST(BmpWrite, RoundTripKeepsEveryByteForOddWidths) {
  for (TPixelFormat format : {pf24bit, pf32bit})
    for (int w : {1, 2, 3, 4, 5, 35})
      for (int h : {1, 2, 39}) {
        SCOPED_TRACE((format == pf24bit ? "24-bit " : "32-bit ") + std::to_string(w) + " x " + std::to_string(h));
        TBitmap bmp;
        bmp.SetPixelFormat(format);
        bmp.SetSize(w, h);
        FillPattern(bmp, w + h);
        const std::vector<uint8_t> file = EncodeBmp(bmp);
        const int bpp = format == pf32bit ? 4 : 3;
        const std::size_t stride = (std::size_t(w) * bpp + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * h);
        EXPECT_EQ(file[28], bpp * 8);  // bit count
        // Bottom-up: the last row of the picture is stored first; padding is zero.
        EXPECT_EQ(0, std::memcmp(file.data() + 54, bmp.ScanLine(h - 1), std::size_t(w) * bpp));
        for (std::size_t i = std::size_t(w) * bpp; i < stride; ++i) EXPECT_EQ(file[54 + i], 0) << "padding byte " << i;

        TBitmap back;
        DecodeBmp(file.data(), file.size(), back);
        EXPECT_EQ(FirstDifference(back, bmp), "");

        // Qt's own reader sees the same colours.
        const QImage qt = QImage::fromData(file.data(), int(file.size()), "BMP");
        ASSERT_FALSE(qt.isNull());
        EXPECT_EQ(FirstDifference(bmp, qt), "");
      }
}

// An empty working image goes through the history files like any other.
TEST(BmpWrite, EmptyBitmapRoundTrip) {
  for (TPixelFormat format : {pf24bit, pf32bit})
    for (int w : {0, 3}) {
      TBitmap bmp;
      bmp.SetPixelFormat(format);
      bmp.SetSize(w, 3 - w);
      const std::vector<uint8_t> file = EncodeBmp(bmp);
      EXPECT_EQ(file.size(), 54u);
      TBitmap back;
      back.SetSize(2, 2);
      DecodeBmp(file.data(), file.size(), back);
      EXPECT_EQ(back.Width(), 0);
      EXPECT_EQ(back.Height(), 0);
      EXPECT_EQ(back.PixelFormat(), format);
    }
}

TEST(BmpFile, SaveAndLoadThroughFiles) {
  TempDir dir;
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(35, 3);
  FillPattern(bmp, 9);
  bmp.SaveToFile(dir.File("a.bmp"));
  TBitmap back;
  back.LoadFromFile(dir.File("a.bmp"));
  EXPECT_EQ(FirstDifference(back, bmp), "");
  // ImageMagick reads the file as a 35 x 3 picture.
  int status = -1;
  const std::string size = RunCommand("identify -format '%wx%h' '" + dir.File("a.bmp") + "' 2>/dev/null", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(size, "35x3");
}

TEST(BmpFile, FailedLoadLeavesTheBitmapUnchanged) {
  TempDir dir;
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 2);
  FillPattern(bmp, 1);
  TBitmap before;
  before.Assign(bmp);
  std::vector<uint8_t> cut = ReadAll(SharedTestData("bmp/g/rgb32.bmp"));
  cut.resize(cut.size() - 1);
  WriteAll(dir.File("cut.bmp"), cut);
  for (const std::string& name : {dir.File("cut.bmp"), dir.File("missing.bmp"), dir.Path()}) {
    SCOPED_TRACE(name);
    try {
      bmp.LoadFromFile(name);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_EQ(FirstDifference(bmp, before), "");
  }
}

TEST(BmpFile, SaveFailureThrowsAndKeepsTheOldFile) {
  TempDir dir;
  TBitmap bmp;
  bmp.SetSize(2, 2);
  EXPECT_THROW(bmp.SaveToFile(dir.File("no/such/folder/a.bmp")), std::runtime_error);

  bmp.SaveToFile(dir.File("a.bmp"));
  const std::vector<uint8_t> old = ReadAll(dir.File("a.bmp"));
  // A folder the file cannot be replaced in (also for root: the target is a folder).
  std::filesystem::create_directory(dir.File("b.bmp"));
  try {
    bmp.SaveToFile(dir.File("b.bmp"));
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("b.bmp"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("b.bmp")));
  EXPECT_EQ(ReadAll(dir.File("a.bmp")), old);
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
    EXPECT_TRUE(e.path().filename() == "a.bmp" || e.path().filename() == "b.bmp") << e.path();
  }
  EXPECT_EQ(entries, 2);
}

TEST(BmpRead, ThirtyTwoBitFileKeepsTheFourthByte) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(1, 1);
  bmp.ScanLine(0)[kX] = 0xA5;
  const std::vector<uint8_t> file = EncodeBmp(bmp);
  EXPECT_EQ(file[54 + kX], 0xA5);
  TBitmap back;
  DecodeBmp(file.data(), file.size(), back);
  EXPECT_EQ(back.PixelFormat(), pf32bit);
  EXPECT_EQ(back.ScanLine(0)[kX], 0xA5);
}

// What each file of a suite folder must give: an error (ref nullptr), a picture matching the
// rendering ref, or ("") a picture of the suite's usual 127 × 64 without a rendering to compare.
// Every file of the folder must be listed.
struct SuiteCase {
  const char* file;
  const char* ref;
  TPixelFormat format = pf24bit;  // checked for the files of the good folder
};

template <std::size_t N>
void CheckSuiteFolder(const char* folder, const SuiteCase (&cases)[N], bool checkFormat) {
  std::size_t seen = 0;
  for (const auto& e : std::filesystem::directory_iterator(SharedTestData(folder))) {
    const std::string name = e.path().filename().string();
    SCOPED_TRACE(name);
    const SuiteCase* c = nullptr;
    for (const SuiteCase& k : cases)
      if (name == k.file) c = &k;
    ASSERT_NE(c, nullptr) << "not listed";
    ++seen;
    TBitmap bmp;
    if (!c->ref) {
      EXPECT_THROW(bmp.LoadFromFile(e.path().string()), std::runtime_error);
      continue;
    }
    ASSERT_NO_THROW(bmp.LoadFromFile(e.path().string()));
    if (checkFormat) {
      EXPECT_EQ(bmp.PixelFormat(), c->format);
    }
    if (*c->ref) {
      EXPECT_EQ(FirstDifference(bmp, Reference(c->ref)), "");
    } else {
      EXPECT_EQ(bmp.Width() * 1000 + bmp.Height(), 127 * 1000 + 64);
    }
  }
  EXPECT_EQ(seen, N);
}

// The suite's good files, each with the rendering it must give.
TEST(BmpSuite, GoodFilesMatchTheirReferences) {
  const SuiteCase cases[] = {
      {"pal1.bmp", "pal1.png", pf24bit},
      {"pal1bg.bmp", "pal1bg.png", pf24bit},
      {"pal1wb.bmp", "pal1.png", pf24bit},  // palette stored white first
      {"pal4.bmp", "pal4.png", pf24bit},
      {"pal4gs.bmp", "pal4gs.png", pf24bit},
      {"pal4rle.bmp", "pal4.png", pf24bit},
      {"pal8-0.bmp", "pal8.png", pf24bit},  // colours-used 0: full palette
      {"pal8.bmp", "pal8.png", pf24bit},
      {"pal8gs.bmp", "pal8gs.png", pf24bit},
      {"pal8nonsquare.bmp", "pal8nonsquare-e.png", pf24bit},
      {"pal8os2.bmp", "pal8.png", pf24bit},  // 12-byte core header, 3-byte palette
      {"pal8rle.bmp", "pal8.png", pf24bit},
      {"pal8topdown.bmp", "pal8.png", pf24bit},
      {"pal8v4.bmp", "pal8.png", pf24bit},
      {"pal8v5.bmp", "pal8.png", pf24bit},
      {"pal8w124.bmp", "pal8w124.png", pf24bit},
      {"pal8w125.bmp", "pal8w125.png", pf24bit},
      {"pal8w126.bmp", "pal8w126.png", pf24bit},
      {"rgb16-565.bmp", "rgb16-565.png", pf24bit},
      {"rgb16-565pal.bmp", "rgb16-565.png", pf24bit},
      {"rgb16.bmp", "rgb16.png", pf24bit},  // default 5-5-5
      {"rgb16bfdef.bmp", "rgb16.png", pf24bit},
      {"rgb24.bmp", "rgb24.png", pf24bit},
      {"rgb24pal.bmp", "rgb24.png", pf24bit},
      {"rgb32.bmp", "rgb24.png", pf32bit},
      {"rgb32bf.bmp", "rgb24.png", pf32bit},
      {"rgb32bfdef.bmp", "rgb24.png", pf32bit},
  };
  CheckSuiteFolder("bmp/g/", cases, true);
}

// Questionable files: the ones read are checked against their rendering; the others must give
// an error. Pixels an RLE stream leaves unset take palette entry 0 (the "-0" renderings).
TEST(BmpSuite, QuestionableFilesReadCorrectlyOrFailCleanly) {
  const SuiteCase cases[] = {
      {"pal1huffmsb.bmp", nullptr},  // Huffman 1D compression
      {"pal1p1.bmp", "pal1p1.png"},
      {"pal2.bmp", "pal2.png"},
      {"pal2color.bmp", "pal2color.png"},
      {"pal4rlecut.bmp", "pal4rlecut-0.png"},
      {"pal4rletrns.bmp", "pal4rletrns-0.png"},
      {"pal8offs.bmp", "pal8.png"},
      {"pal8os2-hs.bmp", "pal8.png"},
      {"pal8os2-sz.bmp", "pal8.png"},
      {"pal8os2sp.bmp", "pal8.png"},
      {"pal8os2v2-16.bmp", "pal8.png"},
      {"pal8os2v2-40sz.bmp", "pal8.png"},
      {"pal8os2v2-sz.bmp", "pal8.png"},
      {"pal8os2v2.bmp", "pal8.png"},
      {"pal8oversizepal.bmp", "pal8.png"},
      {"pal8rlecut.bmp", "pal8rlecut-0.png"},
      {"pal8rletrns.bmp", "pal8rletrns-0.png"},
      {"rgb16-231.bmp", "rgb16-231.png"},
      {"rgb16-3103.bmp", "rgb16-3103.png"},
      {"rgb16faketrns.bmp", "rgb16faketrns.png"},
      {"rgb24jpeg.bmp", nullptr},  // embedded JPEG
      {"rgb24largepal.bmp", "rgb24.png"},
      {"rgb24lprof.bmp", "rgb24.png"},
      {"rgb24png.bmp", nullptr},  // embedded PNG
      {"rgb24prof.bmp", "rgb24.png"},
      {"rgb24prof2.bmp", ""},  // its colour profile is not applied: colours as stored
      {"rgb24rle24.bmp", ""},  // dithered to few colours: no rendering of its own (see Rle24Stream)
      {"rgb32-111110.bmp", ""},
      {"rgb32-7187.bmp", "rgb32-7187.png"},
      {"rgb32-xbgr.bmp", "rgb24.png"},
      {"rgb32fakealpha.bmp", "rgb24.png"},
      {"rgb32h52.bmp", "rgb24.png"},
      {"rgba16-1924.bmp", "rgba16-1924.png"},
      {"rgba16-4444.bmp", "rgba16-4444.png"},
      {"rgba16-5551.bmp", "rgba16-5551.png"},
      {"rgba32-1.bmp", "rgba32.png"},
      {"rgba32-1010102.bmp", "rgba32-1010102.png"},
      {"rgba32-2.bmp", "rgba32.png"},
      {"rgba32-61754.bmp", "rgba32-61754.png"},
      {"rgba32-81284.bmp", "rgba32-81284.png"},
      {"rgba32abf.bmp", "rgba32.png"},
      {"rgba32h56.bmp", "rgba32.png"},
      {"rgba64.bmp", nullptr},  // 64 bits per pixel
  };
  CheckSuiteFolder("bmp/q/", cases, false);
}

// Bad files give an error. Read anyway: files whose only fault is a field a reader does not need
// (file size, density, bitmap data size of an uncompressed picture) and the 8-8-0 bit fields,
// which are well defined (no blue) and have a rendering.
TEST(BmpSuite, BadFilesGiveErrors) {
  const SuiteCase cases[] = {
      {"badbitcount.bmp", nullptr},
      {"badbitssize.bmp", "pal1.png"},
      {"baddens1.bmp", "pal1.png"},
      {"baddens2.bmp", "pal1.png"},
      {"badfilesize.bmp", "pal1.png"},
      {"badheadersize.bmp", nullptr},
      {"badpalettesize.bmp", nullptr},
      {"badplanes.bmp", nullptr},
      {"badrle.bmp", nullptr},
      {"badrle4.bmp", nullptr},
      {"badrle4bis.bmp", nullptr},
      {"badrle4ter.bmp", nullptr},
      {"badrlebis.bmp", nullptr},
      {"badrleter.bmp", nullptr},
      {"badwidth.bmp", nullptr},
      {"pal8badindex.bmp", nullptr},
      {"reallybig.bmp", nullptr},
      {"rgb16-880.bmp", "rgb16-880.png"},
      {"rletopdown.bmp", nullptr},
      {"shortfile.bmp", nullptr},
  };
  CheckSuiteFolder("bmp/b/", cases, false);
}

TEST(BmpSuite, OsTwoBitmapArrayIsRefused) {
  TBitmap bmp;
  EXPECT_THROW(bmp.LoadFromFile(SharedTestData("bmp/x/ba-bm.bmp")), std::runtime_error);
}

// Every cut of a good file is an error: headers, palettes, pixel rows and RLE streams.
TEST(BmpRead, TruncatedFilesGiveErrors) {
  for (const char* name : {"pal1.bmp", "pal4rle.bmp", "pal8rle.bmp", "pal8os2.bmp", "pal8v5.bmp", "rgb16-565.bmp",
                           "rgb24.bmp", "rgb32bf.bmp"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadAll(SharedTestData(std::string("bmp/g/") + name));
    ASSERT_EQ(ErrorOf(file), "");
    for (std::size_t len = 0; len < file.size(); len += len < 1200 || file.size() - len < 16 ? 1 : 7) {
      // A copy of exactly len bytes, so that a read past it is caught by AddressSanitizer.
      const std::vector<uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t(len));
      if (ErrorOf(cut).empty()) ADD_FAILURE() << "cut at " << len << " of " << file.size() << " was read";
    }
  }
}

// Every header and mask byte of each good file, and the first bytes of its pixels, set to values
// that break sizes and offsets: each copy is read or refused with an error, never more.
TEST(BmpRead, DamagedHeaderBytesAreReadOrRefused) {
  for (const auto& e : std::filesystem::directory_iterator(SharedTestData("bmp/g/"))) {
    SCOPED_TRACE(e.path().filename().string());
    const std::vector<uint8_t> file = ReadAll(e.path().string());
    const std::size_t headers = 14 + (file[14] | file[15] << 8) + 16, pixels = file[10] | file[11] << 8;
    std::vector<std::size_t> places;
    for (std::size_t at = 0; at < headers; ++at) places.push_back(at);
    for (std::size_t at = pixels; at < pixels + 8; ++at) places.push_back(at);
    for (std::size_t at : places)
      for (uint8_t value : {0x00, 0x80, 0xFF}) {
        std::vector<uint8_t> copy = file;
        copy[at] = value;
        TBitmap bmp;
        try {
          DecodeBmp(copy.data(), copy.size(), bmp);
        } catch (const std::runtime_error&) {
        }
      }
  }
}

// A 4 x 2 8-bit picture with a two-colour palette, each field at its offset.
std::vector<uint8_t> SmallPal8() {
  return {
      'B', 'M',              // signature                 off 0
      0x4E, 0, 0, 0,         // file size 78              off 2
      0, 0, 0, 0,            // reserved                  off 6
      0x3E, 0, 0, 0,         // pixel offset 62           off 10
      40, 0, 0, 0,           // info header size          off 14
      4, 0, 0, 0,            // width 4                   off 18
      2, 0, 0, 0,            // height 2 (bottom-up)      off 22
      1, 0,                  // planes                    off 26
      8, 0,                  // bits per pixel            off 28
      0, 0, 0, 0,            // compression: none         off 30
      8, 0, 0, 0,            // image size                off 34
      0, 0, 0, 0,            // x density                 off 38
      0, 0, 0, 0,            // y density                 off 42
      2, 0, 0, 0,            // colours used 2            off 46
      0, 0, 0, 0,            // colours important         off 50
      0, 0, 0xFF, 0,         // palette 0: red            off 54
      0xFF, 0, 0, 0,         // palette 1: blue           off 58
      0, 1, 1, 0,            // bottom row                off 62
      1, 0, 0, 1,            // top row                   off 66
  };
}

TEST(BmpRead, SmallFixtureReads) {
  const std::vector<uint8_t> file = SmallPal8();
  TBitmap bmp;
  DecodeBmp(file.data(), file.size(), bmp);
  ASSERT_EQ(bmp.Width(), 4);
  ASSERT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.Canvas().Pixel(0, 0), clBlue);
  EXPECT_EQ(bmp.Canvas().Pixel(1, 0), clRed);
  EXPECT_EQ(bmp.Canvas().Pixel(1, 1), clBlue);
  EXPECT_EQ(bmp.Canvas().Pixel(3, 1), clRed);
}

TEST(BmpRead, HostileHeadersGiveErrors) {
  struct Field {
    std::size_t offset;  // of a 32-bit field
    uint32_t value;
  };
  struct Case {
    const char* name;
    std::vector<Field> fields;
    const char* message;  // part of the expected error; "": read
    int width = 4, height = 2;  // of the picture read
  };
  constexpr uint32_t kHalfLimit = uint32_t(TBitmap::kMaxPixels / 2);
  const Case cases[] = {
      {"huge width x height", {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}}, "大きすぎ"},
      {"one pixel over the limit", {{18, kHalfLimit + 1}}, "大きすぎ"},  // (2^27 + 1) x 2
      {"largest size without its pixels", {{18, kHalfLimit}}, "途中で切れて"},
      {"negative width", {{18, uint32_t(-4)}}, "幅"},
      {"most negative height", {{22, 0x80000000u}}, "高さ"},
      {"top-down", {{22, uint32_t(-2)}}, "", 4, 2},
      {"zero width", {{18, 0}}, "", 0, 0},
      {"zero height", {{22, 0}}, "", 0, 0},
      {"zero width, huge height", {{18, 0}, {22, 0x7FFFFFFF}}, "", 0, 0},
      {"pixel offset past the end", {{10, 71}}, "ファイルの外"},
      {"pixel offset at the far end of the range", {{10, 0xFFFFFFFFu}}, "ファイルの外"},
      {"pixel offset inside the header", {{10, 20}}, "ヘッダー"},
      {"pixel offset leaving the rows short", {{10, 63}}, "途中で切れて"},
      {"palette larger than the file", {{46, 0x40000000}}, "パレット"},
      {"palette just one entry too big", {{46, 5}}, "パレット"},
      {"implied palette cut short by the pixels", {{46, 0}}, ""},  // 256 implied, 2 present
      {"header size past the end", {{14, 124}}, "ヘッダー"},
      {"unknown header size", {{14, 41}}, "ヘッダー"},
      {"header size near 4 GiB", {{14, 0xFFFFFFF0u}}, "ヘッダー"},
      {"two planes", {{26, 2 | 8 << 16}}, "プレーン"},
      {"bit count 7", {{26, 1 | 7 << 16}}, "ビット数"},
      {"unknown compression", {{30, 9}}, "圧縮"},
      {"RLE4 with 8 bits", {{30, 2}}, "ビット数"},
      {"bit fields with 8 bits", {{30, 3}}, "ビット数"},
      {"wrong file size", {{2, 1}}, ""},  // a field the reader does not need
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = SmallPal8();
    for (const Field& f : c.fields) Put32(file, f.offset, f.value);
    TBitmap bmp;
    std::string error;
    try {
      DecodeBmp(file.data(), file.size(), bmp);
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    if (*c.message) {
      EXPECT_NE(error.find(c.message), std::string::npos) << "error: '" << error << "'";
    } else {
      EXPECT_EQ(error, "");
      EXPECT_EQ(bmp.Width(), c.width);
      EXPECT_EQ(bmp.Height(), c.height);
    }
  }
}

TEST(BmpRead, PixelsOutsideThePaletteGiveErrors) {
  std::vector<uint8_t> file = SmallPal8();
  file[63] = 2;  // only entries 0 and 1 exist
  EXPECT_NE(ErrorOf(file).find("パレット"), std::string::npos);
}

// A 4 x 2 RLE8 picture; each case replaces the stream.
std::vector<uint8_t> Rle8(const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> file = SmallPal8();
  file.resize(62);
  Put32(file, 30, 1);  // compression: RLE8
  Put32(file, 34, uint32_t(stream.size()));
  file.insert(file.end(), stream.begin(), stream.end());
  Put32(file, 2, uint32_t(file.size()));
  return file;
}

TEST(BmpRead, RleStreams) {
  struct Case {
    const char* name;
    std::vector<uint8_t> stream;
    const char* message;  // nullptr: reads to `pixels`
    const char* pixels;   // top row, then bottom row: 'r' red (entry 0), 'b' blue (entry 1)
  };
  const Case cases[] = {
      {"runs and end of line", {4, 1, 0, 0, 2, 0, 2, 1, 0, 1}, nullptr, "rrbb" "bbbb"},
      {"literal run padded to 16 bits", {0, 3, 1, 0, 1, 0, 1, 1, 0, 0, 0, 1}, nullptr, "rrrr" "brbb"},
      {"delta leaves entry 0", {0, 2, 1, 1, 2, 1, 0, 1}, nullptr, "rbbr" "rrrr"},
      {"early end of picture", {1, 1, 0, 1}, nullptr, "rrrr" "brrr"},
      {"run past the end of the row", {5, 1, 0, 1}, "画像の外", nullptr},
      {"literal run past the end of the row", {1, 1, 0, 4, 1, 1, 1, 1, 0, 1}, "画像の外", nullptr},
      {"delta past the top", {0, 2, 0, 3, 0, 1}, "画像の外", nullptr},
      {"delta past the right edge", {0, 2, 5, 0, 0, 1}, "画像の外", nullptr},
      {"pixels above the top row", {0, 0, 0, 0, 1, 1, 0, 1}, "画像の外", nullptr},
      {"no end of picture", {4, 1, 0, 0, 4, 1}, "途中で切れて", nullptr},
      {"delta cut short", {0, 2, 1}, "途中で切れて", nullptr},
      {"literal run cut short", {0, 4, 1, 1}, "途中で切れて", nullptr},
      {"colour outside the palette", {1, 7, 0, 1}, "パレット", nullptr},
      {"empty stream", {}, "途中で切れて", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> file = Rle8(c.stream);
    TBitmap bmp;
    try {
      DecodeBmp(file.data(), file.size(), bmp);
      ASSERT_EQ(c.message, nullptr) << "no error";
    } catch (const std::runtime_error& e) {
      ASSERT_NE(c.message, nullptr) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
      continue;
    }
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(bmp.Canvas().Pixel(x, y), c.pixels[y * 4 + x] == 'r' ? clRed : clBlue) << "at " << x << ", " << y;
  }
}

TEST(BmpRead, Rle24Stream) {
  // 5 x 1 picture with an OS/2 2.x header (64 bytes), 24-bit runs.
  std::vector<uint8_t> file(14 + 64, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 10, 78);  // pixel offset
  Put32(file, 14, 64);  // header size
  Put32(file, 18, 5);   // width
  Put32(file, 22, 1);   // height
  file[26] = 1;         // planes
  file[28] = 24;        // bits per pixel
  Put32(file, 30, 4);   // RLE24
  const std::vector<uint8_t> stream = {
      2, 0x10, 0x20, 0x30,                             // two pixels B 10 G 20 R 30
      0, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0,              // three literal pixels, one pad byte
      0, 1,                                            // end of picture
  };
  file.insert(file.end(), stream.begin(), stream.end());
  TBitmap bmp;
  DecodeBmp(file.data(), file.size(), bmp);
  ASSERT_EQ(bmp.Width(), 5);
  const TColor expected[5] = {RGB(0x30, 0x20, 0x10), RGB(0x30, 0x20, 0x10), RGB(3, 2, 1), RGB(6, 5, 4), RGB(9, 8, 7)};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(bmp.Canvas().Pixel(x, 0), expected[x]) << "at " << x;
  // With a Windows 40-byte header the same code means JPEG, which is not read.
  Put32(file, 14, 40);
  EXPECT_NE(ErrorOf(file).find("JPEG"), std::string::npos) << ErrorOf(file);
}

TEST(BmpRead, RleTopDownIsRefused) {
  std::vector<uint8_t> file = Rle8({4, 1, 0, 0, 4, 1, 0, 1});
  Put32(file, 22, uint32_t(-2));
  EXPECT_NE(ErrorOf(file), "");
}

TEST(BmpRead, BitFieldMasks) {
  // 1 x 1 16-bit picture with bit fields after the 40-byte header.
  auto make = [](uint32_t r, uint32_t g, uint32_t b, uint16_t pixel) {
    std::vector<uint8_t> file(54 + 12 + 4, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(file.size()));
    Put32(file, 10, 66);  // pixel offset
    Put32(file, 14, 40);  // header size
    Put32(file, 18, 1);   // width
    Put32(file, 22, 1);   // height
    file[26] = 1;         // planes
    file[28] = 16;        // bits per pixel
    Put32(file, 30, 3);   // bit fields
    Put32(file, 54, r);
    Put32(file, 58, g);
    Put32(file, 62, b);
    file[66] = uint8_t(pixel);
    file[67] = uint8_t(pixel >> 8);
    return file;
  };
  struct Case {
    const char* name;
    uint32_t r, g, b;
    uint16_t pixel;
    TColor expected;  // 0xFFFFFFFF: refused
  };
  const Case cases[] = {
      {"5-6-5 full green", 0xF800, 0x07E0, 0x001F, 0x07E0, clLime},
      {"5-6-5 one step of red", 0xF800, 0x07E0, 0x001F, 0x0800, RGB(8, 0, 0)},    // 255 / 31 rounded
      {"5-6-5 half blue", 0xF800, 0x07E0, 0x001F, 0x0010, RGB(0, 0, 132)},        // 16 · 255 / 31
      {"1-bit red", 0x8000, 0x07E0, 0x001F, 0x8000, clRed},
      {"overlapping masks", 0xF800, 0x0FE0, 0x001F, 0, 0xFFFFFFFF},
      {"mask with a gap", 0xF000 | 0x0400, 0x03E0, 0x001F, 0, 0xFFFFFFFF},
      {"mask wider than the pixel", 0x1F0000, 0x07E0, 0x001F, 0, 0xFFFFFFFF},
      {"no colour masks", 0, 0, 0, 0, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> file = make(c.r, c.g, c.b, c.pixel);
    TBitmap bmp;
    if (c.expected == 0xFFFFFFFF) {
      EXPECT_NE(ErrorOf(file).find("マスク"), std::string::npos) << ErrorOf(file);
      continue;
    }
    DecodeBmp(file.data(), file.size(), bmp);
    EXPECT_EQ(bmp.Canvas().Pixel(0, 0), c.expected);
  }
}

TEST(BmpRead, EmptyBufferAndNullData) {
  TBitmap bmp;
  EXPECT_THROW(DecodeBmp(nullptr, 0, bmp), std::runtime_error);
  EXPECT_THROW(DecodeBmp(nullptr, 100, bmp), std::runtime_error);
  const uint8_t bm[2] = {'B', 'M'};
  EXPECT_THROW(DecodeBmp(bm, 2, bmp), std::runtime_error);
}
