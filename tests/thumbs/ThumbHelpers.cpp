#include "ThumbHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "Jpegexif.h"
#include "platform/BmpCodec.h"
#include "support/TestFiles.h"

void WriteSolidBmp(const std::string& fileName, int w, int h, TColor colour) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.Canvas().Brush.Color = colour;
  bmp.SetSize(w, h);
  WriteAll(fileName, EncodeBmp(bmp));
}

TColor PixelAt(const TBitmap& bmp, int x, int y) {
  const uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return RGB(p[kR], p[kG], p[kB]);
}

void DecodeWithTool(TBitmap& bmp, const std::string& command) {
  bmp.SetSize(0, 0);
  int status = -1;
  const std::string out = RunCommand(command, &status);
  ASSERT_EQ(status, 0) << command;
  // P6, width, height, 255, one blank, then R, G, B samples.
  std::size_t pos = 0;
  std::vector<int> header;
  std::string magic;
  while (header.size() < 3 && pos < out.size()) {
    while (pos < out.size() && std::isspace(static_cast<unsigned char>(out[pos]))) ++pos;
    const std::size_t start = pos;
    while (pos < out.size() && !std::isspace(static_cast<unsigned char>(out[pos]))) ++pos;
    const std::string token = out.substr(start, pos - start);
    if (magic.empty())
      magic = token;
    else
      header.push_back(std::atoi(token.c_str()));
  }
  ++pos;
  ASSERT_EQ(magic, "P6") << command;
  ASSERT_EQ(header.size(), 3u) << command;
  const int w = header[0], h = header[1];
  ASSERT_EQ(header[2], 255) << command;
  ASSERT_GE(out.size() - pos, std::size_t(w) * h * 3) << command;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* d = bmp.ScanLine(y);
    const char* s = out.data() + pos + std::size_t(y) * w * 3;
    for (int x = 0; x < w; ++x, d += 4, s += 3) {
      d[kR] = uint8_t(s[0]);
      d[kG] = uint8_t(s[1]);
      d[kB] = uint8_t(s[2]);
      d[kX] = 0;
    }
  }
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

void ExpectedCell(TBitmap& cell, const TBitmap& picture) {
  cell.SetPixelFormat(pf32bit);
  cell.SetSize(kThumbSize, kThumbSize);
  FitPictureInBox(cell, 0, 0, kThumbSize, kThumbSize, picture);
}

int CellDifference(const TBitmap& sheet, int cell, const TBitmap& expected, std::string* where) {
  const int cx = (cell % kThumbCellsPerRow) * kThumbSize, cy = (cell / kThumbCellsPerRow) * kThumbSize;
  if (sheet.Width() < cx + kThumbSize || sheet.Height() < cy + kThumbSize) {
    *where = "the sheet does not hold the cell";
    return 256;
  }
  int worst = 0;
  for (int y = 0; y < kThumbSize; ++y)
    for (int x = 0; x < kThumbSize; ++x) {
      const TColor a = PixelAt(sheet, cx + x, cy + y), b = PixelAt(expected, x, y);
      const int d = std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                              std::abs(GetBValue(a) - GetBValue(b))});
      if (d > worst) {
        worst = d;
        char text[160];
        std::snprintf(text, sizeof text, "cell pixel (%d, %d): sheet RGB(%d, %d, %d), expected RGB(%d, %d, %d)", x, y,
                      GetRValue(a), GetGValue(a), GetBValue(a), GetRValue(b), GetGValue(b), GetBValue(b));
        *where = text;
      }
    }
  return worst;
}

std::vector<int> Cells(const TThumbList& list) {
  std::vector<int> cells;
  for (const std::string& line : list.ThumbIndex()) cells.push_back(IndexLineCell(line));
  return cells;
}
