// The EXIF writer: the header byte for byte, files read back by exiftool, djpeg and our reader,
// the Model mark, the thumbnail and its size limit, and the box fit behind it.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <sstream>

#include "Jpegexif.h"
#include "PictureHelpers.h"
#include "platform/Files.h"
#include "platform/JpegImage.h"
#include "support/TestFiles.h"

namespace {

// The program's APP1 header, typed out independently of the code; "?" marks the filled fields.
std::vector<uint8_t> ExpectedHeader(uint16_t n, const std::string& model, const std::string& date, uint16_t w,
                                    uint16_t h) {
  auto text = [](const std::string& s) {
    std::vector<uint8_t> slot(20, 0);
    std::memcpy(slot.data(), s.data(), s.size());
    return slot;
  };
  std::vector<uint8_t> v = {
      0xFF, 0xE1,                                   // APP1
      uint8_t((n + 190) >> 8), uint8_t(n + 190),    // ? segment length
      'E', 'x', 'i', 'f', 0, 0,                     // identifier
      'I', 'I', 42, 0, 8, 0, 0, 0,                  // TIFF header, IFD0 at 8
      3, 0,                                         // IFD0 count
      0x10, 0x01, 2, 0, 20, 0, 0, 0, 50, 0, 0, 0,   // Model
      0x32, 0x01, 2, 0, 20, 0, 0, 0, 70, 0, 0, 0,   // DateTime
      0x69, 0x87, 4, 0, 1, 0, 0, 0, 90, 0, 0, 0,    // Exif IFD pointer
      152, 0, 0, 0,                                 // IFD1
  };
  auto append = [&](const std::vector<uint8_t>& b) { v.insert(v.end(), b.begin(), b.end()); };
  append(text(model));  // ?
  append(text(date));   // ?
  append({
      3, 0,                                                                  // Exif IFD count
      0x03, 0x90, 2, 0, 20, 0, 0, 0, 132, 0, 0, 0,                           // DateTimeOriginal
      0x02, 0xA0, 4, 0, 1, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), 0, 0,       // ? width
      0x03, 0xA0, 4, 0, 1, 0, 0, 0, uint8_t(h), uint8_t(h >> 8), 0, 0,       // ? height
      0, 0, 0, 0,                                                            // no next IFD
  });
  append(text(date));  // ?
  append({
      2, 0,                                                         // IFD1 count
      0x01, 0x02, 4, 0, 1, 0, 0, 0, 182, 0, 0, 0,                   // thumbnail offset
      0x02, 0x02, 4, 0, 1, 0, 0, 0, uint8_t(n), uint8_t(n >> 8), 0, 0,  // ? thumbnail length
      0, 0, 0, 0,                                                   // no next IFD
  });
  return v;
}

void PaintGradient(TBitmap& bmp, int w, int h, TPixelFormat format = pf32bit) {
  Paint(bmp, w, h, format, [&](int x, int y) { return RGB(uint8_t(x * 255 / w), uint8_t(y * 255 / h), 40); });
}

