// Every operation on empty and very small pictures: defined sizes, nothing outside the bitmap.
#include <gtest/gtest.h>

#include <functional>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

struct Op {
  const char* name;
  std::function<void(TBitmap&)> run;
  // Size after the operation on a w x h picture.
  std::function<std::pair<int, int>(int, int)> size;
};

std::pair<int, int> Same(int w, int h) { return {w, h}; }

TEST(TinyPictures, EveryOperationKeepsToTheBitmap) {
  const std::vector<Op> ops = {
      {"FillOutsideEllipse", [](TBitmap& b) { FillOutsideEllipse(b, 0x00FFFFFF); }, Same},
      {"HalvingBlur into itself", [](TBitmap& b) { HalvingBlur(b, b, 0); }, Same},
      {"ContrastUp", [](TBitmap& b) { ContrastUp({b, {0, 0, 9, 9}, true, false}, 1.11); }, Same},
      {"ContrastUp inverted", [](TBitmap& b) { ContrastUp({b, {0, 0, 1, 1}, true, true}, 0.5); }, Same},
      {"DarkContrast", [](TBitmap& b) { DarkContrast({b, {-1, -1, 9, 9}, false, false}); }, Same},
      {"GreyScale", [](TBitmap& b) { GreyScale({b, {0, 0, 2, 2}, true, true}); }, Same},
      {"WhiteBlackSwap", [](TBitmap& b) { WhiteBlackSwap({b, {0, 0, 9, 9}, false, false}); }, Same},
      {"blur", [](TBitmap& b) { Convolve3x3({b, {0, 0, 9, 9}, false, false}, kBlurKernel); }, Same},
      {"sharpen inverted", [](TBitmap& b) { Convolve3x3({b, {1, 1, 2, 2}, true, true}, kSharpenKernel); }, Same},
      {"Mosaic", [](TBitmap& b) { Mosaic({b, {0, 0, 9, 9}, false, true}, true); }, Same},
      {"EdgeRelief", [](TBitmap& b) { EdgeRelief({b, {-3, -3, 9, 9}, false, false}); }, Same},
      {"ErrorDiffusion", [](TBitmap& b) { ErrorDiffusion({b, {0, 0, 9, 9}, true, true}); }, Same},
      {"Letterpress",
       [](TBitmap& b) {
         TRect f{-2, -2, 9, 9};
         Letterpress(b, f, true);
       },
       Same},
      {"RotateQuarter", [](TBitmap& b) { RotateQuarter(b, false); }, [](int w, int h) { return std::pair{h, w}; }},
      {"MirrorImage", [](TBitmap& b) { MirrorImage(b); }, Same},
      {"ScaleByPercent 72",
       [](TBitmap& b) {
         TRect c;
         ScaleByPercent(b, c, 72);
       },
       // Equal sizes are a copy (0 x 0 stays); otherwise the resampler raises sides to 2.
       [](int w, int h) {
         const int nw = w * 72 / 100, nh = h * 72 / 100;
         return nw == w && nh == h ? std::pair{w, h} : std::pair{std::max(nw, 2), std::max(nh, 2)};
       }},
      {"AddMargin",
       [](TBitmap& b) {
         TRect c;
         AddMargin(b, c, false);
       },
       [](int w, int h) { return std::pair{w + 16, h + 16}; }},
      {"AddRightMargin", [](TBitmap& b) { AddRightMargin(b); }, [](int w, int h) { return std::pair{2 * w, h}; }},
      {"Border3D", [](TBitmap& b) { Border3D(b, 4); }, Same},
      {"InsertText", [](TBitmap& b) { InsertText(b, {0, 0, 5, 5}, "Ag", clRed); }, Same},
      {"StampShotDate", [](TBitmap& b) { StampShotDate(b, "2022:09:26 14:05:33"); }, Same},
      {"WhiteboardClean", [](TBitmap& b) { WhiteboardClean(b, {0, 0, 9, 9}, false); }, Same},
      {"WhiteboardClean strong", [](TBitmap& b) { WhiteboardClean(b, {0, 0, 9, 9}, true); }, Same},
      {"stages", [](TBitmap& b) {
         MarkerRestore(b, 0, 0, 9, 9);
         BoostStrokes(b, 0, 0, 9, 9);
         ColourStrokes(b, 0, 0, 9, 9);
         FillGaps(b, 0, 0, 9, 9);
       },
       Same},
  };
  const std::pair<int, int> sizes[] = {{0, 0}, {0, 3}, {1, 1}, {1, 5}, {5, 1}, {2, 2}, {3, 3}, {4, 7}, {11, 10}};
  for (const Op& op : ops)
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(::testing::Message() << op.name << " on " << w << " x " << h);
      TBitmap b;
      Make(b, w, h, Photo);
      op.run(b);
      EXPECT_EQ(std::pair(b.Width(), b.Height()), op.size(w, h));
      EXPECT_EQ(b.PixelFormat(), pf32bit);
    }
}

}  // namespace
