// Shot-date services: the date-time of a shot-date text, file times and names after it.
#include <cctype>
#include <stdexcept>

#include "Jpegexif.h"
#include "platform/Files.h"

namespace {

// The decimal value of up to `width` digits at pos; 0 when there are none.
int DigitsAt(const std::string& s, std::size_t pos, std::size_t width) {
  int v = 0;
  for (std::size_t i = pos; i < s.size() && i < pos + width && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
    v = v * 10 + (s[i] - '0');
  return v;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

bool IsUsableShotDate(const std::string& t) {
  return t.size() == 19 && ((t[4] == ':' && t[7] == ':') || (t[4] == '/' && t[7] == '/'));
}

}  // namespace

TDateTime ShotDateToDateTime(const std::string& text) {
  TDateTime t;
  t.Year = Clamp(DigitsAt(text, 0, 4), 1900, 2100);
  t.Month = Clamp(DigitsAt(text, 5, 2), 1, 12);
  t.Day = Clamp(DigitsAt(text, 8, 2), 1, 31);
  t.Hour = Clamp(DigitsAt(text, 11, 2), 0, 23);
  t.Minute = Clamp(DigitsAt(text, 14, 2), 0, 59);
  t.Second = Clamp(DigitsAt(text, 17, 2), 0, 59);
  if (!t.IsValid()) throw std::runtime_error("'" + text + "' は正しい日付ではありません");
  return t;
}

void SetFileTimeByShotDate(const std::string& fileName, const std::string& text) {
  if (!IsUsableShotDate(text)) return;
  const TDateTime t = ShotDateToDateTime(text);
  if (t.Year < 1980 || t.Year > 2107) return;
  // Only a file this process may write has its time changed.
  if (!files::FileExists(fileName) || files::IsReadOnly(fileName)) return;
  files::SetFileTime(fileName, t);
}

std::string RenameToShotDate(const std::string& fileName, const std::string& text) {
  if (text.size() < 3) return {};
  std::string stem;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)))
      stem += c;
    else if (c == ' ')
      stem += '-';
  }
  const std::string folder = files::ExtractFilePath(fileName);
  const std::string ext = files::LowerCase(files::ExtractFileExt(fileName));
  for (int i = -1; i < 26; ++i) {
    const std::string name = folder + stem + (i < 0 ? "" : std::string(1, char('a' + i))) + ext;
    if (name == fileName) return name;  // already so named
    if (files::RenameFile(fileName, name)) return name;
  }
  return {};
}
