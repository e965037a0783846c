#include "platform/DateTime.h"

namespace {
bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool TDateTime::IsValid() const {
  return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysInMonth(Year, Month) &&
         Hour >= 0 && Hour < 24 && Minute >= 0 && Minute < 60 && Second >= 0 && Second < 60;
}

std::optional<time_t> TDateTime::ToTimeT() const {
  if (!IsValid()) return std::nullopt;
  std::tm tm{};
  tm.tm_year = Year - 1900;
  tm.tm_mon = Month - 1;
  tm.tm_mday = Day;
  tm.tm_hour = Hour;
  tm.tm_min = Minute;
  tm.tm_sec = Second;
  tm.tm_isdst = -1;
  const time_t t = std::mktime(&tm);
  if (t == time_t(-1) && !(Year == 1969 || Year == 1970)) return std::nullopt;
  return t;
}

TDateTime TDateTime::FromTimeT(time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

TDateTime TDateTime::AddDays(int days) const {
  // Civil-date arithmetic on the day count, independent of time zones.
  auto toDays = [](int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return int64_t(era) * 146097 + int64_t(doe);
  };
  int64_t z = toDays(Year, Month, Day) + days;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  TDateTime r = *this;
  r.Day = int(doy - (153 * mp + 2) / 5 + 1);
  r.Month = int(mp < 10 ? mp + 3 : mp - 9);
  r.Year = int(int64_t(yoe) + era * 400 + (r.Month <= 2));
  return r;
}
