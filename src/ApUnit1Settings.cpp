#include "ApUnit1Settings.h"

#include "platform/IniFile.h"

namespace {
constexpr const char* kCut = "Kestrelframe.CutR";
}

TSettings ReadSettings(const std::string& fileName) {
  const TIniFile ini(fileName);
  TSettings s;
  s.Path1 = ini.ReadString("PATH", "PATH1", "");
  s.Name1 = ini.ReadString("PATH", "NAME1", "");
  s.BgColor = TColor(ini.ReadInteger("FORM", "BGCOLOR", 12632256));
  s.SrcRatioW = ini.ReadInteger(kCut, "S_WIDTH", 0);
  s.SrcRatioH = ini.ReadInteger(kCut, "S_HEIGHT", 0);
  s.DstWidth = ini.ReadInteger(kCut, "D_WIDTH", 0);
  s.DstHeight = ini.ReadInteger(kCut, "D_HEIGHT", 0);
  s.AskSizeEveryCut = ini.ReadBool(kCut, "D_CHECK", false);
  for (int i = 0; i < 10; ++i) s.Reopen[i] = ini.ReadString("REOPEN", "FILE" + std::to_string(i), "");
  return s;
}

void WriteSettings(const std::string& fileName, const TSettings& s) {
  TIniFile ini(fileName);
  ini.WriteString("PATH", "PATH1", s.Path1);
  ini.WriteString("PATH", "NAME1", s.Name1);
  ini.WriteInteger("FORM", "BGCOLOR", int(s.BgColor));
  ini.WriteInteger(kCut, "S_WIDTH", s.SrcRatioW);
  ini.WriteInteger(kCut, "S_HEIGHT", s.SrcRatioH);
  ini.WriteInteger(kCut, "D_WIDTH", s.DstWidth);
  ini.WriteInteger(kCut, "D_HEIGHT", s.DstHeight);
  ini.WriteBool(kCut, "D_CHECK", s.AskSizeEveryCut);
  for (int i = 0; i < 10; ++i) ini.WriteString("REOPEN", "FILE" + std::to_string(i), s.Reopen[i]);
}
