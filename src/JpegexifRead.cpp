// The EXIF reader: the leading APP1 block, the IFD search and the fields the program uses.
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "Jpegexif.h"
#include "platform/Bitmap.h"
#include "platform/JpegImage.h"

namespace {

constexpr std::size_t kTiffStart = 12;  // file byte of TIFF offset 0
constexpr std::size_t kTextBytes = 20;
// Real files chain at most a handful of IFDs on the searched path.
constexpr int kMaxIfds = 32;
// A 64 KB segment holds no real thumbnail beyond this; a header claiming more is hostile.
constexpr int64_t kMaxThumbnailPixels = int64_t(1) << 20;

constexpr uint16_t kTagModel = 0x0110, kTagExifIfd = 0x8769, kTagDateTimeOriginal = 0x9003,
                   kTagPixelX = 0xA002, kTagPixelY = 0xA003, kTagThumbOffset = 0x0201, kTagThumbLength = 0x0202;

// The TIFF structure inside a block; every read is checked against the block's end.
class Tiff {
 public:
  Tiff(const uint8_t* block, std::size_t size)
      : data_(size > kTiffStart ? block + kTiffStart : block), size_(size > kTiffStart ? size - kTiffStart : 0),
        little_(size_ > 0 && data_[0] == 'I') {}

  bool Has(uint64_t offset, uint64_t length) const { return offset <= size_ && size_ - offset >= length; }

  bool Read16(uint64_t offset, uint16_t& v) const {
    if (!Has(offset, 2)) return false;
    const uint8_t* p = data_ + offset;
    v = little_ ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]);
    return true;
  }
  bool Read32(uint64_t offset, uint32_t& v) const {
    if (!Has(offset, 4)) return false;
    const uint8_t* p = data_ + offset;
    v = little_ ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    return true;
  }
  uint16_t U16(uint64_t offset) const {
    uint16_t v = 0;
    Read16(offset, v);
    return v;
  }
  uint32_t U32(uint64_t offset) const {
    uint32_t v = 0;
    Read32(offset, v);
    return v;
  }

  // Up to the first NUL, max bytes, or the end of the block, into a zeroed field.
  void CopyText(uint64_t offset, std::size_t max, char* field) const {
    for (std::size_t i = 0; i < max && Has(offset + i, 1) && data_[offset + i] != 0; ++i) field[i] = char(data_[offset + i]);
  }

  const uint8_t* At(uint64_t offset) const { return data_ + offset; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  bool little_;
};

class EntrySearch {
 public:
  EntrySearch(const Tiff& tiff, uint16_t tag) : tiff_(tiff), tag_(tag) {}

  // The IFD at ifd and its chain of next IFDs.
  uint32_t Walk(uint32_t ifd) {
    while (ifd != 0) {
      if (Seen(ifd)) return 0;
      uint16_t count = 0;
      if (!tiff_.Read16(ifd, count)) return 0;
      for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = uint64_t(ifd) + 2 + 12 * uint64_t(i);
        if (!tiff_.Has(entry, 12)) return 0;
        const uint16_t tag = tiff_.U16(entry);
        if (tag == tag_) return uint32_t(entry);
        if (tag == kTagExifIfd) {
          if (const uint32_t found = Walk(tiff_.U32(entry + 8))) return found;
        }
      }
      uint32_t next = 0;
      if (!tiff_.Read32(uint64_t(ifd) + 2 + 12 * uint64_t(count), next)) return 0;
      ifd = next;
    }
    return 0;
  }

 private:
  bool Seen(uint32_t ifd) {
    if (visited_ == kMaxIfds) return true;
    for (int i = 0; i < visited_; ++i)
      if (seen_[i] == ifd) return true;
    seen_[visited_++] = ifd;
    return false;
  }

  const Tiff& tiff_;
  uint16_t tag_;
  uint32_t seen_[kMaxIfds] = {};
  int visited_ = 0;
};

uint32_t Find(const Tiff& tiff, uint16_t tag) { return EntrySearch(tiff, tag).Walk(8); }

void ClearKeepingThumbnail(PictureInfo& info) {
  TBitmap* thumbnail = info.Thumbnail;
  info = PictureInfo{};
  info.Thumbnail = thumbnail;
}