TEST(ExifWrite, TemplateAndHeaderByteForByte) {
  // The template holds zeros where each file's values go.
  std::vector<uint8_t> want = ExpectedHeader(0, "", "", 0, 0);
  want[2] = want[3] = 0;
  EXPECT_EQ(std::vector<uint8_t>(ExifHeaderTemplate, ExifHeaderTemplate + kExifHeaderSize), want);

  TempDir dir;
  const std::string file = dir.File("out.jpg");
  TBitmap bmp;
  PaintGradient(bmp, 300, 200);
  PictureInfo info;
  std::strcpy(info.ShotDate, "2008/09/26 11:22:33");
  std::strcpy(info.Model, "Canon X");
  ASSERT_TRUE(WriteJpegWithExif(bmp, info, file));
  const auto bytes = ReadAll(file);
  ASSERT_GT(bytes.size(), 400u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  const uint16_t n = uint16_t(bytes[2 + 184] | bytes[2 + 185] << 8);
  const std::vector<uint8_t> header(bytes.begin() + 2, bytes.begin() + 194);
  const std::vector<uint8_t> expected = ExpectedHeader(n, "*Canon X", "2008:09:26 11:22:33", 300, 200);
  for (std::size_t i = 0; i < kExifHeaderSize; ++i)
    EXPECT_EQ(int(header[i]), int(expected[i])) << "header byte " << i;
  // The thumbnail is a whole JPEG stream; the picture's own JFIF segment follows it.
  EXPECT_EQ(bytes[194], 0xFF);
  EXPECT_EQ(bytes[195], 0xD8);
  EXPECT_EQ(bytes[194 + n - 2], 0xFF);
  EXPECT_EQ(bytes[194 + n - 1], 0xD9);
  EXPECT_EQ(bytes[194 + n], 0xFF);
  EXPECT_EQ(bytes[194 + n + 1], 0xE0);
}

TEST(ExifWrite, ExiftoolAndDjpegReadWhatWeWrite) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  TBitmap bmp;
  PaintGradient(bmp, 640, 480, pf24bit);
  PictureInfo info;
  std::strcpy(info.ShotDate, "2011:12:13 14:15:16");
  std::strcpy(info.Model, "NIKON D70s");
  ASSERT_TRUE(WriteJpegWithExif(bmp, info, file));

  const std::string tags = RunCommand(
      "exiftool -s -s -n -DateTimeOriginal -ModifyDate -Model -ExifImageWidth -ExifImageHeight -ThumbnailLength " +
      Quote(file));
  std::map<std::string, std::string> got;
  std::istringstream in(tags);
  for (std::string line; std::getline(in, line);) {
    const auto colon = line.find(": ");
    if (colon != std::string::npos) got[line.substr(0, colon)] = line.substr(colon + 2);
  }
  EXPECT_EQ(got["DateTimeOriginal"], "2011:12:13 14:15:16") << tags;
  EXPECT_EQ(got["ModifyDate"], "2011:12:13 14:15:16") << tags;
  EXPECT_EQ(got["Model"], "*NIKON D70s") << tags;
  EXPECT_EQ(got["ExifImageWidth"], "640") << tags;
  EXPECT_EQ(got["ExifImageHeight"], "480") << tags;
  const auto bytes = ReadAll(file);
  const uint32_t n = bytes[186] | bytes[187] << 8;
  EXPECT_EQ(got["ThumbnailLength"], std::to_string(n)) << tags;

  const std::string warnings = RunCommand("exiftool -s -s -Warning -Error " + Quote(file));
  EXPECT_EQ(warnings, "") << warnings;

  const RgbPicture thumb = DecodeWithTool("exiftool -b -ThumbnailImage " + Quote(file) + " | djpeg -pnm");
  EXPECT_EQ(thumb.Width, 160);
  EXPECT_EQ(thumb.Height, 120);
  const Difference d = Compare(bmp, DecodeWithTool("djpeg -pnm " + Quote(file)));
  EXPECT_LE(d.Max, 12) << Describe(d);
}

// Rows of the decoded thumbnail that are silver, and those that are the picture (a flat colour).
void ExpectBands(const TBitmap& thumb, bool vertical, int band, TColor colour) {
  const int along = vertical ? thumb.Height() : thumb.Width();
  for (int i = 0; i < along; ++i) {
    // JPEG blurs each band edge by a pixel or two.
    if (std::abs(i - band) <= 2 || std::abs(i - (along - band)) <= 2) continue;
    const bool silver = i < band || i >= along - band;
    const TColor want = silver ? clSilver : colour;
    const int mid = (vertical ? thumb.Width() : thumb.Height()) / 2;
    const TColor got = vertical ? PixelAt(thumb, mid, i) : PixelAt(thumb, i, mid);
    EXPECT_NEAR(GetRValue(got), GetRValue(want), 8) << (vertical ? "row " : "column ") << i;
    EXPECT_NEAR(GetGValue(got), GetGValue(want), 8) << (vertical ? "row " : "column ") << i;
    EXPECT_NEAR(GetBValue(got), GetBValue(want), 8) << (vertical ? "row " : "column ") << i;
  }
}

