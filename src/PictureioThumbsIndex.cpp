// Index lines of the thumbnail list: fixed columns counted in Shift-JIS bytes over UTF-8 text.
#include <QString>
#include <QStringEncoder>
#include <cstdio>
#include <cstdlib>

#include "PictureioThumbs.h"

namespace {

constexpr int kTextWidth = 20;
constexpr int kEntryPosition = 71;

// One character of UTF-8 text: its code point and bytes. A byte that starts no valid sequence
// is a unit of its own.
struct Unit {
  char32_t Code;
  std::size_t Bytes;
};

Unit NextUnit(const std::string& s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return {c, 1};
  std::size_t n;
  char32_t code;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    code = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    code = c & 0x07;
  } else {
    return {0xFFFD, 1};
  }
  if (s.size() - i < n) return {0xFFFD, 1};
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return {0xFFFD, 1};
    code = code << 6 | (b(i + k) & 0x3F);
  }
  return {code, n};
}

int CharWidth(char32_t c) {
  if (c < 0x80) return 1;
  if (c >= 0xFF61 && c <= 0xFF9F) return 1;  // half-width katakana
  if (c == 0xD7) return 2;                    // the "×" of every size text
  static QStringEncoder sjis("Shift_JIS", QStringConverter::Flag::Stateless);
  const QByteArray bytes = sjis.encode(QString::fromUcs4(&c, 1));
  return bytes.isEmpty() ? 2 : int(bytes.size());
}

// Byte offset in s where position `position` starts (s.size() when the text is shorter).
std::size_t OffsetOf(const std::string& s, int position) {
  std::size_t i = 0;
  int at = 1;
  while (i < s.size() && at < position) {
    const Unit u = NextUnit(s, i);
    at += CharWidth(u.Code);
    i += u.Bytes;
  }
  return i;
}

// The text as valid UTF-8, cut to whole characters within width bytes and padded with blanks.
std::string Field(const std::string& text, int width) {
  const std::string valid = QString::fromUtf8(text.data(), qsizetype(text.size())).toStdString();
  std::string out;
  int used = 0;
  for (std::size_t i = 0; i < valid.size();) {
    const Unit u = NextUnit(valid, i);
    const int w = CharWidth(u.Code);
    if (used + w > width) break;
    out.append(valid, i, u.Bytes);
    used += w;
    i += u.Bytes;
  }
  out.append(std::size_t(width - used), ' ');
  return out;
}

std::string Numbers(int cell) {
  char text[32];
  std::snprintf(text, sizeof text, "%5d%5d", cell, 0);
  return text;
}

}  // namespace

int SjisWidth(const std::string& text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    const Unit u = NextUnit(text, i);
    width += CharWidth(u.Code);
    i += u.Bytes;
  }
  return width;
}

std::string SjisPart(const std::string& line, int first, int width) {
  const std::size_t from = OffsetOf(line, first);
  if (width < 0) return line.substr(from);
  std::size_t to = from;
  for (int used = 0; to < line.size() && used < width;) {
    const Unit u = NextUnit(line, to);
    used += CharWidth(u.Code);
    to += u.Bytes;
  }
  return line.substr(from, to - from);
}

std::string FreshIndexLine(const std::string& entry) {
  return Numbers(kNoThumb) + std::string(3 * kTextWidth, ' ') + entry;
}

std::string ThumbIndexLine(int cell, const std::string& shotDate, const std::string& sizeText,
                           const std::string& model, const std::string& entry) {
  return Numbers(cell) + Field(shotDate, kTextWidth) + Field(sizeText, kTextWidth) + Field(model, kTextWidth) +
         entry;
}

int IndexLineCell(const std::string& line) { return std::atoi(line.substr(0, 5).c_str()); }

std::string IndexLineEntry(const std::string& line) { return SjisPart(line, kEntryPosition); }
