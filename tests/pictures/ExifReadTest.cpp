// The EXIF reader on real camera files (against the oracle table of the shared test data) and
// on small hand-made blocks: byte orders, value kinds, and truncated or hostile structures.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "Jpegexif.h"
#include "PictureHelpers.h"
#include "support/TestFiles.h"

namespace {

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char c = s[++i];
      out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

struct OracleRow {
  std::string File, ShotDate, Model;
  uint32_t Width = 0, Height = 0, ThumbOffsetEntry = 0, ThumbLengthEntry = 0;
  std::string Thumbnail;  // "WxH", "-" or "undecodable"
};

std::vector<OracleRow> ReadOracle() {
  std::vector<OracleRow> rows;
  std::istringstream in(ReadText(SharedTestData("exif/expected.tsv")));
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      f.push_back(line.substr(start, tab - start));
    f.push_back(line.substr(start));
    if (f.size() != 8) {
      ADD_FAILURE() << "bad oracle line: " << line;
      continue;
    }
    rows.push_back({f[0], Unescape(f[1]), Unescape(f[2]), uint32_t(std::stoul(f[3])), uint32_t(std::stoul(f[4])),
                    uint32_t(std::stoul(f[5])), uint32_t(std::stoul(f[6])), f[7]});
  }
  return rows;
}

TEST(ExifRead, CameraFilesAgreeWithTheOracle) {
  const auto rows = ReadOracle();
  ASSERT_EQ(rows.size(), 88u);
  int leading = 0, thumbnails = 0;
  for (const OracleRow& row : rows) {
    SCOPED_TRACE(row.File);
    const std::string file = SharedTestData("exif/" + row.File);
    const auto head = ReadAll(file);
    if (ExifBlockSize(head.data(), head.size()) != 0) ++leading;

    TBitmap thumb;
    PictureInfo info;
    info.ExifWidth = 99;  // stale values the reader must clear
    std::strcpy(info.Model, "stale");
    info.Thumbnail = &thumb;
    bool threw = false;
    try {
      ReadExifInfo(info, file);
    } catch (const std::runtime_error&) {
      threw = true;
    }
    EXPECT_EQ(info.ShotDate, row.ShotDate);
    EXPECT_EQ(info.Model, row.Model);
    EXPECT_EQ(info.ExifWidth, row.Width);
    EXPECT_EQ(info.ExifHeight, row.Height);
    EXPECT_EQ(info.ThumbOffsetEntry, row.ThumbOffsetEntry);
    EXPECT_EQ(info.ThumbLengthEntry, row.ThumbLengthEntry);
    EXPECT_EQ(info.Thumbnail, &thumb);
    if (row.Thumbnail == "undecodable") {
      EXPECT_TRUE(threw);
    } else {
      EXPECT_FALSE(threw);
      const std::string size =
          thumb.Empty() ? "-" : std::to_string(thumb.Width()) + "x" + std::to_string(thumb.Height());
      EXPECT_EQ(size, row.Thumbnail);
      if (!thumb.Empty()) {
        ++thumbnails;
        EXPECT_EQ(thumb.PixelFormat(), pf32bit);
      }
    }

    // Without a thumbnail bitmap the thumbnail entries are not looked up.
    PictureInfo plain;
    ReadExifInfo(plain, file);
    EXPECT_EQ(plain.ShotDate, row.ShotDate);
    EXPECT_EQ(plain.ExifWidth, row.Width);
    EXPECT_EQ(plain.ThumbOffsetEntry, 0u);
    EXPECT_EQ(plain.ThumbLengthEntry, 0u);

    // The same from the bytes in memory.
    PictureInfo fromBytes;
    ReadExifInfoFromBytes(fromBytes, head.data(), head.size());
    EXPECT_EQ(fromBytes.Model, row.Model);
    EXPECT_EQ(fromBytes.ExifHeight, row.Height);
  }
  EXPECT_EQ(leading, 37);
  EXPECT_GT(thumbnails, 20);
}

TEST(ExifRead, ThumbnailPixelsMatchImageMagick) {
  // The camera's 160 x 120 thumbnail, cut out by exiftool and decoded by djpeg.
  const std::string file = SharedTestData("exif/exif-org/canon-ixus.jpg");
  TBitmap thumb;
  PictureInfo info;
  info.Thumbnail = &thumb;
  ReadExifInfo(info, file);
  const RgbPicture theirs = DecodeWithTool("exiftool -b -ThumbnailImage " + Quote(file) + " | djpeg -pnm");
  const Difference d = Compare(thumb, theirs);
  EXPECT_EQ(d.Max, 0) << Describe(d);
}

