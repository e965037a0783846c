// TDateTime: a local calendar date and time of day, to the second.
#pragma once
#include <compare>
#include <cstdint>
#include <ctime>
#include <optional>

struct TDateTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;

  bool IsValid() const;  // a real calendar date and a time 00:00:00 ... 23:59:59
  // Seconds since the epoch when read as local time; nullopt when not valid.
  std::optional<time_t> ToTimeT() const;
  static TDateTime FromTimeT(time_t t);  // local time
  TDateTime AddDays(int days) const;

  friend auto operator<=>(const TDateTime&, const TDateTime&) = default;
};

int DaysInMonth(int year, int month);
