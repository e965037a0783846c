// TCanvas: exact pixel loops on memory surfaces (lines, fills, copies), QPainter for the rest.
#include "platform/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

#include "platform/Bitmap.h"
#include "platform/CanvasTarget.h"

namespace {

QColor ToQColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

int BytesPerPixel(const QImage& img) { return img.format() == QImage::Format_BGR888 ? 3 : 4; }

// Font for a positive cell height: the largest pixel size whose QFontMetrics::height() fits the
// cell. Faces are scaled in whole pixels, so some heights (24 and 96 with the IPA faces) are
// skipped; their text is one pixel smaller and the cell keeps the height asked for.
QFont MakeFont(const TFont& f) {
  QFont font(QString::fromStdString(f.Name));
  font.setBold(f.Bold);
  font.setStyleStrategy(QFont::PreferDefault);
  if (f.Height < 0) {
    font.setPixelSize(-f.Height);
    return font;
  }
  static std::map<std::tuple<std::string, bool, int>, int> cache;
  const auto key = std::make_tuple(f.Name, f.Bold, f.Height);
  auto it = cache.find(key);
  if (it == cache.end()) {
    int best = std::max(f.Height, 1);
    for (int px = std::max(1, f.Height * 2 / 3); px <= f.Height + 2; ++px) {
      font.setPixelSize(px);
      const int h = QFontMetrics(font).height();
      if (h <= f.Height) best = px;
      if (h >= f.Height) break;
    }
    it = cache.emplace(key, best).first;
  }
  font.setPixelSize(it->second);
  return font;
}

int CellHeight(const TFont& f, const QFontMetrics& fm) { return f.Height > 0 ? f.Height : fm.height(); }

void PutPixel(QImage& img, int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
  uint8_t* p = img.scanLine(y) + x * BytesPerPixel(img);
  p[kB] = GetBValue(c);
  p[kG] = GetGValue(c);
  p[kR] = GetRValue(c);
}

void Fill(QImage& img, TRect r, TColor c) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min<int32_t>(r.Right, img.width());
  r.Bottom = std::min<int32_t>(r.Bottom, img.height());
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  const int bpp = BytesPerPixel(img);
  const uint8_t px[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint8_t* p = img.scanLine(y) + r.Left * bpp;
    for (int x = r.Left; x < r.Right; ++x, p += bpp) std::memcpy(p, px, bpp);
  }
}

// Nearest-neighbour copy of src (sampled at pixel centres) into dest, clipped to dst.
void Sample(QImage& dst, const TRect& dest, const QImage& src, const TRect& from) {
  const int64_t dw = dest.Width(), dh = dest.Height(), sw = from.Width(), sh = from.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int x0 = std::max(dest.Left, 0), x1 = std::min<int64_t>(dest.Right, dst.width());
  const int y0 = std::max(dest.Top, 0), y1 = std::min<int64_t>(dest.Bottom, dst.height());
  if (x0 >= x1 || y0 >= y1) return;
  const int dbpp = BytesPerPixel(dst), sbpp = BytesPerPixel(src);
  std::vector<int> srcX(x1 - x0);
  for (int x = x0; x < x1; ++x) srcX[x - x0] = from.Left + int(((2 * (x - dest.Left) + 1) * sw) / (2 * dw));
  for (int y = y0; y < y1; ++y) {
    const int sy = from.Top + int(((2 * (y - dest.Top) + 1) * sh) / (2 * dh));
    if (sy < 0 || sy >= src.height()) continue;
    const uint8_t* srow = src.constScanLine(sy);
    uint8_t* d = dst.scanLine(y) + x0 * dbpp;
    for (int x = x0; x < x1; ++x, d += dbpp) {
      const int sx = srcX[x - x0];
      if (sx < 0 || sx >= src.width()) continue;
      const uint8_t* s = srow + sx * sbpp;
      d[kB] = s[kB];
      d[kG] = s[kG];
      d[kR] = s[kR];
      if (dbpp == 4) d[kX] = sbpp == 4 ? s[kX] : 0;
    }
  }
}

// The target's own open painter, or a new one on its device for one operation.
class Painting {
 public:
  explicit Painting(TCanvasTarget& t) : shared_(t.Painter()) {
    if (!shared_ && t.Device()) own_.emplace(t.Device());
    p_ = shared_ ? shared_ : (own_ ? &*own_ : nullptr);
    if (p_) p_->save();
  }
  ~Painting() {
    if (p_) p_->restore();
  }
  explicit operator bool() const { return p_ != nullptr; }
  QPainter* operator->() { return p_; }