TEST(ExifWrite, RoundTripThroughTheReader) {
  const TColor navy = RGB(20, 30, 120);
  struct Case {
    const char* name;
    int w, h;
    const char* model;
    const char* expectedModel;
    int thumbW, thumbH;
    bool verticalBands;
    int band;
  };
  const Case cases[] = {
      {"3000 x 2000", 3000, 2000, "", "*Kestrelframe", 160, 120, true, 7},
      {"100 x 50 enlarged", 100, 50, "   ", "*Kestrelframe", 160, 120, true, 20},
      {"portrait", 2000, 3000, "*Kestrelframe", "*Kestrelframe", 120, 160, false, 7},
      {"square", 50, 50, "*already marked", "*already marked", 120, 160, true, 20},
      {"long model", 64, 48, "Canon PowerShot SX60", "*Canon PowerShot SX", 160, 120, true, 0},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    Paint(bmp, c.w, c.h, pf24bit, [&](int, int) { return navy; });
    PictureInfo info;
    std::strcpy(info.ShotDate, "2008/09/26 11:22:33");
    std::strcpy(info.Model, c.model);
    const std::string file = dir.File(std::string(c.name) + ".jpg");
    ASSERT_TRUE(WriteJpegWithExif(bmp, info, file));

    TBitmap thumb;
    PictureInfo back;
    back.Thumbnail = &thumb;
    ReadExifInfo(back, file);
    EXPECT_STREQ(back.ShotDate, "2008:09:26 11:22:33");
    EXPECT_STREQ(back.Model, c.expectedModel);
    EXPECT_EQ(back.ExifWidth, uint32_t(c.w));
    EXPECT_EQ(back.ExifHeight, uint32_t(c.h));
    EXPECT_EQ(back.ThumbOffsetEntry, 154u);
    EXPECT_EQ(back.ThumbLengthEntry, 166u);
    EXPECT_EQ(thumb.Width(), c.thumbW);
    EXPECT_EQ(thumb.Height(), c.thumbH);
    ExpectBands(thumb, c.verticalBands, c.band, navy);
  }
}

TEST(ExifWrite, DateTextAndModelMark) {
  struct DateCase {
    const char* shotDate;
    const char* written;
  };
  const DateCase dates[] = {
      {"2008/09/26 11:22:33", "2008:09:26 11:22:33"},
      {"2008:09:26 11:22:33", "2008:09:26 11:22:33"},
      {"2008-09-26 11:22:33 JST", "2008:09:26 11:22:33"},
      {"2008/0", "2008:0"},
      {"", ""},
  };
  for (const DateCase& c : dates) EXPECT_EQ(ExifDateText(c.shotDate), c.written) << c.shotDate;

  struct ModelCase {
    const char* model;
    const char* mark;
  };
  const ModelCase models[] = {
      {"", "*Kestrelframe"},
      {"    ", "*Kestrelframe"},
      {"*Kestrelframe", "*Kestrelframe"},
      {"*", "*"},
      {"DSC-D700", "*DSC-D700"},
      {" lead", "* lead"},
      {"KODAK DC240 ZOOM DIG", "*KODAK DC240 ZOOM D"},
      {"*KODAK DC240 ZOOM DIG", "*KODAK DC240 ZOOM D"},
  };
  for (const ModelCase& c : models) EXPECT_EQ(ExifModelMark(c.model), c.mark) << "'" << c.model << "'";
}

