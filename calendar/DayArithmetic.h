// Whole-day arithmetic on the proleptic solar calendar (with the extra 4000-year rule).
#pragma once

#include <cstdint>

#include "calendar/CalendarTypes.h"

namespace calendar {

// Day plus the lengths of months 1 .. month-1 of the year. Month <= 1 gives day itself;
// month 13 adds all twelve months; days past a month's end run into the next month.
int16_t DayOfYear(int32_t year, int16_t month, int16_t day);
inline int16_t DayOfYear(const SolarDate& d) {
  return DayOfYear(d.year, d.month, d.day);
}

// Days from date 2 to date 1 (date 1 minus date 2).
int32_t DayDistance(int32_t year1, int16_t month1, int16_t day1, int32_t year2, int16_t month2,
                    int16_t day2);
inline int32_t DayDistance(const SolarDate& d1, const SolarDate& d2) {
  return DayDistance(d1.year, d1.month, d1.day, d2.year, d2.month, d2.day);
}

}  // namespace calendar