TEST(ExifRead, MissingFileAndFilesWithoutLeadingExif) {
  TempDir dir;
  WriteAll(dir.File("short.jpg"), {0xFF, 0xD8, 0xFF, 0xE1, 0x00});
  TBitmap thumb;
  thumb.SetSize(5, 5);
  for (const std::string& file : {dir.File("none.jpg"), dir.File("short.jpg"), SharedTestData("exif/Canon_40D.jpg"),
                                  SharedTestData("jpeg/testorig.jpg")}) {
    SCOPED_TRACE(file);
    PictureInfo info;
    std::strcpy(info.ShotDate, "stale");
    info.ExifWidth = 7;
    info.Thumbnail = &thumb;
    ReadExifInfo(info, file);
    EXPECT_STREQ(info.ShotDate, "");
    EXPECT_EQ(info.ExifWidth, 0u);
    EXPECT_EQ(info.Thumbnail, &thumb);
    EXPECT_EQ(thumb.Width(), 5) << "the thumbnail is not touched without a block";
    EXPECT_TRUE(ReadExifBlock(file).empty());
  }
}

// Builds a leading EXIF block: FF D8, APP1 with length, "Exif\0\0", then the TIFF bytes.
std::vector<uint8_t> Block(const std::vector<uint8_t>& tiff) {
  std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  const std::size_t length = tiff.size() + 8;
  b[4] = uint8_t(length >> 8);
  b[5] = uint8_t(length);
  b.insert(b.end(), tiff.begin(), tiff.end());
  return b;
}

PictureInfo Read(const std::vector<uint8_t>& bytes, TBitmap* thumb = nullptr) {
  PictureInfo info;
  info.Thumbnail = thumb;
  ReadExifInfoFromBytes(info, bytes.data(), bytes.size());
  return info;
}

// Big-endian TIFF: IFD0 with Model (offset) and the Exif pointer; Exif IFD with the date and
// SHORT pixel sizes.
const std::vector<uint8_t> kMotorola = {
    'M', 'M', 0x00, 0x2A, 0, 0, 0, 8,  // 0: header
    0, 2,                              // 8: IFD0, 2 entries
    0x01, 0x10, 0, 2, 0, 0, 0, 6, 0, 0, 0, 44,      // 10: Model, ASCII, 6, at 44
    0x87, 0x69, 0, 4, 0, 0, 0, 1, 0, 0, 0, 50,      // 22: Exif IFD at 50
    0, 0, 0, 0,                                     // 34: no next IFD
    0, 0, 0, 0, 0, 0,                               // 38: padding
    'C', 'a', 'm', '-', '1', 0,                     // 44: Model text
    0, 3,                                           // 50: Exif IFD, 3 entries
    0x90, 0x03, 0, 2, 0, 0, 0, 20, 0, 0, 0, 92,     // 52: DateTimeOriginal at 92
    0xA0, 0x02, 0, 3, 0, 0, 0, 1, 0x0B, 0xB8, 0, 0,  // 64: width SHORT 3000
    0xA0, 0x03, 0, 3, 0, 0, 0, 1, 0x07, 0xD0, 0, 0,  // 76: height SHORT 2000
    0, 0, 0, 0,                                     // 88: no next IFD
    '2', '0', '0', '8', ':', '0', '9', ':', '2', '6', ' ', '1', '1', ':', '2', '2', ':', '3', '3', 0,  // 92
};

// Little-endian TIFF: Model in the value field (count 4), LONG pixel sizes, Exif IFD after IFD0.
const std::vector<uint8_t> kIntel = {
    'I', 'I', 0x2A, 0x00, 8, 0, 0, 0,  // 0: header
    2, 0,                              // 8: IFD0, 2 entries
    0x10, 0x01, 2, 0, 4, 0, 0, 0, 'S', 'R', '6', ' ',  // 10: Model "SR6 " in the value field
    0x69, 0x87, 4, 0, 1, 0, 0, 0, 38, 0, 0, 0,        // 22: Exif IFD at 38
    0, 0, 0, 0,                                       // 34: no next IFD
    2, 0,                                             // 38: Exif IFD, 2 entries
    0x02, 0xA0, 4, 0, 1, 0, 0, 0, 0x40, 0x0E, 0x01, 0,  // 40: width LONG 0x10E40 = 69184
    0x03, 0xA0, 4, 0, 1, 0, 0, 0, 0xB0, 0x0A, 0, 0,    // 52: height LONG 2736
    0, 0, 0, 0,                                       // 64: no next IFD
};

