// BMP reader and writer. Every field read is checked against the buffer first; sizes are
// computed in 64 bits so that no check can wrap.
#include "platform/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/Files.h"
#include "platform/PictureFile.h"

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("BMP ファイルを読み込めません: " + what); }

void Require(bool cond, const char* what) {
  if (!cond) Fail(what);
}

// Whole files of the largest picture accepted, plus room for headers, palette and profile.
constexpr std::size_t kMaxFileBytes = std::size_t(TBitmap::kMaxPixels) * 4 + (std::size_t(64) << 20);

constexpr std::size_t kFileHeaderSize = 14;

enum class Coding { Rgb, Rle8, Rle4, Rle24, BitFields };

// Reads little-endian fields; off and n are checked so that nothing past size is touched.
class Bytes {
 public:
  Bytes(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Has(uint64_t off, uint64_t n) const { return off <= size_ && size_ - off >= n; }
  uint16_t U16(std::size_t off, const char* what) const {
    Require(Has(off, 2), what);
    return uint16_t(data_[off] | data_[off + 1] << 8);
  }
  uint32_t U32(std::size_t off, const char* what) const {
    Require(Has(off, 4), what);
    return uint32_t(data_[off]) | uint32_t(data_[off + 1]) << 8 | uint32_t(data_[off + 2]) << 16 |
           uint32_t(data_[off + 3]) << 24;
  }
  const uint8_t* At(std::size_t off) const { return data_ + off; }
  std::size_t Size() const { return size_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
};

// One channel of a bit-field pixel: (v & mask) >> shift, scaled from 0..max to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = uint64_t(m) >> shift;
  }
  uint8_t operator()(uint32_t v) const {
    if (max == 0) return 0;
    return uint8_t(((uint64_t(v & mask) >> shift) * 255 + max / 2) / max);
  }
};

bool Contiguous(uint32_t m) {
  if (m == 0) return true;
  const uint32_t low = m >> std::countr_zero(m);
  return (low & (low + 1)) == 0;
}

struct Header {
  int width = 0, height = 0;
  bool topDown = false;
  int bitCount = 0;
  Coding coding = Coding::Rgb;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::size_t pixelOffset = 0;
  std::array<uint8_t, 256 * 3> palette{};  // B, G, R per entry
  int paletteCount = 0;
};

Coding CodingOf(uint32_t compression, uint32_t headerSize) {
  // Headers of 16 and 64 bytes are OS/2 2.x ones, whose codes 3 and 4 mean other methods.
  const bool os2 = headerSize == 16 || headerSize == 64;
  switch (compression) {
    case 0: return Coding::Rgb;
    case 1: return Coding::Rle8;
    case 2: return Coding::Rle4;
    case 3:
      if (os2) Fail("未対応の圧縮形式です (Huffman 1D)");
      return Coding::BitFields;
    case 4:
      if (os2) return Coding::Rle24;
      Fail("未対応の圧縮形式です (JPEG)");
    case 5: Fail("未対応の圧縮形式です (PNG)");
    case 6: return Coding::BitFields;  // with an alpha mask
    default: Fail("未対応の圧縮形式です (" + std::to_string(compression) + ")");
  }
}