void ParseExifBlock(PictureInfo& info, const uint8_t* block, std::size_t size) {
  const Tiff tiff(block, size);

  const uint32_t x = Find(tiff, kTagPixelX), y = Find(tiff, kTagPixelY);
  if (x && y) {
    // SHORT and LONG values alike, in either byte order, for sizes below 65536.
    info.ExifWidth = tiff.U16(x + 8);
    info.ExifHeight = tiff.U16(y + 8);
    if (info.ExifWidth == 0) {
      info.ExifWidth = tiff.U32(x + 8);
      info.ExifHeight = tiff.U32(y + 8);
    }
  }
  if (const uint32_t e = Find(tiff, kTagDateTimeOriginal)) tiff.CopyText(tiff.U32(e + 8), kTextBytes, info.ShotDate);
  if (const uint32_t e = Find(tiff, kTagModel)) {
    // A text of up to 4 bytes lies in the value field itself, and ends there.
    if (tiff.U32(e + 4) <= 4)
      tiff.CopyText(e + 8, 4, info.Model);
    else
      tiff.CopyText(tiff.U32(e + 8), kTextBytes, info.Model);
  }

  if (!info.Thumbnail) return;
  info.ThumbOffsetEntry = Find(tiff, kTagThumbOffset);
  info.ThumbLengthEntry = Find(tiff, kTagThumbLength);
  if (!info.ThumbOffsetEntry || !info.ThumbLengthEntry) {
    info.Thumbnail->SetSize(0, 0);
    return;
  }
  const uint32_t offset = tiff.U32(info.ThumbOffsetEntry + 8), length = tiff.U32(info.ThumbLengthEntry + 8);
  if (!tiff.Has(offset, length))
    throw std::runtime_error("EXIF: the thumbnail (" + std::to_string(length) + " bytes at " + std::to_string(offset) +
                             ") lies outside the EXIF block");
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(tiff.At(offset), length);
  if (int64_t(jpeg.Width()) * jpeg.Height() > kMaxThumbnailPixels)
    throw std::runtime_error("EXIF: the thumbnail claims " + std::to_string(jpeg.Width()) + " x " +
                             std::to_string(jpeg.Height()) + " pixels");
  jpeg.AssignTo(*info.Thumbnail, pf32bit);
}

struct CloseFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::size_t ExifBlockSize(const uint8_t* head, std::size_t n) {
  static constexpr uint8_t kStart[4] = {0xFF, 0xD8, 0xFF, 0xE1};
  if (n < 16 || std::memcmp(head, kStart, 4) != 0 || std::memcmp(head + 6, "Exif", 4) != 0) return 0;
  const std::size_t length = std::size_t(head[4]) << 8 | head[5];
  return length == 0 ? 0 : length + 4;
}

std::vector<uint8_t> ReadExifBlock(const std::string& fileName) {
  std::unique_ptr<std::FILE, CloseFile> f(std::fopen(fileName.c_str(), "rb"));
  if (!f) return {};
  uint8_t head[16];
  if (std::fread(head, 1, sizeof head, f.get()) != sizeof head) return {};
  const std::size_t size = ExifBlockSize(head, sizeof head);
  if (size == 0) return {};
  std::vector<uint8_t> block(size);
  if (std::fseek(f.get(), 0, SEEK_SET) != 0 || std::fread(block.data(), 1, size, f.get()) != size) return {};
  return block;
}

uint32_t FindExifEntry(const uint8_t* block, std::size_t size, uint16_t tag) { return Find(Tiff(block, size), tag); }

void ReadExifInfo(PictureInfo& info, const std::string& fileName) {
  ClearKeepingThumbnail(info);
  const std::vector<uint8_t> block = ReadExifBlock(fileName);
  if (!block.empty()) ParseExifBlock(info, block.data(), block.size());
}

void ReadExifInfoFromBytes(PictureInfo& info, const uint8_t* data, std::size_t size) {
  ClearKeepingThumbnail(info);
  const std::size_t blockSize = ExifBlockSize(data, size);
  if (blockSize != 0 && blockSize <= size) ParseExifBlock(info, data, blockSize);
}
