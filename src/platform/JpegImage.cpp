// TJPEGImage on libjpeg. libjpeg reports errors by calling error_exit, which must not return;
// here it longjmps back to the libjpeg call made in this file, and the C++ caller throws.
// No C++ object with a destructor lives between a setjmp and the libjpeg calls it guards.
#include "platform/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/Files.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// A progressive file with more scans than this is refused: decoding it could take minutes.
constexpr int kMaxScans = 500;
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;

struct ErrorManager {
  jpeg_error_mgr pub;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager& ErrorsOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorManager*>(cinfo->err); }

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager& e = ErrorsOf(cinfo);
  (*cinfo->err->format_message)(cinfo, e.message);
  std::longjmp(e.jump, 1);
}

// Warnings (corrupt entropy data, a missing end marker) are not errors: the decoder goes on and
// fills what is missing, as viewers do.
void OutputMessage(j_common_ptr) {}

void Progress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    ErrorManager& e = ErrorsOf(cinfo);
    std::snprintf(e.message, sizeof e.message, "Too many scans (more than %d)", kMaxScans);
    std::longjmp(e.jump, 1);
  }
}

void InitErrors(ErrorManager& e, jpeg_common_struct& cinfo) {
  std::memset(&e, 0, sizeof e);
  cinfo.err = jpeg_std_error(&e.pub);
  e.pub.error_exit = ErrorExit;
  e.pub.output_message = OutputMessage;
  e.progress.progress_monitor = Progress;
}

[[noreturn]] void Fail(const char* message) { throw std::runtime_error(std::string("JPEG: ") + message); }

class Decompressor {
 public:
  Decompressor() {
    std::memset(&cinfo_, 0, sizeof cinfo_);
    InitErrors(err_, *reinterpret_cast<jpeg_common_struct*>(&cinfo_));
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  bool ReadHeader(const uint8_t* data, std::size_t size) {
    if (setjmp(err_.jump)) return false;
    jpeg_create_decompress(&cinfo_);
    cinfo_.progress = &err_.progress;
    jpeg_mem_src(&cinfo_, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo_, TRUE);
    return true;
  }

  bool Start(J_COLOR_SPACE out) {
    if (setjmp(err_.jump)) return false;
    cinfo_.out_color_space = out;
    jpeg_start_decompress(&cinfo_);
    return true;
  }

  // Rows go straight into rows[y] when convert is null, else through scratch and convert.
  bool ReadRows(uint8_t* const* rows, uint8_t* scratch, void (*convert)(const uint8_t*, uint8_t*, int, bool, int),
                bool adobe, int bpp) {
    if (setjmp(err_.jump)) return false;
    while (cinfo_.output_scanline < cinfo_.output_height) {
      const JDIMENSION y = cinfo_.output_scanline;
      JSAMPROW target = convert ? scratch : rows[y];
      if (jpeg_read_scanlines(&cinfo_, &target, 1) != 1) break;
      if (convert) convert(scratch, rows[y], int(cinfo_.output_width), adobe, bpp);
    }
    return true;
  }

  jpeg_decompress_struct& Info() { return cinfo_; }
  const char* Message() const { return err_.message; }

 private:
  jpeg_decompress_struct cinfo_;
  ErrorManager err_;
};

void GreyToBgr(const uint8_t* s, uint8_t* d, int w, bool, int bpp) {
  for (int x = 0; x < w; ++x, d += bpp) d[kB] = d[kG] = d[kR] = s[x];
}

// Adobe writes CMYK inverted (255 = no ink); other writers store plain ink amounts.
void CmykToBgr(const uint8_t* s, uint8_t* d, int w, bool adobe, int bpp) {
  for (int x = 0; x < w; ++x, s += 4, d += bpp) {
    int c = s[0], m = s[1], y = s[2], k = s[3];
    if (!adobe) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    d[kR] = uint8_t((c * k + 127) / 255);
    d[kG] = uint8_t((m * k + 127) / 255);
    d[kB] = uint8_t((y * k + 127) / 255);
  }
}

// Destination growing a malloc buffer that this file owns, so nothing leaks on an error.
struct MemoryDestination {
  jpeg_destination_mgr pub;
  uint8_t* buffer;
  std::size_t capacity;
};

MemoryDestination& DestinationOf(j_compress_ptr cinfo) { return *reinterpret_cast<MemoryDestination*>(cinfo->dest); }

void InitDestination(j_compress_ptr cinfo) {
  MemoryDestination& d = DestinationOf(cinfo);
  d.capacity = 65536;
  d.buffer = static_cast<uint8_t*>(std::malloc(d.capacity));
  if (!d.buffer) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  d.pub.next_output_byte = d.buffer;
  d.pub.free_in_buffer = d.capacity;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  MemoryDestination& d = DestinationOf(cinfo);
  auto* grown = static_cast<uint8_t*>(std::realloc(d.buffer, d.capacity * 2));
  if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  d.buffer = grown;
  d.pub.next_output_byte = d.buffer + d.capacity;
  d.pub.free_in_buffer = d.capacity;
  d.capacity *= 2;
  return TRUE;
}

void TermDestination(j_compress_ptr) {}

class Compressor {
 public:
  Compressor() {
    std::memset(&cinfo_, 0, sizeof cinfo_);
    std::memset(&dest_, 0, sizeof dest_);
    InitErrors(err_, *reinterpret_cast<jpeg_common_struct*>(&cinfo_));
    dest_.pub.init_destination = InitDestination;
    dest_.pub.empty_output_buffer = EmptyOutputBuffer;
    dest_.pub.term_destination = TermDestination;
  }
  ~Compressor() {
    jpeg_destroy_compress(&cinfo_);
    std::free(dest_.buffer);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  bool Compress(const TBitmap& bmp, int quality) {
    if (setjmp(err_.jump)) return false;
    jpeg_create_compress(&cinfo_);
    cinfo_.dest = &dest_.pub;
    cinfo_.image_width = JDIMENSION(bmp.Width());
    cinfo_.image_height = JDIMENSION(bmp.Height());
    cinfo_.input_components = bmp.BytesPerPixel();
    cinfo_.in_color_space = bmp.PixelFormat() == pf32bit ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality, TRUE);
    jpeg_start_compress(&cinfo_, TRUE);
    while (cinfo_.next_scanline < cinfo_.image_height) {
      JSAMPROW row = const_cast<JSAMPROW>(bmp.ScanLine(int(cinfo_.next_scanline)));
      jpeg_write_scanlines(&cinfo_, &row, 1);
    }
    jpeg_finish_compress(&cinfo_);
    return true;
  }