Header ReadHeader(const Bytes& in) {
  Header h;
  Require(in.Has(0, kFileHeaderSize + 4), "ファイルが短すぎます");
  Require(in.At(0)[0] == 'B' && in.At(0)[1] == 'M', "BMP ファイルではありません");
  const uint32_t pixelOffset = in.U32(10, "ヘッダーが途中で切れています");
  const uint32_t headerSize = in.U32(14, "ヘッダーが途中で切れています");
  switch (headerSize) {
    case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124: break;
    default: Fail("情報ヘッダーの大きさが正しくありません (" + std::to_string(headerSize) + ")");
  }
  Require(in.Has(kFileHeaderSize, headerSize), "ヘッダーが途中で切れています");
  const char* cut = "ヘッダーが途中で切れています";

  int64_t width, height;
  int planes;
  uint32_t compression = 0, colorsUsed = 0;
  std::size_t entrySize = 4;
  if (headerSize == 12) {  // OS/2 1.x core header: unsigned 16-bit sizes, always bottom-up
    width = in.U16(18, cut);
    height = in.U16(20, cut);
    planes = in.U16(22, cut);
    h.bitCount = in.U16(24, cut);
    entrySize = 3;
  } else {
    width = int32_t(in.U32(18, cut));
    height = int32_t(in.U32(22, cut));
    planes = in.U16(26, cut);
    h.bitCount = in.U16(28, cut);
    if (headerSize >= 20) compression = in.U32(30, cut);
    if (headerSize >= 36) colorsUsed = in.U32(46, cut);
  }
  if (planes != 1) Fail("プレーン数が 1 ではありません (" + std::to_string(planes) + ")");
  switch (h.bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("未対応のビット数です (" + std::to_string(h.bitCount) + ")");
  }
  Require(width >= 0, "幅が正しくありません");
  Require(height != INT32_MIN, "高さが正しくありません");
  h.topDown = height < 0;
  height = h.topDown ? -height : height;
  if (width * height > TBitmap::kMaxPixels)
    Fail("画像が大きすぎます (" + std::to_string(width) + " x " + std::to_string(height) + ")");
  // A picture without pixels (what an empty bitmap is saved as) reads as 0 by 0.
  h.width = height == 0 ? 0 : int(width);
  h.height = width == 0 ? 0 : int(height);

  h.coding = CodingOf(compression, headerSize);
  const bool fits = (h.coding == Coding::Rgb) ||
                    (h.coding == Coding::Rle8 && h.bitCount == 8) ||
                    (h.coding == Coding::Rle4 && h.bitCount == 4) ||
                    (h.coding == Coding::Rle24 && h.bitCount == 24) ||
                    (h.coding == Coding::BitFields && (h.bitCount == 16 || h.bitCount == 32));
  Require(fits, "圧縮形式とビット数が合いません");
  Require(!h.topDown || h.coding == Coding::Rgb || h.coding == Coding::BitFields,
          "圧縮された画像は上下逆順にできません");

  // Bit-field masks: inside a header of 52 bytes or more, else right after the 40-byte header.
  std::size_t tableStart = kFileHeaderSize + headerSize;
  if (h.coding == Coding::BitFields) {
    const int count = compression == 6 || headerSize >= 56 ? 4 : 3;
    const std::size_t at = headerSize >= 52 ? kFileHeaderSize + 40 : tableStart;
    for (int i = 0; i < count; ++i) h.masks[i] = in.U32(at + 4 * i, "ビットフィールドのマスクが途中で切れています");
    if (headerSize < 52) tableStart += 4 * count;
    const uint64_t limit = h.bitCount == 32 ? 0xFFFFFFFFull : 0xFFFFull;
    uint32_t seen = 0;
    for (uint32_t m : h.masks) {
      Require(m <= limit && Contiguous(m) && (seen & m) == 0, "ビットフィールドのマスクが正しくありません");
      seen |= m;
    }
    Require((h.masks[0] | h.masks[1] | h.masks[2]) != 0, "ビットフィールドのマスクが正しくありません");
  } else if (h.bitCount == 16) {
    h.masks[0] = 0x7C00;
    h.masks[1] = 0x03E0;
    h.masks[2] = 0x001F;
  }

  Require(pixelOffset >= tableStart, "画素データの位置がヘッダーと重なっています");
  Require(pixelOffset <= in.Size(), "画素データの位置がファイルの外です");
  h.pixelOffset = pixelOffset;

  if (h.bitCount <= 8) {
    // A stated number of colours must be there; the implied full palette may be cut short by
    // pixels that start earlier.
    const bool stated = headerSize != 12 && colorsUsed != 0;
    const uint64_t claimed = stated ? colorsUsed : uint64_t(1) << h.bitCount;
    if (stated) Require(in.Has(tableStart, claimed * entrySize), "パレットがファイルに収まりません");
    const uint64_t room = (pixelOffset - tableStart) / entrySize;
    const uint64_t count = std::min<uint64_t>({claimed, room, 256});
    Require(count > 0, "パレットがありません");
    h.paletteCount = int(count);
    for (int i = 0; i < h.paletteCount; ++i)
      std::memcpy(&h.palette[i * 3], in.At(tableStart + i * entrySize), 3);
  }
  return h;
}

[[noreturn]] void BadIndex() { Fail("パレットにない色番号があります"); }

void PutIndex(uint8_t* d, unsigned index, const Header& h) {
  if (index >= unsigned(h.paletteCount)) BadIndex();
  std::memcpy(d, &h.palette[index * 3], 3);
}

