// Drawing of one row of the thumbnail list, and the folder picture of its folder rows.
#include "PictureioThumbs.h"
#include "platform/Files.h"

namespace {

constexpr TColor kListBackground = RGB(194, 208, 239);

constexpr int kNamePosition = 11, kSizePosition = 31, kModelPosition = 51, kTextWidth = 20;
constexpr int kSizeColumnBytes = 10;

// Keeps a canvas's pen, brush and font over the drawing of one row.
class CanvasState {
 public:
  explicit CanvasState(TCanvas& c) : c_(c), pen_(c.Pen), brush_(c.Brush), font_(c.Font) {}
  ~CanvasState() {
    c_.Pen = pen_;
    c_.Brush = brush_;
    c_.Font = font_;
  }
  CanvasState(const CanvasState&) = delete;
  CanvasState& operator=(const CanvasState&) = delete;

 private:
  TCanvas& c_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
};

void Text(TCanvas& c, int x, int y, int height, TColor colour, const std::string& text) {
  c.Font.Height = height;
  c.Font.Color = colour;
  c.TextOut(x, y, text);
}

}  // namespace

void DrawFolderPicture(TBitmap& bmp) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(0, 0);
  bmp.SetSize(kThumbSize, kThumbSize);
  TCanvas& c = bmp.Canvas();
  const TBrush brush = c.Brush;
  c.Brush.Style = bsSolid;
  const auto fill = [&](TColor colour, const TRect& r) {
    c.Brush.Color = colour;
    c.FillRect(r);
  };
  const auto frame = [&](TColor colour, const TRect& r) {
    c.Brush.Color = colour;
    c.FrameRect(r);
  };
  const TColor outline = RGB(128, 88, 16), back = RGB(224, 168, 40), front = RGB(252, 208, 88);
  fill(kListBackground, {0, 0, kThumbSize, kThumbSize});
  fill(RGB(150, 160, 190), {9, 22, 61, 57});  // shadow
  // The back with its tab, then the front flap a little lower.
  fill(back, {6, 12, 28, 20});
  frame(outline, {6, 12, 28, 20});
  fill(back, {6, 18, 58, 54});
  frame(outline, {6, 18, 58, 54});
  fill(front, {6, 26, 58, 54});
  frame(outline, {6, 26, 58, 54});
  fill(RGB(255, 236, 160), {7, 27, 57, 29});  // light along the flap's top edge
  c.Brush = brush;
}

TThumbItemText ThumbItemText(const std::string& line) {
  TThumbItemText t;
  const std::string entry = IndexLineEntry(line);
  const std::string path = entry.empty() ? std::string() : entry.substr(1);
  t.Name = files::ExtractFileName(path);
  if (!entry.empty() && entry[0] == '#') return t;
  std::string size = SjisPart(line, kSizePosition, kTextWidth);
  const std::size_t dots = size.find("..");
  if (dots != std::string::npos) {
    size.erase(dots);
    const int width = SjisWidth(size);
    if (width < kSizeColumnBytes) size.append(std::size_t(kSizeColumnBytes - width), ' ');
    size += "+ｻﾑﾈｲﾙ";
  }
  t.Kind = files::UpperCase(files::ExtractFileExt(path)) + " " + size;
  t.Info = SjisPart(line, kNamePosition, kTextWidth) + SjisPart(line, kModelPosition, kTextWidth);
  return t;
}

void TThumbList::DrawThumbItem(TCanvas& canvas, int k, const TRect& rect, TOwnerDrawState state,
                               const TBitmap& folderPicture) {
  if (k < 0 || std::size_t(k) >= index_.size()) return;
  const CanvasState keep(canvas);
  canvas.FillRect(rect);
  const int px = rect.Left + 2, py = rect.Top + 2, column = rect.Left + 70;
  const TThumbItemText text = ThumbItemText(index_[std::size_t(k)]);
  const std::string entry = IndexLineEntry(index_[std::size_t(k)]);
  if (!entry.empty() && entry[0] == '#') {
    canvas.Draw(px, py, folderPicture);
    canvas.Brush.Style = bsClear;
    Text(canvas, column, rect.Top + 6, 16, clBlack, text.Name);
    return;
  }
  const int cell = IndexLineCell(index_[std::size_t(k)]);
  if (cell >= 0) {
    const int cx = (cell % kThumbCellsPerRow) * kThumbSize, cy = (cell / kThumbCellsPerRow) * kThumbSize;
    canvas.CopyRect({px, py, px + kThumbSize, py + kThumbSize}, sheet_.Canvas(),
                    {cx, cy, cx + kThumbSize, cy + kThumbSize});
  }
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = clBlack;
  canvas.FrameRect({px - 1, py - 1, px + kThumbSize + 1, py + kThumbSize + 1});
  canvas.Brush.Style = bsClear;
  const TColor name = state.Selected ? RGB(255, 128, 255) : clBlack;
  const TColor other = state.Selected ? RGB(170, 255, 170) : RGB(0, 128, 0);
  Text(canvas, column, rect.Top + 6, 16, name, text.Name);
  Text(canvas, column + 8, rect.Top + 28, 12, other, text.Kind);
  Text(canvas, column + 8, rect.Top + 44, 12, other, text.Info);
}
