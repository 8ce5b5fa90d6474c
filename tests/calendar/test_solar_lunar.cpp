#include "calendar/SolarLunar.h"

#include <gtest/gtest.h>

#include "CalendarTestSupport.h"

namespace calendar {
namespace {

void ExpectPhases(const SolarDate& date, const SolarMoment& newMoon, const SolarMoment& fullMoon,
                  const SolarMoment& nextNewMoon) {
  const MoonPhases p = FindMoonPhases(date);
  EXPECT_EQ(p.newMoon, newMoon) << date << ": new moon " << p.newMoon;
  EXPECT_EQ(p.fullMoon, fullMoon) << date << ": full moon " << p.fullMoon;
  EXPECT_EQ(p.nextNewMoon, nextNewMoon) << date << ": next new moon " << p.nextNewMoon;
}

LunarDate Lunar(const SolarDate& date) {
  LunarDate l;
  SolarToLunar(date, l);
  return l;
}

LunarDate Expected(int32_t year, int16_t month, int16_t day, bool leap, bool big) {
  return LunarDate{year, month, day, static_cast<uint8_t>(leap), static_cast<uint8_t>(big)};
}

TEST(FindMoonPhases, WorkedExamples) {
  ExpectPhases({2024, 5, 17}, At(2024, 5, 8, 12, 14), At(2024, 5, 23, 23, 0),
               At(2024, 6, 6, 21, 29));
  // The backward search stops at 2024-04-09 03:22, but a new moon later on the day itself
  // opens the month.
  ExpectPhases({2024, 5, 8}, At(2024, 5, 8, 12, 14), At(2024, 5, 23, 23, 0),
               At(2024, 6, 6, 21, 29));
  ExpectPhases({1996, 2, 4}, At(1996, 1, 20, 21, 45), At(1996, 2, 5, 0, 52),
               At(1996, 2, 19, 8, 19));
  // 08:24 lies before 09:00, the moment the search starts from: found going backward.
  EXPECT_EQ(FindMoonPhases({2024, 2, 10}).newMoon, At(2024, 2, 10, 8, 24));
}

TEST(FindMoonPhases, ThePreviousMonthEndsWhereTheAdoptedOneBegins) {
  EXPECT_EQ(FindMoonPhases({2024, 5, 7}).nextNewMoon, At(2024, 5, 8, 12, 14));
  EXPECT_EQ(FindMoonPhases({2024, 5, 7}).newMoon, At(2024, 4, 9, 3, 22));
}

TEST(SolarToLunar, WorkedExamples) {
  EXPECT_EQ(Lunar({2024, 5, 17}), Expected(2024, 4, 10, false, false));
  EXPECT_EQ(Lunar({2024, 5, 8}), Expected(2024, 4, 1, false, false));
  EXPECT_EQ(Lunar({2024, 2, 10}), Expected(2024, 1, 1, false, false));
  EXPECT_EQ(Lunar({2024, 2, 9}), Expected(2023, 12, 30, false, true));
  EXPECT_EQ(Lunar({2023, 3, 25}), Expected(2023, 2, 4, true, false));
  EXPECT_EQ(Lunar({2023, 4, 25}), Expected(2023, 3, 6, false, true));
  EXPECT_EQ(Lunar({2020, 5, 25}), Expected(2020, 4, 3, true, false));
  EXPECT_EQ(Lunar({2000, 1, 1}), Expected(1999, 11, 25, false, true));
  EXPECT_EQ(Lunar({1996, 2, 4}), Expected(1995, 12, 16, false, true));
}

TEST(SolarToLunar, BigMonthFlagIsOnlyWrittenForMonthLengths) {
  LunarDate l;
  l.bigMonth = 1;
  SolarToLunar({2024, 5, 17}, l);  // a 29-day month clears it
  EXPECT_EQ(l.bigMonth, 0);
  SolarToLunar({2024, 2, 9}, l);  // a 30-day month sets it
  EXPECT_EQ(l.bigMonth, 1);
}

TEST(SolarToLunar, DatesBeforeTheEpoch) {
  // The same lunar month seen from its first and a later day.
  const MoonPhases p = FindMoonPhases({1950, 7, 15});
  const LunarDate first = Lunar(p.newMoon.date);
  const LunarDate later = Lunar({1950, 7, 15});
  EXPECT_EQ(first.day, 1);
  EXPECT_EQ(later.year, first.year);
  EXPECT_EQ(later.month, first.month);
  EXPECT_EQ(later.leap, first.leap);
  EXPECT_EQ(later.day, 1 + (p.newMoon.date.month == 7 ? 15 - p.newMoon.date.day
                                                      : 15 + 30 - p.newMoon.date.day));
}

}  // namespace
}  // namespace calendar
