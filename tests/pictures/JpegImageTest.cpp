// TJPEGImage against djpeg and ImageMagick: decoding the libjpeg-turbo test images, colour
// spaces, damaged files, and encoding read back by other tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

#include "PictureHelpers.h"
#include "platform/JpegImage.h"
#include "support/TestFiles.h"

namespace {

struct DecodeCase {
  const char* name;
  const char* file;
};

// Every kind of 8-bit file of the suite: djpeg uses the same defaults (islow DCT, fancy
// upsampling), so the pixels must be identical.
const DecodeCase kDecodeCases[] = {
    {"Baseline", "jpeg/testorig.jpg"},
    {"Progressive", "jpeg/history/testimgp.jpg"},
    {"Arithmetic", "jpeg/testimgari.jpg"},
    {"RestartIntervals", "jpeg/testimgint.jpg"},
    {"Grey", "jpeg/history/testimggray.jpg"},
    {"Cropped", "jpeg/history/testimgcrop.jpg"},
    {"FloatDct", "jpeg/history/testimgflt.jpg"},
    {"CameraPhoto", "exif/gps/DSCN0010.jpg"},
};

TEST(JpegDecode, MatchesDjpegExactly) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    const std::string file = SharedTestData(c.file);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(file);
    const RgbPicture theirs = DecodeWithTool("djpeg -pnm " + Quote(file));
    EXPECT_EQ(jpeg.Width(), theirs.Width);
    EXPECT_EQ(jpeg.Height(), theirs.Height);
    for (TPixelFormat format : {pf24bit, pf32bit}) {
      TBitmap bmp;
      jpeg.AssignTo(bmp, format);
      EXPECT_EQ(bmp.PixelFormat(), format);
      const Difference d = Compare(bmp, theirs);
      EXPECT_EQ(d.Max, 0) << Describe(d);
      if (format == pf32bit) {
        for (int y = 0; y < bmp.Height(); y += 7)
          for (int x = 0; x < bmp.Width(); x += 7) ASSERT_EQ(XAt(bmp, x, y), 0) << x << "," << y;
      }
    }
  }
}

TEST(JpegDecode, FromMemoryLikeFromFile) {
  const auto bytes = ReadAll(SharedTestData("jpeg/testorig.jpg"));
  TJPEGImage a, b;
  a.LoadFromMemory(bytes.data(), bytes.size());
  b.LoadFromFile(SharedTestData("jpeg/testorig.jpg"));
  TBitmap x, y;
  a.AssignTo(x);
  b.AssignTo(y);
  ASSERT_EQ(x.Width(), y.Width());
  for (int r = 0; r < x.Height(); ++r)
    ASSERT_EQ(0, std::memcmp(x.ScanLine(r), y.ScanLine(r), std::size_t(x.Width()) * 3)) << "row " << r;
}

// Writes a 4-component JPEG with libjpeg itself: CMYK or YCCK, inverted as Adobe writes it.
std::vector<uint8_t> WriteAdobeCmyk(const std::vector<std::array<uint8_t, 4>>& inverted, int w, int h,
                                    J_COLOR_SPACE stored) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);  // writes the Adobe marker
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(std::size_t(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) std::memcpy(&row[std::size_t(x) * 4], inverted[std::size_t(y * w + x)].data(), 4);
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> out(buf, buf + size);
  std::free(buf);
  return out;
}

