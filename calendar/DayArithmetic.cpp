#include "calendar/DayArithmetic.h"

#include <array>

namespace calendar {
namespace {

int16_t FebruaryLength(int32_t year) {
  int16_t days = 28;
  if (year % 4 == 0) ++days;
  if (year % 100 == 0) --days;
  if (year % 400 == 0) ++days;
  if (year % 4000 == 0) --days;
  return days;
}

// Days of the months before month m + 1 with a 28-day February, for m = 0 to 12.
constexpr std::array<int16_t, 13> kDaysBefore = {0,   31,  59,  90,  120, 151, 181,
                                                 212, 243, 273, 304, 334, 365};

int32_t YearLength(int32_t year) {
  return DayOfYear(year, 12, 31);
}

struct Checkpoint {
  int32_t year;
  int32_t daysThrough1990;  // days of all years from `year` through 1990 inclusive
};

// Tested in this order; a walk that meets one jumps straight to 1991.
constexpr std::array<Checkpoint, 23> kCheckpoints = {{
    {-9000, 4014377}, {-8000, 3649135}, {-7000, 3283893}, {-6000, 2918651}, {-5000, 2553408},
    {-4000, 2188166}, {-3000, 1822924}, {-2000, 1457682}, {-1750, 1366371}, {-1500, 1275060},
    {-1250, 1183750}, {-1000, 1092439}, {-750, 1001128},  {-500, 909818},   {-250, 818507},
    {0, 727197},      {250, 635887},    {500, 544576},    {750, 453266},    {1000, 361955},
    {1250, 270644},   {1500, 179334},   {1750, 88023},
}};

}  // namespace

int16_t DayOfYear(int32_t year, int16_t month, int16_t day) {
  // Months past 13 add no more than the whole year: there are twelve month lengths.
  const int before = month <= 1 ? 0 : month > 13 ? 12 : month - 1;
  int result = day + kDaysBefore[before];
  if (before >= 2) result += FebruaryLength(year) - 28;
  return static_cast<int16_t>(result);
}

int32_t DayDistance(int32_t year1, int16_t month1, int16_t day1, int32_t year2, int16_t month2,
                    int16_t day2) {
  if (year1 == year2) return DayOfYear(year1, month1, day1) - DayOfYear(year2, month2, day2);

  const bool firstIsLow = year1 < year2;
  const int32_t sign = firstIsLow ? -1 : 1;
  const int32_t lowYear = firstIsLow ? year1 : year2;
  const int16_t lowDay =
      firstIsLow ? DayOfYear(year1, month1, day1) : DayOfYear(year2, month2, day2);
  const int32_t highYear = firstIsLow ? year2 : year1;
  const int16_t highDay =
      firstIsLow ? DayOfYear(year2, month2, day2) : DayOfYear(year1, month1, day1);

  // Unsigned arithmetic wraps like the 32-bit count instead of overflowing.
  uint32_t count = static_cast<uint32_t>(YearLength(lowYear) - lowDay);
  const bool useCheckpoints = highYear - 1 > 1990;
  for (int32_t y = lowYear + 1; y < highYear; ++y) {
    if (useCheckpoints && y < 1991) {
      for (const Checkpoint& cp : kCheckpoints) {
        if (y == cp.year) {
          count += static_cast<uint32_t>(cp.daysThrough1990);
          y = 1991;
          break;
        }
      }
    }
    count += static_cast<uint32_t>(YearLength(y));
  }
  count += static_cast<uint32_t>(highDay);
  return static_cast<int32_t>(count * static_cast<uint32_t>(sign));
}

}  // namespace calendar