TEST(ExifRead, ByteOrdersAndValueKinds) {
  const PictureInfo mm = Read(Block(kMotorola));
  EXPECT_STREQ(mm.Model, "Cam-1");
  EXPECT_STREQ(mm.ShotDate, "2008:09:26 11:22:33");
  EXPECT_EQ(mm.ExifWidth, 3000u);
  EXPECT_EQ(mm.ExifHeight, 2000u);

  const PictureInfo ii = Read(Block(kIntel));
  EXPECT_STREQ(ii.Model, "SR6 ") << "text in the value field ends with the field";
  EXPECT_STREQ(ii.ShotDate, "");
  // A LONG width read as 16 bits is 0x0E40 = 3648, not 0: the 16-bit reading stands.
  EXPECT_EQ(ii.ExifWidth, 0x0E40u);
  EXPECT_EQ(ii.ExifHeight, 2736u);
}

TEST(ExifRead, LongPixelSizesAboveTheLow16BitsAndOneTagMissing) {
  std::vector<uint8_t> t = kMotorola;
  // Width and height as big-endian LONGs: 16-bit reading gives 0, so both are read as 32 bits.
  const uint8_t width[] = {0, 4, 0, 0, 0, 1, 0, 0, 0x0B, 0xB8}, height[] = {0, 4, 0, 0, 0, 1, 0, 0, 0x07, 0xD0};
  std::memcpy(&t[66], width, 10);
  std::memcpy(&t[78], height, 10);
  PictureInfo info = Read(Block(t));
  EXPECT_EQ(info.ExifWidth, 3000u);
  EXPECT_EQ(info.ExifHeight, 2000u);

  t[76] = 0x00;  // the height tag renamed: without both, no size at all
  info = Read(Block(t));
  EXPECT_EQ(info.ExifWidth, 0u);
  EXPECT_EQ(info.ExifHeight, 0u);
}

TEST(ExifRead, FindEntrySearchOrder) {
  // IFD0 holds an Exif pointer before a DateTimeOriginal of its own; IFD1 follows with another.
  const std::vector<uint8_t> t = {
      'I', 'I', 0x2A, 0, 8, 0, 0, 0,                // header
      2, 0,                                         // 8: IFD0
      0x69, 0x87, 4, 0, 1, 0, 0, 0, 48, 0, 0, 0,    // 10: Exif IFD at 48
      0x03, 0x90, 2, 0, 20, 0, 0, 0, 0, 0, 0, 0,    // 22: DateTimeOriginal in IFD0
      66, 0, 0, 0,                                  // 34: IFD1 at 66
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                 // 38
      1, 0,                                         // 48: Exif IFD
      0x03, 0x90, 2, 0, 20, 0, 0, 0, 0, 0, 0, 0,    // 50: DateTimeOriginal in the Exif IFD
      0, 0, 0, 0,                                   // 62
      1, 0,                                         // 66: IFD1
      0x01, 0x02, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0,     // 68: JPEGInterchangeFormat
      0, 0, 0, 0,                                   // 80
  };
  const auto b = Block(t);
  EXPECT_EQ(FindExifEntry(b.data(), b.size(), 0x9003), 50u) << "the Exif IFD is searched in place of its pointer";
  EXPECT_EQ(FindExifEntry(b.data(), b.size(), 0x0201), 68u);
  EXPECT_EQ(FindExifEntry(b.data(), b.size(), 0x8769), 10u);
  EXPECT_EQ(FindExifEntry(b.data(), b.size(), 0x0110), 0u);
}

TEST(ExifRead, HostileBlocksEndWithoutCrashing) {
  struct Case {
    const char* name;
    std::vector<uint8_t> tiff;
  };
  const Case cases[] = {
      {"IFD0 past the end", {'I', 'I', 0x2A, 0, 8, 0, 0, 0}},
      {"entry count past the end",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 0xFF, 0xFF, 0x0F, 0x01, 2, 0, 20, 0, 0, 0, 0, 0, 0, 0}},
      {"text offset past the end",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0, 0x03, 0x90, 2, 0, 20, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
      {"Exif pointer past the end",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0, 0x69, 0x87, 4, 0, 1, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}},
      {"IFD0 chained to itself",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0, 0x0F, 0x01, 2, 0, 20, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0}},
      {"Exif IFD pointing at IFD0",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0, 0x69, 0x87, 4, 0, 1, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0}},
      {"next IFD at 0xFFFFFFF0",
       {'I', 'I', 0x2A, 0, 8, 0, 0, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF}},
      {"less than a TIFF header", {'M'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap thumb;
    const PictureInfo info = Read(Block(c.tiff), &thumb);
    EXPECT_STREQ(info.ShotDate, "");
    EXPECT_STREQ(info.Model, "");
    EXPECT_EQ(info.ExifWidth, 0u);
    EXPECT_EQ(info.ThumbOffsetEntry, 0u);
    EXPECT_TRUE(thumb.Empty());
  }
}

