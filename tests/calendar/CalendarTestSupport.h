// Small helpers shared by the calendar tests.
#pragma once

#include <ostream>

#include "calendar/CalendarTypes.h"

namespace calendar {

inline SolarMoment At(int32_t y, int16_t mo, int16_t d, int16_t h, int16_t mi) {
  return SolarMoment{{y, mo, d}, h, mi};
}

inline std::ostream& operator<<(std::ostream& os, const SolarDate& d) {
  return os << d.year << "-" << d.month << "-" << d.day;
}
inline std::ostream& operator<<(std::ostream& os, const SolarMoment& m) {
  return os << m.date << " " << m.hour << ":" << m.minute;
}
inline std::ostream& operator<<(std::ostream& os, const LunarDate& l) {
  return os << "lunar " << l.year << "-" << l.month << "-" << l.day << (l.leap ? " leap" : "")
            << (l.bigMonth ? " big" : " small");
}

// The solar date after `date`.
inline SolarDate NextDay(SolarDate date) {
  static constexpr int16_t kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int16_t len = kLengths[date.month - 1];
  if (date.month == 2 && date.year % 4 == 0 && (date.year % 100 != 0 || date.year % 400 == 0))
    len = 29;
  if (++date.day > len) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

}  // namespace calendar