TEST(JpegDecode, AdobeCmykAndYcckBecomeBgr) {
  struct Colour {
    const char* name;
    std::array<uint8_t, 4> inverted;  // C, M, Y, K with 255 = no ink
    TColor expected;
  };
  const Colour colours[] = {
      {"white", {255, 255, 255, 255}, RGB(255, 255, 255)},
      {"red", {255, 0, 0, 255}, RGB(255, 0, 0)},
      {"green", {0, 255, 0, 255}, RGB(0, 255, 0)},
      {"blue", {0, 0, 255, 255}, RGB(0, 0, 255)},
      {"half black", {255, 255, 255, 128}, RGB(128, 128, 128)},
      {"black", {255, 255, 255, 0}, RGB(0, 0, 0)},
  };
  // One 16 x 16 block of each colour side by side, so chroma blocks do not mix them.
  const int w = 16 * int(std::size(colours)), h = 16;
  std::vector<std::array<uint8_t, 4>> pixels(std::size_t(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[std::size_t(y * w + x)] = colours[x / 16].inverted;
  for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
    SCOPED_TRACE(stored == JCS_CMYK ? "CMYK" : "YCCK");
    const auto bytes = WriteAdobeCmyk(pixels, w, h, stored);
    TJPEGImage jpeg;
    jpeg.LoadFromMemory(bytes.data(), bytes.size());
    TBitmap bmp;
    jpeg.AssignTo(bmp, pf32bit);
    ASSERT_EQ(bmp.Width(), w);
    for (std::size_t i = 0; i < std::size(colours); ++i) {
      SCOPED_TRACE(colours[i].name);
      const TColor got = PixelAt(bmp, int(i) * 16 + 8, 8);
      EXPECT_NEAR(GetRValue(got), GetRValue(colours[i].expected), 3);
      EXPECT_NEAR(GetGValue(got), GetGValue(colours[i].expected), 3);
      EXPECT_NEAR(GetBValue(got), GetBValue(colours[i].expected), 3);
    }
  }
}

TEST(JpegDecode, CmykFromImageMagick) {
  TempDir dir;
  const std::string file = dir.File("cmyk.jpg");
  int status = -1;
  RunCommand("convert -size 32x16 xc:'rgb(255,0,0)' xc:'rgb(0,0,255)' +append -colorspace CMYK " + Quote(file),
             &status);
  ASSERT_EQ(status, 0);
  ASSERT_NE(RunCommand("identify -format %[colorspace] " + Quote(file)).find("CMYK"), std::string::npos);
  TJPEGImage jpeg;
  jpeg.LoadFromFile(file);
  TBitmap bmp;
  jpeg.AssignTo(bmp);
  ASSERT_EQ(bmp.Width(), 64);
  const TColor left = PixelAt(bmp, 8, 8), right = PixelAt(bmp, 56, 8);
  EXPECT_GE(GetRValue(left), 250);
  EXPECT_LE(GetGValue(left), 5);
  EXPECT_GE(GetBValue(right), 250);
  EXPECT_LE(GetRValue(right), 5);
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, std::size_t from, std::size_t n) {
  return {v.begin() + std::ptrdiff_t(from), v.begin() + std::ptrdiff_t(std::min(v.size(), from + n))};
}

// Byte offsets of the SOS markers of a JPEG stream.
std::vector<std::size_t> ScanStarts(const std::vector<uint8_t>& j) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 2; i + 1 < j.size(); ++i)
    if (j[i] == 0xFF && j[i + 1] == 0xDA) starts.push_back(i);
  return starts;
}

TEST(JpegDecode, DamagedFilesGiveReadableErrors) {
  const auto good = ReadAll(SharedTestData("jpeg/testorig.jpg"));
  std::vector<uint8_t> badMarker = good;
  badMarker[3] = 0xC3;  // APP0 turned into a lossless frame header
  std::vector<uint8_t> badDimensions = good;
  for (std::size_t i = 2; i + 8 < badDimensions.size(); ++i)
    if (badDimensions[i] == 0xFF && badDimensions[i + 1] == 0xC0) {
      badDimensions[i + 5] = badDimensions[i + 6] = 0;  // height 0
      break;
    }
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* inMessage;
  };
  const Case cases[] = {
      {"empty", {}, "JPEG"},
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "Not a JPEG"},
      {"only the start marker", {0xFF, 0xD8}, "JPEG"},
      {"header cut off", Slice(good, 0, 100), "JPEG"},
      {"unsupported process", badMarker, "Unsupported JPEG process"},
      {"zero height", badDimensions, "JPEG"},
      {"12-bit samples", ReadAll(SharedTestData("jpeg/history/testorig12.jpg")), "precision"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TJPEGImage jpeg;
    std::string message;
    try {
      jpeg.LoadFromMemory(c.bytes.data(), c.bytes.size());
      TBitmap bmp;
      jpeg.AssignTo(bmp);
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    EXPECT_NE(message.find(c.inMessage), std::string::npos) << "message: '" << message << "'";
    EXPECT_TRUE(jpeg.Empty());
  }
}

