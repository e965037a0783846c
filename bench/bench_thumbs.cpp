// Thumbnail list: filling a folder of 200 camera-sized JPEGs (4000 x 3000) that carry EXIF
// thumbnails, against a few of the same pictures without one, decoded whole.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "Jpegexif.h"
#include "PictureioThumbs.h"
#include "platform/Bitmap.h"
#include "platform/JpegImage.h"
#include "platform/Ui.h"

namespace {

// The clock of the program (a steady millisecond count); nothing here asks the user anything.
class BenchUi : public Ui {
 public:
  int MessageBox(TMsgDlgType, TMsgDlgButtons, const std::string& text, const std::string&) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  bool OpenPictureDialog(TFileDialog&) override { return false; }
  bool SaveDialog(TFileDialog&) override { return false; }
  bool PrintDialog(QPrinter&) override { return false; }
  bool ColorDialog(TColor&) override { return false; }
  int ShowModal(QDialog&) override { return mrCancel; }
  void Beep() override {}
  bool ShellOpen(const std::string&) override { return false; }
  bool StartElevated(const std::string&, const std::string&) override { return false; }
  TShiftState Modifiers() override { return {}; }
  uint32_t TickCount() override {
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
  }
  TDateTime Now() override { return {2024, 5, 6, 7, 8, 9}; }
};

// A photo-like picture: smooth gradients with fine texture, different for each seed.
void PaintPhoto(TBitmap& bmp, int seed) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(4000, 3000);
  uint32_t noise = 2463534242u + uint32_t(seed);
  for (int y = 0; y < bmp.Height(); ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += 4) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int n = int(noise & 15);
      p[kB] = uint8_t((x / 16 + seed * 7) + n);
      p[kG] = uint8_t((y / 12 + seed * 3) + n);
      p[kR] = uint8_t(((x + y) / 28) + n);
      p[kX] = 0;
    }
  }
}

// A temporary folder of pictures, made once and removed at exit.
class PictureFolder {
 public:
  PictureFolder(int count, bool exifThumbnails) {
    char pattern[] = "/tmp/bench_thumbs_XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no temporary folder");
    folder_ = pattern;
    TBitmap photo;
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/DSC%05d.JPG", i);
      const std::string file = folder_ + name;
      PaintPhoto(photo, i);
      if (exifThumbnails) {
        PictureInfo info;
        std::snprintf(info.ShotDate, sizeof info.ShotDate, "2024:05:06 07:%02d:%02d", i / 60 % 60, i % 60);
        std::snprintf(info.Model, sizeof info.Model, "BENCH CAMERA");
        std::string error;
        if (!WriteJpegWithExif(photo, info, file, &error)) throw std::runtime_error(error);
      } else {
        TJPEGImage jpeg;
        jpeg.Assign(photo);
        jpeg.SaveToFile(file);
      }
      entries_.push_back("@" + file);
    }
  }
  ~PictureFolder() { std::filesystem::remove_all(folder_); }
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  std::string folder_;
  std::vector<std::string> entries_;
};

Ui& TheBenchUi() {
  static BenchUi ui;
  SetUi(&ui);
  return ui;
}

// Lists the folder afresh and runs timer slices until every thumbnail is made.
void FillFolder(benchmark::State& state, const PictureFolder& folder) {
  TheBenchUi();
  const int n = int(folder.Entries().size());
  TThumbList list;
  int slices = 0;
  for (auto _ : state) {
    list.SyncThumbIndex({});
    list.SyncThumbIndex(folder.Entries());
    for (int made = 0; made < n; ++slices) made += list.MakeSomeThumbnails();
    benchmark::DoNotOptimize(list.ThumbSheet().ScanLine(0));
  }
  state.counters["per_picture"] = benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
  state.counters["slices"] = benchmark::Counter(slices, benchmark::Counter::kAvgIterations);
}

void BM_MakeSomeThumbnails_ExifThumbnails(benchmark::State& state) {
  static const PictureFolder folder(200, true);
  FillFolder(state, folder);
}
BENCHMARK(BM_MakeSomeThumbnails_ExifThumbnails)->Unit(benchmark::kMillisecond);

void BM_MakeSomeThumbnails_DecodedWhole(benchmark::State& state) {
  static const PictureFolder folder(6, false);
  FillFolder(state, folder);
}
BENCHMARK(BM_MakeSomeThumbnails_DecodedWhole)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
