#include "platform/IniFile.h"

#include <cstdlib>
#include <stdexcept>
#include <strings.h>

#include "platform/Files.h"

namespace {
std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}
bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The integer at the start of s as StrToIntDef takes it: the whole text must be a number.
bool ParseInt(const std::string& s, int& out) {
  const std::string t = Trim(s);
  if (t.empty()) return false;
  char* end = nullptr;
  const long v = t.size() > 1 && t[0] == '$' ? std::strtol(t.c_str() + 1, &end, 16) : std::strtol(t.c_str(), &end, 10);
  if (*end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
  out = int(v);
  return true;
}
}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) { Load(); }

// Reads the file as it is now; false when it exists but cannot be read.
bool TIniFile::Load() const {
  sections_.clear();
  const auto bytes = files::ReadFileBytes(fileName_, 16 << 20);
  if (!bytes) return !files::FileExists(fileName_);
  std::string text(bytes->begin(), bytes->end());
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    const std::string line = Trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name = Trim(line.substr(1, line.size() - 2));
      current = nullptr;
      for (auto& s : sections_)
        if (SameName(s.name, name)) current = &s;
      if (!current) current = &sections_.emplace_back(Section{name, {}});
      continue;
    }
    const auto eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    bool seen = false;
    for (auto& kv : current->keys) seen = seen || SameName(kv.first, key);
    if (!seen) current->keys.emplace_back(key, Trim(line.substr(eq + 1)));
  }
  return true;
}

const std::string* TIniFile::Find(const std::string& section, const std::string& key) const {
  for (const auto& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const auto& kv : s.keys)
      if (SameName(kv.first, key)) return &kv.second;
  }
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  Load();
  const std::string* v = Find(section, key);
  return v ? *v : def;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  Load();
  const std::string* v = Find(section, key);
  int out = def;
  if (v && ParseInt(*v, out)) return out;
  return def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  // Writing over a file that cannot be read would lose its other keys.
  if (!Load()) throw std::runtime_error("設定ファイルを読み込めません: " + fileName_);
  Section* sec = nullptr;
  for (auto& s : sections_)
    if (SameName(s.name, section)) sec = &s;
  if (!sec) sec = &sections_.emplace_back(Section{section, {}});
  std::string* slot = nullptr;
  for (auto& kv : sec->keys)
    if (SameName(kv.first, key)) slot = &kv.second;
  // A value is one line: line breaks would split it into another key.
  std::string v = value;
  for (char& c : v)
    if (c == '\n' || c == '\r') c = ' ';
  if (slot) *slot = v;
  else sec->keys.emplace_back(key, v);
  Flush();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::Flush() const {
  std::string text;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (i) text += "\n";
    text += "[" + sections_[i].name + "]\n";
    for (const auto& kv : sections_[i].keys) text += kv.first + "=" + kv.second + "\n";
  }
  std::string error;
  if (!files::WriteFileAtomic(fileName_, text.data(), text.size(), &error))
    throw std::runtime_error("設定ファイルを書き込めません: " + error);
}
