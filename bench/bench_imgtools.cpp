// Speed of the pixel algorithms on a 6000 x 4000 photo-like picture, frame = whole picture,
// next to one memcpy of the same 96 MB bitmap. Compare the figures as ratios within one run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Imgtools.h"

namespace {

constexpr int kW = 6000, kH = 4000;

// Smooth shading, a few hard-edged shapes and sensor-like noise.
void MakePhoto(TBitmap& b) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(kW, kH);
  std::vector<float> sx(kW), cy(kH);
  for (int x = 0; x < kW; ++x) sx[x] = std::sin(x / 310.0f);
  for (int y = 0; y < kH; ++y) cy[y] = std::cos(y / 190.0f);
  uint32_t seed = 12345;
  for (int y = 0; y < kH; ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < kW; ++x, p += 4) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = int(seed >> 27) - 16;
      int r = int(128 + 90 * sx[x] * cy[y]) + noise;
      int g = int(120 + 70 * cy[y]) + noise / 2 + (x * 40) / kW;
      int bl = int(110 + 80 * sx[x]) - noise / 2 + (y * 30) / kH;
      if (((x / 700) + (y / 500)) % 5 == 0) r = r / 3, g = g / 3, bl = bl / 3;  // dark patches
      if ((x - 3000) * (x - 3000) + (y - 2000) * (y - 2000) < 600 * 600) r = 250, g = 250, bl = 245;
      p[kR] = uint8_t(std::clamp(r, 0, 255));
      p[kG] = uint8_t(std::clamp(g, 0, 255));
      p[kB] = uint8_t(std::clamp(bl, 0, 255));
      p[kX] = 0;
    }
  }
}

const TBitmap& Photo() {
  static TBitmap photo;
  if (photo.Empty()) MakePhoto(photo);
  return photo;
}

// The working image, restored from the photo outside the timed part of each iteration.
TBitmap& Work() {
  static TBitmap work;
  return work;
}

// One untimed run first: the scratch buffers then exist, as they do from the second command on
// (a first command also pays the page faults of its fresh buffers).
template <class F>
void RunRestored(benchmark::State& state, F op) {
  TBitmap& w = Work();
  w.Assign(Photo());
  op(w);
  for (auto _ : state) {
    state.PauseTiming();
    w.Assign(Photo());
    state.ResumeTiming();
    op(w);
    benchmark::ClobberMemory();
  }
}

const TRect kWhole{0, 0, kW, kH};

void BM_Memcpy(benchmark::State& state) {
  TBitmap& w = Work();
  w.Assign(Photo());
  static TBitmap copy;
  copy.Assign(Photo());
  for (auto _ : state) {
    std::memcpy(copy.ScanLine(0), w.ScanLine(0), std::size_t(kW) * kH * 4);
    benchmark::ClobberMemory();
  }
}

void BM_GreyScale(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { GreyScale({b, kWhole, false, false}); });
}
void BM_GreyScaleEllipseInverted(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { GreyScale({b, {500, 400, 5500, 3600}, true, true}); });
}
void BM_ContrastUp(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { ContrastUp({b, kWhole, false, false}, 1.11); });
}
void BM_DarkContrast(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { DarkContrast({b, kWhole, false, false}); });
}
void BM_WhiteBlackSwap(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { WhiteBlackSwap({b, kWhole, false, false}); });
}
void BM_Blur1Pass(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { Convolve3x3({b, kWhole, false, false}, kBlurKernel); });
}
void BM_Sharpen(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { Convolve3x3({b, kWhole, false, false}, kSharpenKernel); });
}
void BM_Mosaic(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { Mosaic({b, kWhole, false, false}, false); });
}
void BM_EdgeRelief(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { EdgeRelief({b, kWhole, false, false}); });
}
void BM_ErrorDiffusion(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { ErrorDiffusion({b, kWhole, false, false}); });
}
void BM_Letterpress(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) {
    TRect f = kWhole;
    Letterpress(b, f, false);
  });
}
void BM_FillOutsideEllipse(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { FillOutsideEllipse(b, 0x00FFFFFF); });
}
void BM_HalvingBlur(benchmark::State& s) {
  static TBitmap blurred;
  RunRestored(s, [](TBitmap& b) { HalvingBlur(blurred, b, kH / 8); });
}

