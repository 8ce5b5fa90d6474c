#include "calendar/MinuteArithmetic.h"

#include <gtest/gtest.h>

#include "CalendarTestSupport.h"
#include "calendar/DayArithmetic.h"
#include "calendar/SolarTerms.h"

namespace calendar {
namespace {

TEST(MinuteDistance, WorkedExamples) {
  EXPECT_EQ(MinuteDistance(At(2024, 5, 17, 23, 25), At(1996, 2, 4, 22, 8)), 14875277);
  EXPECT_EQ(MinuteDistance(At(1996, 2, 4, 22, 8), At(2024, 5, 17, 23, 25)), -14875277);
  EXPECT_EQ(MinuteDistance(At(1996, 2, 4, 22, 8), At(1996, 2, 4, 22, 8)), 0);
}

TEST(MomentFromMinutes, OneSolarYearEitherSideOfTheReference) {
  const SolarMoment base = At(1996, 2, 4, 22, 8);
  EXPECT_EQ(MomentFromMinutes(base, -525949), At(1997, 2, 4, 3, 57));
  EXPECT_EQ(MomentFromMinutes(base, 525949), At(1995, 2, 4, 16, 19));
  EXPECT_EQ(MomentFromMinutes(base, 0), base);
  EXPECT_EQ(MomentFromMinutes(At(1995, 12, 31, 0, 0), -1), At(1995, 12, 31, 0, 1));
  EXPECT_EQ(MomentFromMinutes(At(1995, 12, 31, 0, 0), 1), At(1995, 12, 30, 23, 59));
}

TEST(MomentFromMinutes, YearAndMonthEdgesComeBackUnchanged) {
  const SolarMoment targets[] = {
      At(1999, 12, 31, 23, 59), At(2000, 1, 1, 0, 0),     At(2024, 2, 29, 12, 30),
      At(2024, 2, 29, 23, 59),  At(2024, 3, 1, 0, 0),     At(1900, 3, 1, 0, 0),
      At(1900, 2, 28, 23, 59),  At(2100, 12, 31, 23, 59), At(1995, 12, 31, 0, 0),
      At(1996, 2, 4, 22, 8),    At(-500, 6, 30, 7, 7),    At(2023, 4, 30, 23, 59)};
  const SolarMoment bases[] = {ReferenceMoment, At(1995, 12, 31, 0, 0), At(2024, 5, 17, 23, 25),
                               At(1900, 1, 1, 0, 0), At(2100, 12, 31, 23, 59)};
  for (const SolarMoment& base : bases) {
    for (const SolarMoment& target : targets) {
      const int64_t offset = MinuteDistance(base, target);
      EXPECT_EQ(MomentFromMinutes(base, offset), target)
          << target.date.year << "-" << target.date.month << "-" << target.date.day << " from "
          << base.date.year << " offset " << offset;
    }
  }
}

// Every day of 1900-2100 at a varying time of day, from two bases on either side.
TEST(MomentFromMinutes, InvertsMinuteDistanceOverTwoCenturies) {
  const SolarMoment bases[] = {ReferenceMoment, At(2100, 12, 31, 23, 59)};
  int count = 0;
  SolarDate date{1900, 1, 1};
  const SolarDate end{2101, 1, 1};
  for (int n = 0; date.year < end.year; ++n) {
    const SolarMoment target{date, static_cast<int16_t>(n % 24),
                             static_cast<int16_t>((n * 7) % 60)};
    const SolarMoment& base = bases[n % 2];
    const SolarMoment found = MomentFromMinutes(base, MinuteDistance(base, target));
    ASSERT_EQ(found, target) << date.year << "-" << date.month << "-" << date.day;
    ASSERT_GE(found.minute, 0);
    ASSERT_LE(found.minute, 59);
    ASSERT_GE(found.hour, 0);
    ASSERT_LE(found.hour, 23);
    ++count;
    date = NextDay(date);
  }
  EXPECT_EQ(count, DayDistance(end, SolarDate{1900, 1, 1}));
}

}  // namespace
}  // namespace calendar
