// The resampler's three paths and the halving blur.
#include <gtest/gtest.h>

#include <cmath>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

uint8_t Byte(uint32_t v, int c) { return uint8_t(v >> (8 * c)); }

// Block average with the block size of the case table, every byte alike.
uint32_t BoxAt(const TBitmap& s, int x, int y, int w, int h, int bw, int bh) {
  const int sW = s.Width(), sH = s.Height();
  const int sx = x * sW / w, sy = y * sH / h;
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    int sum = 0;
    for (int j = 0; j < bh; ++j)
      for (int i = 0; i < bw; ++i) sum += Byte(Px(s, std::min(sx + i, sW - 1), std::min(sy + j, sH - 1)), c);
    out |= uint32_t(sum / (bw * bh)) << (8 * c);
  }
  return out;
}

struct Tap {
  int s0, s1, w;
};
Tap TapAt(int i, int n, int srcN, double offset) {
  const double f = i * (double(srcN) / n) + offset;
  const int s = std::min(int(std::floor(f)), srcN - 1);
  return {s, std::min(s + 1, srcN - 1), int((f - s) * 256)};
}

// Bilinear value with the offsets of the case table.
uint32_t BilinearAt(const TBitmap& s, int x, int y, int w, int h, double ox, double oy) {
  const Tap tx = TapAt(x, w, s.Width(), ox), ty = TapAt(y, h, s.Height(), oy);
  const int w00 = ((256 - tx.w) * (256 - ty.w)) >> 8, w01 = (tx.w * (256 - ty.w)) >> 8;
  const int w10 = ((256 - tx.w) * ty.w) >> 8, w11 = (tx.w * ty.w) >> 8;
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    const int v = (Byte(Px(s, tx.s0, ty.s0), c) * w00 + Byte(Px(s, tx.s1, ty.s0), c) * w01 +
                   Byte(Px(s, tx.s0, ty.s1), c) * w10 + Byte(Px(s, tx.s1, ty.s1), c) * w11) >>
                  8;
    out |= uint32_t(v & 255) << (8 * c);
  }
  return out;
}

struct SizeCase {
  const char* name;
  int sW, sH, dW, dH;
  bool box;
  int bw, bh;      // box
  double ox, oy;   // bilinear
};

const SizeCase kSizeCases[] = {
    {"100 to 50: 2 x 2 blocks", 100, 100, 50, 50, true, 2, 2, 0, 0},
    {"100 to 30: overlapping 4 x 4 blocks", 100, 100, 30, 30, true, 4, 4, 0, 0},
    {"100 to 50 x 90: box on both axes", 100, 100, 50, 90, true, 2, 2, 0, 0},
    {"100 to 72: bilinear, offset 0.2", 100, 100, 72, 72, false, 0, 0, 0.2, 0.2},
    {"100 to 141: bilinear, offset 0.2", 100, 100, 141, 141, false, 0, 0, 0.2, 0.2},
    {"100 to 200: bilinear, offset 0.2", 100, 100, 200, 200, false, 0, 0, 0.2, 0.2},
    {"180 to 100: ratio 1.8 keeps offset 0.2", 180, 20, 100, 20, false, 0, 0, 0.2, 0.2},
    {"190 to 100: offset 0.5", 190, 20, 100, 20, false, 0, 0, 0.5, 0.2},
    {"7 x 5 to 3 x 9: box across, single rows down", 7, 5, 3, 9, true, 3, 1, 0, 0},
    {"6000 x 3 to 2 x 3: blocks of 3000 x 1", 6000, 3, 2, 3, true, 3000, 1, 0, 0},
    {"600 to 2: blocks of 300 x 300", 600, 600, 2, 2, true, 300, 300, 0, 0},
};

TEST(ResampleInto, SizesPickMethodBlockAndOffset) {
  for (const SizeCase& c : kSizeCases) {
    SCOPED_TRACE(c.name);
    TBitmap src, dst;
    Make(src, c.sW, c.sH, Photo);
    MakeFlat(dst, c.dW, c.dH, 0x12345678);
    ResampleInto(dst, 0, 0, c.dW, c.dH, src);
    ASSERT_EQ(dst.Width(), c.dW);
    ASSERT_EQ(dst.Height(), c.dH);
    EXPECT_TRUE(PixelsAre(dst, [&](int x, int y) {
      return c.box ? BoxAt(src, x, y, c.dW, c.dH, c.bw, c.bh) : BilinearAt(src, x, y, c.dW, c.dH, c.ox, c.oy);
    }));
  }
}

