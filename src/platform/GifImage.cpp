// TGIFImage on giflib 5: record-by-record reading up to the first frame, one-frame writing.
#include "platform/GifImage.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/Canvas.h"
#include "platform/Files.h"

namespace {

constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("GIF: " + what); }
[[noreturn]] void FailCode(int code) {
  const char* text = GifErrorString(code);
  Fail(text ? text : "error " + std::to_string(code));
}

struct Reader {
  const uint8_t* data;
  std::size_t size, pos;
};

int ReadBytes(GifFileType* gif, GifByteType* buf, int n) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const std::size_t take = std::min<std::size_t>(std::size_t(std::max(n, 0)), r->size - r->pos);
  if (take > 0) std::memcpy(buf, r->data + r->pos, take);
  r->pos += take;
  return int(take);
}

struct CloseDecoder {
  void operator()(GifFileType* gif) const {
    int err = 0;
    DGifCloseFile(gif, &err);
  }
};
using Decoder = std::unique_ptr<GifFileType, CloseDecoder>;

Decoder Open(Reader& reader) {
  int err = 0;
  GifFileType* gif = DGifOpen(&reader, ReadBytes, &err);
  if (!gif) FailCode(err);
  return Decoder(gif);
}

struct Rgb {
  uint8_t r, g, b;
};

// Skips the sub-blocks of an extension; remembers the transparent index of a graphic control block.
void ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) FailCode(gif->Error);
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) FailCode(gif->Error);
  }
}

}  // namespace

uint8_t WebPaletteIndex(uint8_t r, uint8_t g, uint8_t b) {
  // 51 is odd, so no value lies halfway between two levels.
  return uint8_t((r + 25) / 51 * 36 + (g + 25) / 51 * 6 + (b + 25) / 51);
}

void TGIFImage::LoadFromFile(const std::string& fileName) {
  auto bytes = files::ReadFileBytes(fileName, kMaxFileBytes);
  if (!bytes) throw std::runtime_error("ファイルを開けません: " + fileName);
  try {
    LoadFromMemory(bytes->data(), bytes->size());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string(e.what()) + " (" + fileName + ")");
  }
}

void TGIFImage::LoadFromMemory(const uint8_t* data, std::size_t size) {
  data_.clear();
  width_ = height_ = 0;
  Reader reader{data, size, 0};
  Decoder gif = Open(reader);
  data_.assign(data, data + size);
  width_ = gif->SWidth;
  height_ = gif->SHeight;
}

void TGIFImage::AssignTo(TBitmap& bmp, TPixelFormat format) const {
  if (data_.empty()) Fail("no picture");
  Reader reader{data_.data(), data_.size(), 0};
  Decoder gif = Open(reader);

  Rgb background{255, 255, 255};
  if (const ColorMapObject* map = gif->SColorMap; map && gif->SBackGroundColor < map->ColorCount) {
    const GifColorType& c = map->Colors[gif->SBackGroundColor];
    background = {c.Red, c.Green, c.Blue};
  }
  TBitmap result;
  result.SetPixelFormat(format);
  result.Canvas().Brush.Color = RGB(background.r, background.g, background.b);
  result.SetSize(gif->SWidth, gif->SHeight);

  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) != GIF_OK) FailCode(gif->Error);
    if (type == TERMINATE_RECORD_TYPE) {  // no image at all: the empty screen
      bmp.Swap(result);
      return;
    }
    if (type == EXTENSION_RECORD_TYPE) {
      ReadExtension(gif.get(), transparent);
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif.get()) != GIF_OK) FailCode(gif->Error);
    break;
  }

  const GifImageDesc& frame = gif->Image;
  // Without any colour table index 0 is black and every other index white.
  Rgb palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = i == 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (map) {
    for (int i = 0; i < 256; ++i) palette[i] = Rgb{0, 0, 0};  // indices past the table
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
      palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue};
  }

  const int fw = frame.Width, fh = frame.Height;
  if (fw > 0 && fh > 0) {
    std::vector<GifPixelType> line(static_cast<std::size_t>(fw));
    const int bpp = result.BytesPerPixel();
    auto putRow = [&](int row) {
      const int y = frame.Top + row;
      if (y < 0 || y >= result.Height()) return;
      uint8_t* d = result.ScanLine(y);
      for (int x = 0; x < fw; ++x) {
        const int sx = frame.Left + x;
        if (sx >= result.Width()) break;
        if (line[std::size_t(x)] == transparent) continue;
        const Rgb& c = palette[line[std::size_t(x)]];
        uint8_t* p = d + std::ptrdiff_t(sx) * bpp;
        p[kB] = c.b;
        p[kG] = c.g;
        p[kR] = c.r;
      }
    };
    auto readRow = [&](int row) {
      if (DGifGetLine(gif.get(), line.data(), fw) != GIF_OK) FailCode(gif->Error);
      putRow(row);
    };
    if (frame.Interlace) {
      static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass)
        for (int row = kStart[pass]; row < fh; row += kStep[pass]) readRow(row);
    } else {
      for (int row = 0; row < fh; ++row) readRow(row);
    }
  }
  bmp.Swap(result);
}

namespace {

int WriteBytes(GifFileType* gif, const GifByteType* buf, int n) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), buf, buf + n);
  } catch (...) {
    return 0;  // giflib reports a write failure; no exception crosses its C frames
  }
  return n;
}

}  // namespace

void TGIFImage::Assign(const TBitmap& bmp) {
  if (bmp.Empty()) Fail("empty picture");
  if (bmp.Width() > 65535 || bmp.Height() > 65535)
    Fail("picture too big (" + std::to_string(bmp.Width()) + " x " + std::to_string(bmp.Height()) + ")");
  GifColorType colours[256] = {};
  for (int i = 0; i < 216; ++i)
    colours[i] = {GifByteType(i / 36 * 51), GifByteType(i / 6 % 6 * 51), GifByteType(i % 6 * 51)};
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(GifMakeMapObject(256, colours), GifFreeMapObject);
  if (!map) Fail("out of memory");

  std::vector<uint8_t> out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, WriteBytes, &err);
  if (!gif) FailCode(err);
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, bmp.Width(), bmp.Height(), 8, 0, map.get()) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, bmp.Width(), bmp.Height(), false, nullptr) == GIF_OK;
  std::vector<GifPixelType> line(static_cast<std::size_t>(bmp.Width()));
  const int bpp = bmp.BytesPerPixel();
  for (int y = 0; ok && y < bmp.Height(); ++y) {
    const uint8_t* s = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, s += bpp) line[std::size_t(x)] = WebPaletteIndex(s[kR], s[kG], s[kB]);
    ok = EGifPutLine(gif, line.data(), bmp.Width()) == GIF_OK;
  }
  const int writeError = ok ? 0 : gif->Error;
  if (EGifCloseFile(gif, &err) != GIF_OK && ok) FailCode(err);
  if (!ok) FailCode(writeError);
  data_ = std::move(out);
  width_ = bmp.Width();
  height_ = bmp.Height();
}

void TGIFImage::SaveToFile(const std::string& fileName) const {
  std::string error;
  if (!files::WriteFileAtomic(fileName, data_.data(), data_.size(), &error))
    throw std::runtime_error("ファイルを書き込めません: " + error);
}
