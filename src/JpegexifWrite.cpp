// The EXIF writer: the program's own 192-byte APP1 header and thumbnail before the picture.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "Jpegexif.h"
#include "platform/Bitmap.h"
#include "platform/Files.h"
#include "platform/JpegImage.h"

// Offsets in the comments are from the APP1 marker; TIFF offsets count from byte 10.
const uint8_t ExifHeaderTemplate[kExifHeaderSize] = {
    0xFF, 0xE1,                    // 0: APP1 marker
    0x00, 0x00,                    // 2: segment length N + 190, big-endian (filled)
    'E', 'x', 'i', 'f', 0, 0,      // 4: EXIF identifier
    'I', 'I', 0x2A, 0x00,          // 10: TIFF header, little-endian, 42
    0x08, 0x00, 0x00, 0x00,        // 14: IFD0 at TIFF 8
    0x03, 0x00,                    // 18: IFD0, 3 entries
    0x10, 0x01, 0x02, 0x00, 0x14, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00,  // 20: Model, ASCII, 20, at 50
    0x32, 0x01, 0x02, 0x00, 0x14, 0x00, 0x00, 0x00, 0x46, 0x00, 0x00, 0x00,  // 32: DateTime, ASCII, 20, at 70
    0x69, 0x87, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x5A, 0x00, 0x00, 0x00,  // 44: Exif IFD, LONG, 1, 90
    0x98, 0x00, 0x00, 0x00,        // 56: next IFD (IFD1) at 152
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 60: Model text (filled)
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 80: DateTime text (filled)
    0x03, 0x00,                    // 100: Exif IFD, 3 entries
    0x03, 0x90, 0x02, 0x00, 0x14, 0x00, 0x00, 0x00, 0x84, 0x00, 0x00, 0x00,  // 102: DateTimeOriginal, at 132
    0x02, 0xA0, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 114: PixelXDimension (filled)
    0x03, 0xA0, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 126: PixelYDimension (filled)
    0x00, 0x00, 0x00, 0x00,        // 138: no next IFD
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 142: DateTimeOriginal text (filled)
    0x02, 0x00,                    // 162: IFD1, 2 entries
    0x01, 0x02, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0xB6, 0x00, 0x00, 0x00,  // 164: thumbnail at 182
    0x02, 0x02, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 176: thumbnail length N (filled)
    0x00, 0x00, 0x00, 0x00,        // 188: no next IFD
};

namespace {

constexpr std::size_t kModelSlot = 60, kDateTimeSlot = 80, kDateTimeOriginalSlot = 142, kSlotBytes = 20;
constexpr std::size_t kWidthValue = 122, kHeightValue = 134, kThumbLengthValue = 184;
constexpr int kQuality = 90;

void PutLong(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

void PutText(uint8_t* slot, const std::string& text) {
  std::memset(slot, 0, kSlotBytes);
  std::memcpy(slot, text.data(), std::min(text.size(), kSlotBytes - 1));
}

std::vector<uint8_t> Encode(const TBitmap& bmp, int quality) {
  TJPEGImage jpeg;
  jpeg.CompressionQuality = quality;
  jpeg.Assign(bmp);
  return jpeg.Data();
}

}  // namespace

std::string ExifModelMark(const char* model) {
  std::string m(model, strnlen(model, sizeof(PictureInfo::Model)));
  if (m.empty() || m[0] != '*') {
    if (m.find_first_not_of(' ') == std::string::npos)
      m = "*Kestrelframe";
    else
      m = "*" + m;
  }
  return m.substr(0, kSlotBytes - 1);
}

std::string ExifDateText(const char* shotDate) {
  std::string d(shotDate, strnlen(shotDate, sizeof(PictureInfo::ShotDate)));
  d = d.substr(0, 19);
  if (d.size() >= 5) d[4] = ':';
  if (d.size() >= 8) d[7] = ':';
  return d;
}

std::vector<uint8_t> EncodeExifThumbnail(const TBitmap& thumbnail, std::size_t limit) {
  for (int quality : {kQuality, 75, 50, 25}) {
    std::vector<uint8_t> jpeg = Encode(thumbnail, quality);
    if (jpeg.size() <= limit) return jpeg;
  }
  // Still too big: halve the picture until it fits; a tiny JPEG is a few hundred bytes.
  TBitmap smaller;
  smaller.Assign(thumbnail);
  for (;;) {
    const int w = std::max(1, smaller.Width() / 2), h = std::max(1, smaller.Height() / 2);
    TBitmap half;
    half.SetSize(w, h);
    FitPictureInBox(half, 0, 0, w, h, smaller);
    std::vector<uint8_t> jpeg = Encode(half, 25);
    if (jpeg.size() <= limit || (w == 1 && h == 1)) {
      if (jpeg.size() > limit) throw std::runtime_error("EXIF: no thumbnail fits in " + std::to_string(limit) + " bytes");
      return jpeg;
    }
    smaller.Swap(half);
  }
}

bool WriteJpegWithExif(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName, std::string* error) {
  const std::vector<uint8_t> picture = Encode(bmp, kQuality);
  const std::string model = ExifModelMark(info.Model);
  const std::string date = ExifDateText(info.ShotDate);

  TBitmap thumbnail;
  if (bmp.Width() > bmp.Height())
    thumbnail.SetSize(160, 120);
  else
    thumbnail.SetSize(120, 160);
  FitPictureInBox(thumbnail, 0, 0, thumbnail.Width(), thumbnail.Height(), bmp);
  const std::vector<uint8_t> thumb = EncodeExifThumbnail(thumbnail);

  uint8_t header[kExifHeaderSize];
  std::memcpy(header, ExifHeaderTemplate, kExifHeaderSize);
  const std::size_t segment = thumb.size() + 190;
  header[2] = uint8_t(segment >> 8);
  header[3] = uint8_t(segment);
  PutText(header + kModelSlot, model);
  PutText(header + kDateTimeSlot, date);
  PutText(header + kDateTimeOriginalSlot, date);
  PutLong(header + kWidthValue, uint32_t(bmp.Width()) & 0xFFFF);
  PutLong(header + kHeightValue, uint32_t(bmp.Height()) & 0xFFFF);
  PutLong(header + kThumbLengthValue, uint32_t(thumb.size()));

  std::vector<uint8_t> file;
  file.reserve(picture.size() + kExifHeaderSize + thumb.size());
  file.insert(file.end(), picture.begin(), picture.begin() + 2);
  file.insert(file.end(), header, header + kExifHeaderSize);
  file.insert(file.end(), thumb.begin(), thumb.end());
  file.insert(file.end(), picture.begin() + 2, picture.end());
  const bool written = files::WriteFileAtomic(fileName, file.data(), file.size(), error);

  SetFileTimeByShotDate(fileName, date);
  return written;
}