TEST(ResampleInto, HandComputedPixels) {
  // 2 x 2 source, B = 100 + x, G = 50 · y, R = 200, X = 40 · (x + y): to 4 x 4 (ratio 0.5, offset 0.2).
  TBitmap src, dst;
  MakeRows(src, {{Pix(200, 0, 100, 0), Pix(200, 0, 101, 40)}, {Pix(200, 50, 100, 40), Pix(200, 50, 101, 80)}});
  MakeFlat(dst, 4, 4, 0);
  ResampleInto(dst, 0, 0, 4, 4, src);
  // (0, 0): f = 0.2 on both axes, wx = wy = 51; w00 = 205·205 >> 8 = 164, w01 = w10 = 40, w11 = 10
  // (sum 254): B = (100·164 + 101·40 + 100·40 + 101·10) >> 8 = 25450 >> 8 = 99;
  // G = (50·40 + 50·10) >> 8 = 9; R = 200·254 >> 8 = 198; X = (40·40 + 40·40 + 80·10) >> 8 = 15.
  EXPECT_EQ(Px(dst, 0, 0), Pix(198, 9, 99, 15));
  // (3, 3): f = 1.7 runs past the last row and column: s = s1 = 1, w = (int)(0.7 · 256) = 179;
  // weights 23 + 53 + 53 + 125 = 254, all on (1, 1): B = 101·254 >> 8 = 100, G = 50·254 >> 8 = 49,
  // R = 200·254 >> 8 = 198, X = 80·254 >> 8 = 79.
  EXPECT_EQ(Px(dst, 3, 3), Pix(198, 49, 100, 79));
}

TEST(ResampleInto, EqualSizesCopyWholeIgnoringTheRectangle) {
  TBitmap src, dst;
  Make(src, 5, 4, Photo);
  MakeFlat(dst, 5, 4, 0);
  ResampleInto(dst, 2, 1, 3, 2, src);
  EXPECT_TRUE(SamePixels(dst, src));
}

TEST(ResampleInto, OnePixelSideGrowsToTwo) {
  // A 1 x 4 source is widened to 2 x 4 with the canvas brush colour (white) in the new column.
  TBitmap src, dst;
  Make(src, 1, 4, [](int, int y) { return Pix(10 * y, 20, 30, 40); });
  TBitmap widened;
  Make(widened, 2, 4, [](int x, int y) { return x == 0 ? Pix(10 * y, 20, 30, 40) : 0x00FFFFFFu; });
  MakeFlat(dst, 4, 4, 0);
  ResampleInto(dst, 0, 0, 4, 4, src);
  EXPECT_EQ(src.Width(), 2);
  EXPECT_TRUE(SamePixels(src, widened));
  EXPECT_TRUE(PixelsAre(dst, [&](int x, int y) { return BilinearAt(widened, x, y, 4, 4, 0.2, 0.2); }));

  // A destination smaller than 2 x 2 is enlarged: 4 x 4 to 2 x 2 averages 2 x 2 blocks.
  TBitmap big, one;
  Make(big, 4, 4, Photo);
  MakeFlat(one, 1, 1, 0);
  ResampleInto(one, 0, 0, 1, 1, big);
  ASSERT_EQ(one.Width(), 2);
  ASSERT_EQ(one.Height(), 2);
  EXPECT_TRUE(PixelsAre(one, [&](int x, int y) { return BoxAt(big, x, y, 2, 2, 2, 2); }));
}

TEST(ResampleInto, WritesOnlyTheRectangle) {
  // Paste to the right: a 4 x 4 picture drawn into the right half of an 8 x 4 one.
  TBitmap src, dst;
  Make(src, 4, 4, Photo);
  MakeFlat(dst, 8, 4, 0x00ABCDEF);
  ResampleInto(dst, 4, 0, 8, 4, src);
  EXPECT_TRUE(PixelsAre(dst, [&](int x, int y) {
    return x < 4 ? 0x00ABCDEFu : BilinearAt(src, x - 4, y, 4, 4, 0.2, 0.2);
  }));
  // Clipped to the destination: R and B beyond it are cut, L and T below 0 raised.
  MakeFlat(dst, 8, 4, 0x00ABCDEF);
  ResampleInto(dst, -3, -1, 100, 100, src);
  EXPECT_TRUE(PixelsAre(dst, [&](int x, int y) { return BilinearAt(src, x, y, 8, 4, 0.2, 0.2); }));
}

TEST(ResampleInto, RectangleTurnedInsideOutByClippingDrawsNothing) {
  // L = 5 and R = 3 (or a rectangle left of the picture, clipped to R = 2 with L = 5): no pixel.
  TBitmap src, dst;
  Make(src, 4, 4, Photo);
  MakeFlat(dst, 8, 6, 0x00ABCDEF);
  ResampleInto(dst, 5, 0, 3, 6, src);
  ResampleInto(dst, 5, 5, -10, -10, src);
  EXPECT_TRUE(PixelsAre(dst, [](int, int) { return 0x00ABCDEFu; }));
}

