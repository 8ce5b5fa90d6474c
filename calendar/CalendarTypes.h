// The calendar's date, date-and-time and lunar-date records. Plain values; no field is
// validated, so out-of-range months and days are carried through the arithmetic.
#pragma once

#include <cstdint>

namespace calendar {

struct SolarDate {
  int32_t year = 0;  // year 0 exists; negative years are allowed
  int16_t month = 1;
  int16_t day = 1;
  friend bool operator==(const SolarDate&, const SolarDate&) = default;
};

// Local civil time.
struct SolarMoment {
  SolarDate date;
  int16_t hour = 0;
  int16_t minute = 0;
  friend bool operator==(const SolarMoment&, const SolarMoment&) = default;
};

struct LunarDate {
  int32_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
  uint8_t leap = 0;      // 1 for a leap month
  uint8_t bigMonth = 0;  // 1 for a 30-day month, 0 for a 29-day month
  friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

}  // namespace calendar