 private:
  QPainter* shared_;
  std::optional<QPainter> own_;
  QPainter* p_ = nullptr;
};

QImage WrapBitmap(const TBitmap& bmp) {
  if (bmp.Empty()) return QImage();
  return QImage(bmp.ScanLine(0), bmp.Width(), bmp.Height(), bmp.Stride(),
                bmp.PixelFormat() == pf32bit ? QImage::Format_RGB32 : QImage::Format_BGR888);
}

}  // namespace

TCanvas::TCanvas(TCanvasTarget& target) : target_(target) {}
TCanvas::~TCanvas() = default;

TRect TCanvas::ClipRect() const {
  const QPaintDevice* d = target_.Device();
  if (!d) return {};
  return {0, 0, d->width(), d->height()};
}

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  const TPoint from = penPos_;
  penPos_ = {x, y};
  if (Pen.Style == psClear) return;
  QImage* img = target_.Image();
  if (img && Pen.Width <= 1) {
    // Bresenham, end point excluded.
    int x0 = from.X, y0 = from.Y;
    const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
      PutPixel(*img, x0, y0, Pen.Color);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  } else if (Painting p{target_}) {
    p->setPen(QPen(ToQColor(Pen.Color), std::max(Pen.Width, 1), Qt::SolidLine, Qt::RoundCap));
    p->drawLine(from.X, from.Y, x, y);
  }
  target_.Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  {
    Painting p{target_};
    if (!p) return;
    if (Pen.Style == psClear) p->setPen(Qt::NoPen);
    else p->setPen(QPen(ToQColor(Pen.Color), std::max(Pen.Width, 1)));
    if (Brush.Style == bsClear) p->setBrush(Qt::NoBrush);
    else p->setBrush(ToQColor(Brush.Color));
    p->drawEllipse(QRect(x1, y1, std::max(x2 - x1 - 1, 0), std::max(y2 - y1 - 1, 0)));
  }
  target_.Changed();
}

void TCanvas::FillRect(const TRect& r) {
  if (Brush.Style == bsClear) return;
  if (QImage* img = target_.Image()) {
    Fill(*img, r, Brush.Color);
  } else if (Painting p{target_}) {
    p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(Brush.Color));
  }
  target_.Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const TBrushStyle style = Brush.Style;
  Brush.Style = bsSolid;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1});
  FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
  FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
  FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
  Brush.Style = style;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  const QString s = QString::fromStdString(text);
  const QFont font = MakeFont(Font);
  const QFontMetrics fm(font);
  {
    Painting p{target_};
    if (!p) return;
    if (Brush.Style == bsSolid)
      p->fillRect(QRect(x, y, fm.horizontalAdvance(s), CellHeight(Font, fm)), ToQColor(Brush.Color));
    p->setFont(font);
    p->setPen(ToQColor(Font.Color));
    p->drawText(QPoint(x, y + fm.ascent()), s);
  }
  target_.Changed();
}

int TCanvas::TextWidth(const std::string& text) {
  return QFontMetrics(MakeFont(Font)).horizontalAdvance(QString::fromStdString(text));
}

int TCanvas::TextHeight(const std::string&) { return CellHeight(Font, QFontMetrics(MakeFont(Font))); }

void TCanvas::Draw(int x, int y, const TBitmap& bmp) {
  StretchDraw({x, y, x + bmp.Width(), y + bmp.Height()}, bmp);
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bmp) {
  if (bmp.Empty()) return;
  const QImage src = WrapBitmap(bmp);
  if (QImage* img = target_.Image()) {
    Sample(*img, r, src, {0, 0, bmp.Width(), bmp.Height()});
  } else if (Painting p{target_}) {
    p->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), src);
  }
  target_.Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  QImage* from = source.target_.Image();
  if (!from) return;
  if (&source == this) {
    const QImage copy = from->copy();
    Sample(*from, dest, copy, sourceRect);
  } else if (QImage* img = target_.Image()) {
    Sample(*img, dest, *from, sourceRect);
  } else if (Painting p{target_}) {
    p->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), *from,
                 QRect(sourceRect.Left, sourceRect.Top, sourceRect.Width(), sourceRect.Height()));
  }
  target_.Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  QImage* img = target_.Image();
  if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height()) return 0;
  const uint8_t* p = img->constScanLine(y) + x * BytesPerPixel(*img);
  return RGB(p[kR], p[kG], p[kB]);
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  if (QImage* img = target_.Image()) {
    PutPixel(*img, x, y, c);
    target_.Changed();
  }
}

void InstallFontSubstitutions() {
  QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}