TEST(ResampleInto, ConvertsBothTo32Bits) {
  TBitmap src, dst;
  src.SetPixelFormat(pf24bit);
  src.SetSize(6, 6);
  dst.SetPixelFormat(pf24bit);
  dst.SetSize(3, 3);
  ResampleInto(dst, 0, 0, 3, 3, src);
  EXPECT_EQ(src.PixelFormat(), pf32bit);
  EXPECT_EQ(dst.PixelFormat(), pf32bit);
  EXPECT_TRUE(PixelsAre(dst, [](int, int) { return 0x00FFFFFFu; }));
}

// The steps of the halving blur spelt out with the resampler.
void HalvingChain(TBitmap& out, const TBitmap& in, int limit) {
  TBitmap src, a, b;
  src.Assign(in);
  a.SetSize(src.Width() / 2, src.Height() / 2);
  ResampleInto(a, 0, 0, a.Width(), a.Height(), src);
  while (a.Width() > limit && a.Height() > limit && a.Width() > 2 && a.Height() > 2) {
    b.SetSize(0, 0);
    b.SetSize(a.Width() / 2, a.Height() / 2);
    ResampleInto(b, 0, 0, b.Width(), b.Height(), a);
    a.Swap(b);
  }
  out.SetSize(in.Width(), in.Height());
  ResampleInto(out, 0, 0, in.Width(), in.Height(), a);
}

TEST(HalvingBlur, HalvesDownToTheLimitThenEnlarges) {
  struct Case {
    const char* name;
    int w, h, limit;
  };
  const Case cases[] = {
      {"64 x 48, limit 6: 32 x 24, 16 x 12, 8 x 6", 64, 48, 6},
      {"40 x 40, limit 5", 40, 40, 5},
      {"small side under 16, limit 1: stops at a side of 2", 10, 100, 1},
      {"limit 0", 7, 9, 0},
      {"3 x 3", 3, 3, 0},
      {"2 x 2", 2, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap src, dst, want;
    Make(src, c.w, c.h, Photo);
    HalvingBlur(dst, src, c.limit);
    HalvingChain(want, src, c.limit);
    EXPECT_TRUE(SamePixels(dst, want));
    EXPECT_EQ(src.Width(), c.w);
  }
}

TEST(HalvingBlur, OnePixelSideKeepsBothSizes) {
  // The source is never grown; a 1-pixel side is widened only inside the blur, and the result
  // has the source's size. 1 x 5: a widened 2 x 5 copy gives A = 2 x 2, enlarged to 2 x 5, of
  // which the first column is kept.
  TBitmap src, dst, wide, want;
  Make(src, 1, 5, Photo);
  Make(wide, 2, 5, [](int x, int y) { return x == 0 ? Photo(0, y) : 0x00FFFFFFu; });
  HalvingChain(want, wide, 0);
  want.SetSize(1, 5);
  HalvingBlur(dst, src, 0);
  EXPECT_EQ(src.Width(), 1);
  EXPECT_EQ(src.Height(), 5);
  EXPECT_TRUE(SamePixels(dst, want));

  TBitmap dot, out;
  MakeFlat(dot, 1, 1, Grey(100));
  HalvingBlur(out, dot, 0);
  EXPECT_EQ(out.Width(), 1);
  EXPECT_EQ(out.Height(), 1);
  EXPECT_EQ(dot.Width(), 1);

  TBitmap none, result;
  MakeFlat(result, 3, 3, 0);
  HalvingBlur(result, none, 0);
  EXPECT_TRUE(result.Empty());
}

TEST(HalvingBlur, SoftensAnEdge) {
  // A hard vertical edge 0 | 255 becomes a rising ramp several pixels long.
  TBitmap src, dst;
  Make(src, 64, 64, [](int x, int) { return x < 32 ? 0u : 0x00FFFFFFu; });
  HalvingBlur(dst, src, 8);
  int between = 0;
  for (int x = 0; x < 64; ++x) {
    const uint32_t v = Px(dst, x, 32) & 0xFF;
    if (v > 10 && v < 245) ++between;
    if (x > 0) {
      EXPECT_GE(v, Px(dst, x - 1, 32) & 0xFF) << "x " << x;
    }
  }
  EXPECT_GE(between, 4);
  EXPECT_LT(Px(dst, 2, 32) & 0xFF, 5u);
}

}  // namespace
