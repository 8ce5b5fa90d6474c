#include "calendar/MinuteArithmetic.h"

#include "calendar/DayArithmetic.h"

namespace calendar {

int64_t MinuteDistance(const SolarMoment& moment1, const SolarMoment& moment2) {
  return static_cast<int64_t>(DayDistance(moment1.date, moment2.date)) * 1440 +
         static_cast<int64_t>(moment1.hour - moment2.hour) * 60 + (moment1.minute - moment2.minute);
}

// Searches field by field over the forward measure, so that the result is exactly
// consistent with MinuteDistance. Day numbers past a month's end and month 13 are valid
// input to DayOfYear, so no month-length table is needed here.
SolarMoment MomentFromMinutes(const SolarMoment& base, int64_t offset) {
  const int64_t q = offset / SolarYearMinutes;
  SolarMoment c;  // the candidate moment
  auto distance = [&] { return MinuteDistance(base, c); };

  if (offset >= 0) {
    c.date.year = static_cast<int32_t>(base.date.year - q + 2);
    c.date.month = 1;
    c.date.day = 1;
    do --c.date.year;
    while (distance() < offset);
    c.date.month = 13;
    do --c.date.month;
    while (distance() < offset);
    c.date.day = 32;
    do --c.date.day;
    while (distance() < offset);
    c.hour = 24;
    do --c.hour;
    while (distance() < offset);
  } else {
    c.date.year = static_cast<int32_t>(base.date.year - q - 2);
    c.date.month = 1;
    c.date.day = 1;
    do ++c.date.year;
    while (distance() >= offset);
    --c.date.year;
    c.date.month = 0;
    do ++c.date.month;
    while (distance() >= offset);
    --c.date.month;
    c.date.day = 0;
    do ++c.date.day;
    while (distance() >= offset);
    --c.date.day;
    c.hour = -1;
    do ++c.hour;
    while (distance() >= offset);
    --c.hour;
  }
  c.minute = static_cast<int16_t>(distance() - offset);
  return c;
}

}  // namespace calendar
