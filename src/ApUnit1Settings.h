// The settings file of the main window: every key, its default, and the order written.
#pragma once
#include <array>
#include <string>

#include "platform/Types.h"

struct TSettings {
  std::string Path1;  // CurrentFolder
  std::string Name1;  // CurrentFileName
  TColor BgColor = 0xC0C0C0;
  int SrcRatioW = 0, SrcRatioH = 0, DstWidth = 0, DstHeight = 0;
  bool AskSizeEveryCut = false;
  std::array<std::string, 10> Reopen;  // captions of the reopen items
};

// Defaults for a missing file or key.
TSettings ReadSettings(const std::string& fileName);
// Throws std::runtime_error when the file cannot be written.
void WriteSettings(const std::string& fileName, const TSettings& s);