TEST(ExifWrite, ThumbnailNeverOverflowsTheSegment) {
  // Noise does not compress: with a small limit the thumbnail is made smaller until it fits.
  TBitmap noise;
  std::mt19937 random(7);
  Paint(noise, 160, 120, pf32bit, [&](int, int) { return TColor(random() & 0xFFFFFF); });
  const auto full = EncodeExifThumbnail(noise);
  EXPECT_LE(full.size(), kMaxExifThumbnailBytes);
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(full.data(), full.size());
  EXPECT_EQ(jpeg.Width(), 160) << "fits at quality 90";
  for (std::size_t limit : {std::size_t(9000), std::size_t(2500), std::size_t(900)}) {
    SCOPED_TRACE(limit);
    const auto small = EncodeExifThumbnail(noise, limit);
    EXPECT_LE(small.size(), limit);
    jpeg.LoadFromMemory(small.data(), small.size());
    TBitmap decoded;
    jpeg.AssignTo(decoded);
    EXPECT_GT(decoded.Width(), 0);
  }
  EXPECT_THROW(EncodeExifThumbnail(noise, 10), std::runtime_error);
}

TEST(ExifWrite, MissingFolderReportsFalseWithTheReason) {
  TempDir dir;
  TBitmap bmp;
  PaintGradient(bmp, 40, 30);
  PictureInfo info;
  std::string error;
  EXPECT_FALSE(WriteJpegWithExif(bmp, info, dir.File("no such folder/x.jpg"), &error));
  EXPECT_NE(error.find("x.jpg"), std::string::npos) << error;
  EXPECT_FALSE(files::FileExists(dir.File("no such folder/x.jpg")));
}

TEST(ExifWrite, FileTimeFromTheShotDate) {
  TempDir dir;
  const std::string file = dir.File("timed.jpg");
  TBitmap bmp;
  PaintGradient(bmp, 40, 30);
  PictureInfo info;
  std::strcpy(info.ShotDate, "2008/09/26 11:22:33");
  ASSERT_TRUE(WriteJpegWithExif(bmp, info, file));
  EXPECT_EQ(files::GetFileTime(file), (TDateTime{2008, 9, 26, 11, 22, 32}));

  std::strcpy(info.ShotDate, "2008:02:30 11:22:33");  // no such day: written, then the error
  EXPECT_THROW(WriteJpegWithExif(bmp, info, file), std::runtime_error);
  PictureInfo back;
  ReadExifInfo(back, file);
  EXPECT_STREQ(back.ShotDate, "2008:02:30 11:22:33");
}

// --- FitPictureInBox, exactly. ---

TEST(FitPictureInBox, ReductionAveragesWholePixelSquares) {
  // A one-pixel checkerboard reduced by 3000 / 160 (m = 18, even): every average is exactly 127.
  TBitmap src, dest;
  Paint(src, 3000, 2000, pf24bit, [](int x, int y) { return (x + y) % 2 ? clWhite : clBlack; });
  dest.SetSize(160, 120);
  FitPictureInBox(dest, 0, 0, 160, 120, src);
  EXPECT_EQ(dest.PixelFormat(), pf32bit);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      const TColor want = y < 7 || y >= 113 ? clSilver : RGB(127, 127, 127);
      ASSERT_EQ(PixelAt(dest, x, y), want) << x << "," << y;
    }
  EXPECT_EQ(src.PixelFormat(), pf24bit) << "the source is not changed";
}

TEST(FitPictureInBox, AverageStartsAtTheTopLeftSourcePixel) {
  // 30 x 20 into 10 x 10: dw = 10, dh = 6, f = min(768, 853) -> m = 3; source column of j is 3j.
  TBitmap src, dest;
  Paint(src, 30, 20, pf32bit, [](int x, int y) { return RGB(uint8_t(x * 8), uint8_t(y * 12), 0); });
  dest.SetSize(10, 10);
  FitPictureInBox(dest, 0, 0, 10, 10, src);
  // Row i = 0..5 at top 2, source row i * 20 / 6; red = mean of 8 * (3j .. 3j+2), green of 12 * rows.
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 10; ++j) {
      const int sy = i * 20 / 6;
      const int r = (8 * (3 * j) + 8 * (3 * j + 1) + 8 * (3 * j + 2)) / 3;
      const int g = (12 * sy + 12 * std::min(sy + 1, 19) + 12 * std::min(sy + 2, 19)) / 3;
      ASSERT_EQ(PixelAt(dest, j, 2 + i), RGB(uint8_t(r), uint8_t(g), 0)) << j << "," << i;
    }
  EXPECT_EQ(PixelAt(dest, 5, 1), clSilver);
  EXPECT_EQ(PixelAt(dest, 5, 8), clSilver);
}

