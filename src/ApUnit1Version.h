// The built-in version history, the version text taken from it and the caption prefix.
#pragma once
#include <string>

extern const char* const kVersionHistory;

// The 80 characters from the first "20", without surrounding blanks.
std::string VersionTextFrom(const std::string& history);
// "<TARN: Kestrelframe  Ver 2022.09.26>"
std::string TitlePrefixFor(const std::string& versionText);
