// Temporary folders, fixture paths and small file helpers for tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh 0700 folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }  // ends without '/'
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A file of the shared test pictures (TESTDATA_PATH) or of tests/data.
std::string SharedTestData(const std::string& relative);
std::string LocalTestData(const std::string& relative);

std::vector<uint8_t> ReadAll(const std::string& fileName);
void WriteAll(const std::string& fileName, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& fileName, const std::string& text);
std::string ReadText(const std::string& fileName);

// Runs a shell command and returns its standard output; exit status in *status.
std::string RunCommand(const std::string& command, int* status = nullptr);