// Turning and mirroring need no restoring: every iteration works on the previous result.
void BM_RotateQuarter(benchmark::State& state) {
  TBitmap& w = Work();
  w.Assign(Photo());
  RotateQuarter(w, true);  // the turned picture's buffer, kept as scratch from then on
  for (auto _ : state) RotateQuarter(w, true);
}
void BM_MirrorImage(benchmark::State& state) {
  TBitmap& w = Work();
  w.Assign(Photo());
  for (auto _ : state) MirrorImage(w);
}
void BM_ScaleByPercent(benchmark::State& s) {
  const int percent = int(s.range(0));
  RunRestored(s, [percent](TBitmap& b) {
    TRect cut;
    ScaleByPercent(b, cut, percent);
  });
}
void BM_ResampleInto(benchmark::State& state) {
  const int percent = int(state.range(0));
  TBitmap& src = Work();
  src.Assign(Photo());
  static TBitmap dst;
  const int w = kW * percent / 100, h = kH * percent / 100;
  dst.SetSize(0, 0);
  dst.SetSize(w, h);
  for (auto _ : state) {
    ResampleInto(dst, 0, 0, w, h, src);
    benchmark::ClobberMemory();
  }
}
void BM_AddMargin(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) {
    TRect cut = kWhole;
    AddMargin(b, cut, false);
  });
}
void BM_AddRightMargin(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { AddRightMargin(b); });
}
void BM_Border3D(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { Border3D(b, 4); });
}
void BM_InsertText(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) {
    InsertText(b, {200, 200, 3000, 400}, "白板 Kestrelframe 2022", clYellow);
  });
}
void BM_StampShotDate(benchmark::State& s) {
  RunRestored(s, [](TBitmap& b) { StampShotDate(b, "2022:09:26 14:05:33"); });
}
void BM_WhiteboardClean(benchmark::State& s) {
  const bool strong = s.range(0) != 0;
  RunRestored(s, [strong](TBitmap& b) { WhiteboardClean(b, kWhole, strong); });
}

#define KF_BENCH(f) BENCHMARK(f)->Unit(benchmark::kMillisecond)->UseRealTime()
KF_BENCH(BM_Memcpy);
KF_BENCH(BM_GreyScale);
KF_BENCH(BM_GreyScaleEllipseInverted);
KF_BENCH(BM_ContrastUp);
KF_BENCH(BM_DarkContrast);
KF_BENCH(BM_WhiteBlackSwap);
KF_BENCH(BM_Blur1Pass);
KF_BENCH(BM_Sharpen);
KF_BENCH(BM_Mosaic);
KF_BENCH(BM_EdgeRelief);
KF_BENCH(BM_ErrorDiffusion);
KF_BENCH(BM_Letterpress);
KF_BENCH(BM_FillOutsideEllipse);
KF_BENCH(BM_HalvingBlur);
KF_BENCH(BM_RotateQuarter);
KF_BENCH(BM_MirrorImage);
KF_BENCH(BM_ScaleByPercent)->Arg(50)->Arg(72)->Arg(141)->Arg(200);
KF_BENCH(BM_ResampleInto)->Arg(50)->Arg(72)->Arg(141)->Arg(200);
KF_BENCH(BM_AddMargin);
KF_BENCH(BM_AddRightMargin);
KF_BENCH(BM_Border3D);
KF_BENCH(BM_InsertText);
KF_BENCH(BM_StampShotDate);
KF_BENCH(BM_WhiteboardClean)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);  // text drawing needs the font machinery
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
