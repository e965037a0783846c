// Perspective straightening of a 6000 x 4000 photo to a 24 MP output, against a plain copy of
// a bitmap of the output's size and a fresh bitmap of that size, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>

#include "ImgtoolsStraighten.h"

namespace {

constexpr int kW = 6000, kH = 4000;
// An obliquely shot board: the top edge 10 % shorter than the bottom. Output 6000 x 4021.
const std::array<TPointF, 4> kCorners{{{300, 200}, {5700, 200}, {5999, 3999}, {0, 3999}}};
constexpr TRect kView{0, 0, kW, kH};
constexpr int kOutW = 6000, kOutH = 4021;

void MakePhoto(TBitmap& b, int w, int h) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 4) {
      p[0] = uint8_t(x * 13 + y * 7);
      p[1] = uint8_t(x * 5 + y * 29 + ((x ^ y) & 31));
      p[2] = uint8_t(x * 37 + y * 11);
      p[3] = 0;
    }
  }
}

void BM_StraightenQuad(benchmark::State& state) {
  TBitmap source, picture;
  MakePhoto(source, kW, kH);
  for (auto _ : state) {
    state.PauseTiming();
    picture.Assign(source);
    std::array<TPointF, 4> corners = kCorners;
    state.ResumeTiming();
    StraightenQuad(picture, corners, kView, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(picture.ScanLine(0));
  }
  if (picture.Width() != kOutW || picture.Height() != kOutH) state.SkipWithError("unexpected output size");
  state.SetItemsProcessed(state.iterations() * int64_t(kOutW) * kOutH);
}
BENCHMARK(BM_StraightenQuad)->Arg(kStraightenNone)->Arg(kStraightenWeak)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyOutputSize(benchmark::State& state) {
  TBitmap from, to;
  MakePhoto(from, kOutW, kOutH);
  MakePhoto(to, kOutW, kOutH);
  const std::size_t bytes = std::size_t(from.Stride()) * kOutH;
  for (auto _ : state) {
    std::memcpy(to.ScanLine(0), from.ScanLine(0), bytes);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kOutW) * kOutH);
}
BENCHMARK(BM_CopyOutputSize)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FreshBitmapOutputSize(benchmark::State& state) {
  for (auto _ : state) {
    TBitmap b;
    b.SetSize(kOutW, kOutH);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kOutW) * kOutH);
}
BENCHMARK(BM_FreshBitmapOutputSize)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