TEST(FitPictureInBox, EnlargementRepeatsPixels) {
  TBitmap src, dest;
  Paint(src, 100, 50, pf24bit, [](int x, int y) { return RGB(uint8_t(x), uint8_t(y), 9); });
  dest.SetSize(160, 120);
  FitPictureInBox(dest, 0, 0, 160, 120, src);
  for (int x = 0; x < 160; ++x) {
    EXPECT_EQ(PixelAt(dest, x, 19), clSilver);
    EXPECT_EQ(PixelAt(dest, x, 100), clSilver);
  }
  EXPECT_EQ(PixelAt(dest, 0, 20), RGB(0, 0, 9));
  EXPECT_EQ(PixelAt(dest, 159, 99), RGB(99, 49, 9));
  // 1.6 times: destination column 8 samples source column 5, row 20 + 8 source row 5.
  EXPECT_EQ(PixelAt(dest, 8, 28), RGB(5, 5, 9));
}

TEST(FitPictureInBox, DestinationGrowsByStrips) {
  TBitmap src, dest;
  Paint(src, 10, 10, pf32bit, [](int, int) { return clRed; });
  Paint(dest, 64, 64, pf24bit, [](int, int) { return clBlue; });
  FitPictureInBox(dest, 15 * 64, 2 * 64, 64, 64, src);
  EXPECT_EQ(dest.Width(), 1024);
  EXPECT_EQ(dest.Height(), 128 + 1024);
  EXPECT_EQ(dest.PixelFormat(), pf32bit);
  EXPECT_EQ(PixelAt(dest, 63, 63), clBlue) << "old pixels stay";
  EXPECT_EQ(PixelAt(dest, 15 * 64 + 32, 128 + 32), clRed);
  EXPECT_EQ(PixelAt(dest, 15 * 64, 128), clRed) << "a square picture fills a square box";
}

TEST(FitPictureInBox, DegenerateSizesAreHarmless) {
  struct Case {
    const char* name;
    int sw, sh, x, y, w, h;
  };
  const Case cases[] = {
      {"empty source", 0, 0, 0, 0, 64, 64}, {"one pixel", 1, 1, 0, 0, 64, 64},  {"one row", 5000, 1, 0, 0, 64, 64},
      {"one column", 1, 5000, 0, 0, 64, 64}, {"empty box", 30, 20, 3, 3, 0, 0}, {"negative box", 30, 20, 10, 10, -5, -7},
      {"box left of the bitmap", 30, 20, -40, -40, 64, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap src, dest;
    Paint(src, c.sw, c.sh, pf32bit, [](int, int) { return clRed; });
    dest.SetSize(64, 64);
    FitPictureInBox(dest, c.x, c.y, c.w, c.h, src);
    EXPECT_EQ(dest.Width(), 64);
    EXPECT_GE(dest.Height(), 64);
  }
  // The one-pixel source lies inside its box.
  TBitmap src, dest;
  Paint(src, 1, 1, pf32bit, [](int, int) { return clRed; });
  dest.SetSize(64, 64);
  FitPictureInBox(dest, 0, 0, 64, 64, src);
  EXPECT_EQ(PixelAt(dest, 0, 0), clSilver);
  EXPECT_EQ(PixelAt(dest, 32, 32), clRed);
}

}  // namespace
