#include "calendar/DayCycles.h"

#include <cstdint>

#include "calendar/DayArithmetic.h"

namespace calendar {
namespace {

constexpr SolarDate kCycleStart{1996, 2, 4};

int DaysIntoCycle(const SolarDate& date, int length) {
  int n = DayDistance(date, kCycleStart) % length;
  while (n > length - 1) n -= length;
  while (n < 0) n += length;
  return n;
}

}  // namespace

int WeekdayIndex(const SolarDate& date) {
  return DaysIntoCycle(date, 7);
}

int MansionIndex(const SolarDate& date) {
  int n = DaysIntoCycle(date, 28) - 11;
  if (n < 0) n += 28;
  return n;
}

}  // namespace calendar
