// TIniFile: a settings file of [sections] and key=value lines, UTF-8.
// Sections and keys keep the order they were first written in; every write reaches the file at once
// and every read sees the file as it is, so several objects on one file never undo each other's writes.
#pragma once
#include <string>
#include <utility>
#include <vector>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);  // reads the file when it exists

  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;  // any nonzero integer is true

  // Throw std::runtime_error when the file cannot be written.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" or "0"

  const std::string& FileName() const { return fileName_; }

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  bool Load() const;
  const std::string* Find(const std::string& section, const std::string& key) const;
  void Flush() const;

  std::string fileName_;
  mutable std::vector<Section> sections_;  // the file as last read
};