void DecodeRow(const uint8_t* s, uint8_t* d, const Header& h) {
  const int w = h.width;
  switch (h.bitCount) {
    case 1: case 2: case 4: case 8: {
      const int bits = h.bitCount, perByte = 8 / bits;
      const unsigned mask = (1u << bits) - 1;
      for (int x = 0; x < w; ++x, d += 3) {
        const int shift = 8 - bits * (x % perByte + 1);
        PutIndex(d, (s[x / perByte] >> shift) & mask, h);
      }
      return;
    }
    case 24:
      if (h.coding == Coding::Rgb) {
        std::memcpy(d, s, std::size_t(w) * 3);
        return;
      }
      break;
    case 32:
      if (h.coding == Coding::Rgb) {
        std::memcpy(d, s, std::size_t(w) * 4);
        return;
      }
      break;
  }
  const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]);
  if (h.bitCount == 16) {
    for (int x = 0; x < w; ++x, s += 2, d += 3) {
      const uint32_t v = uint32_t(s[0] | s[1] << 8);
      d[kB] = b(v);
      d[kG] = g(v);
      d[kR] = r(v);
    }
  } else {
    for (int x = 0; x < w; ++x, s += 4, d += 4) {
      const uint32_t v = uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
      d[kB] = b(v);
      d[kG] = g(v);
      d[kR] = r(v);
      d[kX] = a(v);
    }
  }
}

uint64_t SourceStride(const Header& h) { return (uint64_t(h.width) * h.bitCount + 31) / 32 * 4; }

void DecodeUncompressed(const Bytes& in, const Header& h, TBitmap& out) {
  const uint64_t stride = SourceStride(h);
  for (int row = 0; row < h.height; ++row) {
    const uint8_t* s = in.At(h.pixelOffset + std::size_t(stride) * row);
    DecodeRow(s, out.ScanLine(h.topDown ? row : h.height - 1 - row), h);
  }
}

// Run-length coded pixels, into out, or only checked when out is null: the stream is checked
// whole before the picture is allocated, so a small damaged file cannot ask for a big buffer.
// Pixels the stream never sets (skipped by a delta, an early end of line or an early end of the
// picture) keep palette entry 0 (black for 24-bit runs).
void DecodeRle(const Bytes& in, const Header& h, TBitmap* out) {
  if (out) {
    uint8_t fill[3] = {0, 0, 0};
    if (h.coding != Coding::Rle24) std::memcpy(fill, &h.palette[0], 3);
    for (int y = 0; y < h.height; ++y) {
      uint8_t* d = out->ScanLine(y);
      for (int x = 0; x < h.width; ++x, d += 3) std::memcpy(d, fill, 3);
    }
  }

  const char* cut = "RLE データが途中で切れています";
  const char* outside = "RLE データが画像の外を指しています";
  std::size_t pos = h.pixelOffset;
  int x = 0, y = 0;  // y counts rows from the bottom
  auto emit = [&](const uint8_t* bgr) {
    if (out) std::memcpy(out->ScanLine(h.height - 1 - y) + std::size_t(x) * 3, bgr, 3);
    ++x;
  };
  auto entry = [&](unsigned index) {
    if (index >= unsigned(h.paletteCount)) BadIndex();
    return &h.palette[index * 3];
  };
  for (;;) {
    Require(in.Has(pos, 2), cut);
    const unsigned count = in.At(pos)[0], value = in.At(pos)[1];
    pos += 2;
    if (count > 0) {  // a run of count pixels
      Require(y < h.height && count <= unsigned(h.width - x), outside);
      if (h.coding == Coding::Rle24) {
        // The pair's second byte is blue; green and red follow.
        Require(in.Has(pos, 2), cut);
        const uint8_t px[3] = {uint8_t(value), in.At(pos)[0], in.At(pos)[1]};
        pos += 2;
        for (unsigned i = 0; i < count; ++i) emit(px);
      } else if (h.coding == Coding::Rle8) {
        const uint8_t* px = entry(value);
        for (unsigned i = 0; i < count; ++i) emit(px);
      } else {
        const uint8_t* pair[2] = {entry(value >> 4), nullptr};
        pair[1] = count > 1 ? entry(value & 15) : pair[0];
        for (unsigned i = 0; i < count; ++i) emit(pair[i % 2]);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        Require(y < h.height, outside);
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return;
      case 2: {  // delta: move right and up
        Require(in.Has(pos, 2), cut);
        const unsigned dx = in.At(pos)[0], dy = in.At(pos)[1];
        pos += 2;
        Require(dx <= unsigned(h.width - x) && dy <= unsigned(h.height - y), outside);
        x += int(dx);
        y += int(dy);
        break;
      }
      default: {  // literal run of value pixels, padded to a 16-bit boundary
        const unsigned n = value;
        const std::size_t bytes = h.coding == Coding::Rle8 ? n : h.coding == Coding::Rle4 ? (n + 1) / 2 : 3 * n;
        const std::size_t padded = (bytes + 1) / 2 * 2;
        Require(in.Has(pos, padded), cut);
        Require(y < h.height && n <= unsigned(h.width - x), outside);
        const uint8_t* s = in.At(pos);
        for (unsigned i = 0; i < n; ++i) {
          if (h.coding == Coding::Rle8) emit(entry(s[i]));
          else if (h.coding == Coding::Rle4) emit(entry(i % 2 ? s[i / 2] & 15 : s[i / 2] >> 4));
          else emit(s + 3 * i);
        }
        pos += padded;
        break;
      }
    }
  }
}

void PutU16(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}

void PutU32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

}  // namespace