  const uint8_t* Bytes() const { return dest_.buffer; }
  std::size_t Size() const { return dest_.capacity - dest_.pub.free_in_buffer; }
  const char* Message() const { return err_.message; }

 private:
  jpeg_compress_struct cinfo_;
  MemoryDestination dest_;
  ErrorManager err_;
};

}  // namespace

void TJPEGImage::LoadFromFile(const std::string& fileName) {
  auto bytes = files::ReadFileBytes(fileName, kMaxFileBytes);
  if (!bytes) throw std::runtime_error("ファイルを開けません: " + fileName);
  try {
    LoadFromMemory(bytes->data(), bytes->size());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string(e.what()) + " (" + fileName + ")");
  }
}

void TJPEGImage::LoadFromMemory(const uint8_t* data, std::size_t size) {
  data_.clear();
  width_ = height_ = 0;
  Decompressor d;
  if (!d.ReadHeader(data, size)) Fail(d.Message());
  data_.assign(data, data + size);
  width_ = int(d.Info().image_width);
  height_ = int(d.Info().image_height);
}

void TJPEGImage::AssignTo(TBitmap& bmp, TPixelFormat format) const {
  if (data_.empty()) Fail("no picture");
  Decompressor d;
  if (!d.ReadHeader(data_.data(), data_.size())) Fail(d.Message());
  jpeg_decompress_struct& info = d.Info();
  if (int64_t(info.image_width) * info.image_height > TBitmap::kMaxPixels)
    throw std::runtime_error("画像が大きすぎます (" + std::to_string(info.image_width) + " x " +
                             std::to_string(info.image_height) + ")");
  J_COLOR_SPACE out = format == pf32bit ? JCS_EXT_BGRX : JCS_EXT_BGR;
  void (*convert)(const uint8_t*, uint8_t*, int, bool, int) = nullptr;
  int scratchBytes = 0;
  if (info.jpeg_color_space == JCS_GRAYSCALE) {
    out = JCS_GRAYSCALE;
    convert = GreyToBgr;
    scratchBytes = 1;
  } else if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    out = JCS_CMYK;
    convert = CmykToBgr;
    scratchBytes = 4;
  }
  if (!d.Start(out)) Fail(d.Message());

  TBitmap result;
  result.SetPixelFormat(format);
  result.SetSize(int(info.output_width), int(info.output_height));
  std::vector<uint8_t*> rows(std::size_t(result.Height()));
  for (int y = 0; y < result.Height(); ++y) rows[std::size_t(y)] = result.ScanLine(y);
  std::vector<uint8_t> scratch(std::size_t(scratchBytes) * std::size_t(result.Width()));
  if (!d.ReadRows(rows.data(), scratch.data(), convert, info.saw_Adobe_marker != 0, result.BytesPerPixel()))
    Fail(d.Message());
  if (format == pf32bit) {
    for (int y = 0; y < result.Height(); ++y) {
      uint8_t* p = result.ScanLine(y);
      for (int x = 0; x < result.Width(); ++x) p[x * 4 + kX] = 0;
    }
  }
  bmp.Swap(result);
}

void TJPEGImage::Assign(const TBitmap& bmp) {
  Compressor c;
  const int quality = CompressionQuality < 1 ? 1 : CompressionQuality > 100 ? 100 : CompressionQuality;
  if (!c.Compress(bmp, quality)) Fail(c.Message());
  data_.assign(c.Bytes(), c.Bytes() + c.Size());
  width_ = bmp.Width();
  height_ = bmp.Height();
}

void TJPEGImage::SaveToFile(const std::string& fileName) const {
  std::string error;
  if (!files::WriteFileAtomic(fileName, data_.data(), data_.size(), &error))
    throw std::runtime_error("ファイルを書き込めません: " + error);
}