TEST(JpegDecode, TruncatedScanDataDecodesWhatIsThere) {
  const auto good = ReadAll(SharedTestData("jpeg/testorig.jpg"));
  const auto cut = Slice(good, 0, good.size() / 2);
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(cut.data(), cut.size());
  TBitmap bmp, full;
  jpeg.AssignTo(bmp);
  jpeg.LoadFromMemory(good.data(), good.size());
  jpeg.AssignTo(full);
  ASSERT_EQ(bmp.Width(), full.Width());
  ASSERT_EQ(bmp.Height(), full.Height());
  EXPECT_EQ(0, std::memcmp(bmp.ScanLine(0), full.ScanLine(0), std::size_t(bmp.Width()) * 3));
}

TEST(JpegDecode, EndlessProgressiveScansAreRefused) {
  // A hostile progressive file repeating one refinement scan over and over.
  const auto good = ReadAll(SharedTestData("jpeg/history/testimgp.jpg"));
  const auto scans = ScanStarts(good);
  ASSERT_GE(scans.size(), 3u);
  const std::size_t from = scans[scans.size() - 2], to = scans.back();
  std::vector<uint8_t> hostile(good.begin(), good.begin() + std::ptrdiff_t(to));
  for (int i = 0; i < 600; ++i) hostile.insert(hostile.end(), good.begin() + std::ptrdiff_t(from), good.begin() + std::ptrdiff_t(to));
  hostile.insert(hostile.end(), good.begin() + std::ptrdiff_t(to), good.end());
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(hostile.data(), hostile.size());
  TBitmap bmp;
  try {
    jpeg.AssignTo(bmp);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("scans"), std::string::npos) << e.what();
  }
}

TEST(JpegDecode, MissingFileNamesTheFile) {
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromFile("/nonexistent/none.jpg");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/none.jpg"), std::string::npos);
  }
}

TEST(JpegEncode, BaselineAtQuality90ReadBackByOtherTools) {
  TempDir dir;
  struct Case {
    const char* name;
    int w, h;
    TPixelFormat format;
  };
  const Case cases[] = {{"24-bit", 35, 39, pf24bit}, {"32-bit", 64, 48, pf32bit}, {"one pixel", 1, 1, pf24bit}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    // Smooth gradients, so a good encoder stays close.
    Paint(bmp, c.w, c.h, c.format,
          [&](int x, int y) { return RGB(uint8_t(x * 255 / c.w), uint8_t(y * 255 / c.h), 128); });
    TJPEGImage jpeg;
    jpeg.Assign(bmp);
    const std::string file = dir.File(std::string(c.name) + ".jpg");
    jpeg.SaveToFile(file);
    const auto& data = jpeg.Data();
    ASSERT_GE(data.size(), 4u);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    EXPECT_EQ(data[2], 0xFF);
    EXPECT_EQ(data[3], 0xE0) << "JFIF APP0 first";
    const std::string info = RunCommand("identify -format '%Q %[jpeg:sampling-factor] %wx%h' " + Quote(file));
    EXPECT_EQ(info.substr(0, 3), "90 ") << info;
    EXPECT_NE(info.find(std::to_string(c.w) + "x" + std::to_string(c.h)), std::string::npos) << info;
    const std::string sof = RunCommand("exiftool -s -s -s -EncodingProcess " + Quote(file));
    EXPECT_NE(sof.find("Baseline DCT"), std::string::npos) << sof;
    const Difference d = Compare(bmp, DecodeWithTool("djpeg -pnm " + Quote(file)));
    EXPECT_LE(d.Max, 12) << Describe(d);
  }
}

TEST(JpegEncode, EmptyBitmapIsAnError) {
  TBitmap bmp;
  TJPEGImage jpeg;
  EXPECT_THROW(jpeg.Assign(bmp), std::runtime_error);
  EXPECT_TRUE(jpeg.Empty());
}

}  // namespace
