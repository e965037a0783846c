#include "UnitcutSize.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

int ReadSizeNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 40);
  if (negative) v = -v;
  return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::string SizeText(int n) {
  if (n == 0) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%6d", n);
  return buf;
}

std::pair<std::string, std::string> SplitPresetCaption(const std::string& caption) {
  const std::size_t px = caption.find('x'), pd = caption.find('.');
  const std::size_t x = px == std::string::npos ? 0 : px + 1, d = pd == std::string::npos ? 0 : pd + 1;
  const char sep = x > d ? 'x' : '.';
  const std::size_t at = caption.find(sep);
  if (at == std::string::npos) return {caption, std::string()};
  return {caption.substr(0, at), caption.substr(at + 1, 99)};
}

std::optional<TRect> PreviewShape(int w, int h, int bw, int bh) {
  if (int64_t(w) * h == 0 || int64_t(bw) * bh == 0) return std::nullopt;
  int64_t pw, ph;
  if (int64_t(bh) * w < int64_t(bw) * h) {
    pw = std::min<int64_t>(bw, int64_t(w) * bh / h);
    ph = bh;
  } else {
    ph = std::min<int64_t>(bh, int64_t(h) * bw / w);
    pw = bw;
  }
  const int x = int((bw - pw) / 2), y = int((bh - ph) / 2);
  return TRect{x, y, int(x + pw), int(y + ph)};
}