TEST(ExifRead, TextAtTheEndOfTheBlockIsCutThere) {
  // DateTimeOriginal at the last 5 bytes of the block, without a NUL.
  const std::vector<uint8_t> t = {
      'I', 'I', 0x2A, 0, 8, 0, 0, 0,              // header
      1, 0,                                       // 8: IFD0
      0x03, 0x90, 2, 0, 20, 0, 0, 0, 26, 0, 0, 0,  // 10: DateTimeOriginal at 26
      0, 0, 0, 0,                                 // 22: no next IFD
      '2', '0', '0', '8', ':',                    // 26: the block ends here
  };
  EXPECT_STREQ(Read(Block(t)).ShotDate, "2008:");
}

TEST(ExifRead, TruncatedBlockReadsNothing) {
  auto bytes = Block(kMotorola);
  bytes.resize(bytes.size() - 1);  // one byte short of the stated length
  const PictureInfo info = Read(bytes);
  EXPECT_STREQ(info.Model, "");
  EXPECT_EQ(info.ExifWidth, 0u);
}

TEST(ExifRead, ThumbnailRanges) {
  // IFD1 with offset and length of a thumbnail; the JPEG follows at TIFF offset 38.
  TBitmap small;
  small.SetSize(8, 6);
  const std::vector<uint8_t> jpeg = EncodeExifThumbnail(small);
  auto make = [](uint32_t offset, uint32_t length, const std::vector<uint8_t>& jpeg) {
    std::vector<uint8_t> t = {
        'I', 'I', 0x2A, 0, 8, 0, 0, 0,  // header
        2, 0,                           // 8: IFD0 standing in for IFD1
        0x01, 0x02, 4, 0, 1, 0, 0, 0, uint8_t(offset), uint8_t(offset >> 8), uint8_t(offset >> 16), uint8_t(offset >> 24),
        0x02, 0x02, 4, 0, 1, 0, 0, 0, uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24),
        0, 0, 0, 0,  // 34: no next IFD
    };
    t.insert(t.end(), jpeg.begin(), jpeg.end());
    return Block(t);
  };
  const uint32_t n = uint32_t(jpeg.size());
  TBitmap thumb;
  PictureInfo info = Read(make(38, n, jpeg), &thumb);
  EXPECT_EQ(info.ThumbOffsetEntry, 10u);
  EXPECT_EQ(info.ThumbLengthEntry, 22u);
  EXPECT_EQ(thumb.Width(), 8);
  EXPECT_EQ(thumb.Height(), 6);
  EXPECT_EQ(thumb.PixelFormat(), pf32bit);

  for (auto [offset, length] : {std::pair<uint32_t, uint32_t>{38, n + 1}, {39, n}, {0xFFFFFFF0u, 0x20}, {38, 0xFFFFFFFFu}}) {
    SCOPED_TRACE(std::to_string(offset) + "+" + std::to_string(length));
    TBitmap t2;
    PictureInfo i2;
    i2.Thumbnail = &t2;
    const auto bytes = make(offset, length, jpeg);
    EXPECT_THROW(ReadExifInfoFromBytes(i2, bytes.data(), bytes.size()), std::runtime_error);
    EXPECT_EQ(i2.ThumbOffsetEntry, 10u) << "the fields read before the thumbnail stay filled";
  }

  // A small stream declaring a picture of more than a megapixel is no thumbnail.
  TBitmap blank, t3;
  blank.SetSize(1025, 1024);
  const std::vector<uint8_t> huge = EncodeExifThumbnail(blank);
  ASSERT_LT(huge.size(), 60000u);
  PictureInfo i3;
  i3.Thumbnail = &t3;
  const auto bytes = make(38, uint32_t(huge.size()), huge);
  try {
    ReadExifInfoFromBytes(i3, bytes.data(), bytes.size());
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("1025 x 1024"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(t3.Empty());
}

}  // namespace