void DecodeBmp(const uint8_t* data, std::size_t size, TBitmap& bmp) {
  const Bytes in(data, data ? size : 0);
  const Header h = ReadHeader(in);
  if (h.width == 0) {
    TBitmap empty;
    empty.SetPixelFormat(h.bitCount == 32 ? pf32bit : pf24bit);
    bmp.Swap(empty);
    return;
  }
  const bool rle = h.coding == Coding::Rle4 || h.coding == Coding::Rle8 || h.coding == Coding::Rle24;
  // Checked before allocating, so a short file cannot ask for a big buffer.
  if (rle) DecodeRle(in, h, nullptr);
  else Require(in.Has(h.pixelOffset, SourceStride(h) * uint64_t(h.height)), "画素データが途中で切れています");
  TBitmap out;
  out.SetPixelFormat(h.bitCount == 32 ? pf32bit : pf24bit);
  out.SetSize(h.width, h.height);
  if (rle) DecodeRle(in, h, &out);
  else DecodeUncompressed(in, h, out);
  bmp.Swap(out);
}

std::vector<uint8_t> EncodeBmp(const TBitmap& bmp) {
  const int bpp = bmp.BytesPerPixel();
  const std::size_t rowBytes = std::size_t(bmp.Width()) * bpp;
  const std::size_t stride = (rowBytes + 3) / 4 * 4;
  const std::size_t imageBytes = stride * std::size_t(bmp.Height());
  constexpr std::size_t kHeaders = kFileHeaderSize + 40;
  if (imageBytes > 0xFFFFFFFFu - kHeaders) throw std::runtime_error("画像が大きすぎて BMP ファイルに保存できません");
  std::vector<uint8_t> out(kHeaders + imageBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, uint32_t(out.size()));  // file size
  PutU32(out, 10, kHeaders);             // pixel offset
  PutU32(out, 14, 40);                   // BITMAPINFOHEADER
  PutU32(out, 18, uint32_t(bmp.Width()));
  PutU32(out, 22, uint32_t(bmp.Height()));  // positive: bottom-up
  PutU16(out, 26, 1);                       // planes
  PutU16(out, 28, uint32_t(bpp * 8));
  PutU32(out, 30, 0);  // uncompressed
  PutU32(out, 34, uint32_t(imageBytes));
  // Resolution, colours used and important stay 0; row padding stays 0.
  uint8_t* d = out.data() + kHeaders;
  for (int y = bmp.Height() - 1; y >= 0; --y, d += stride) std::memcpy(d, bmp.ScanLine(y), rowBytes);
  return out;
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  DecodePictureFile(fileName, kMaxFileBytes, [this](const uint8_t* d, std::size_t n) { DecodeBmp(d, n, *this); });
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  const std::vector<uint8_t> bytes = EncodeBmp(*this);
  std::string error;
  if (!files::WriteFileAtomic(fileName, bytes.data(), bytes.size(), &error))
    throw std::runtime_error("BMP ファイルを保存できません: " + error);
}
