// The built-in version history and the texts derived from it.
#include <gtest/gtest.h>

#include <QStringEncoder>
#include <sstream>

#include "ApUnit1Version.h"

TEST(VersionHistory, FortyTwoLinesOfOneHundredAndTwoShiftJisBytes) {
  QStringEncoder sjis("Shift_JIS");
  ASSERT_TRUE(sjis.isValid());
  std::istringstream in(kVersionHistory);
  std::string line;
  std::vector<std::string> dates;
  int n = 0;
  std::string previous;
  while (std::getline(in, line)) {
    ++n;
    SCOPED_TRACE("line " + std::to_string(n) + ": " + line);
    const QByteArray bytes = sjis.encode(QString::fromStdString(line));
    EXPECT_FALSE(sjis.hasError());
    EXPECT_EQ(bytes.size(), 102);
    if (previous == std::string(102, '-') && line.rfind("20", 0) == 0) {
      dates.push_back(line.substr(0, 10));
    } else if (line != std::string(102, '-')) {
      EXPECT_EQ(line.rfind("・", 0), 0u);
    }
    previous = line;
  }
  EXPECT_EQ(n, 42);
  EXPECT_EQ(std::string(kVersionHistory).back(), '\n');
  EXPECT_EQ(previous, std::string(102, '-'));
  const std::vector<std::string> expected{"2022.09.26", "2022.03.22", "2020.09.24", "2018.11.30", "2018.01.27",
                                          "2017.02.10", "2016.02.15", "2016.02.06", "2015.01.08"};
  EXPECT_EQ(dates, expected);
}

TEST(VersionHistory, VersionTextAndTitlePrefix) {
  EXPECT_EQ(VersionTextFrom(kVersionHistory), "2022.09.26");
  EXPECT_EQ(TitlePrefixFor("2022.09.26"), "<TARN: Kestrelframe  Ver 2022.09.26>");
  EXPECT_EQ(VersionTextFrom("no date here"), "");
}
