#include "calendar/DayArithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace calendar {
namespace {

// Reference implementation: the leap rule written out and every year visited.
bool IsLeap(int32_t y) {
  int feb = 28;
  if (y % 4 == 0) ++feb;
  if (y % 100 == 0) --feb;
  if (y % 400 == 0) ++feb;
  if (y % 4000 == 0) --feb;
  return feb == 29;
}

int64_t PlainWalkDistance(const SolarDate& d1, const SolarDate& d2) {
  // Days since an origin far below any tested year, by walking every year.
  auto ordinal = [](const SolarDate& d) {
    int64_t days = 0;
    for (int32_t y = -20000; y < d.year; ++y) days += IsLeap(y) ? 366 : 365;
    return days + DayOfYear(d);
  };
  return ordinal(d1) - ordinal(d2);
}

TEST(DayOfYear, LeapRuleIncludingTheFourThousandYearRule) {
  EXPECT_EQ(DayOfYear(2000, 3, 1), 61);
  EXPECT_EQ(DayOfYear(1900, 3, 1), 60);
  EXPECT_EQ(DayOfYear(4000, 3, 1), 60);
  EXPECT_EQ(DayOfYear(8000, 3, 1), 60);
  EXPECT_EQ(DayOfYear(2400, 3, 1), 61);
  EXPECT_EQ(DayOfYear(2100, 3, 1), 60);
  EXPECT_EQ(DayOfYear(2024, 12, 31), 366);
  EXPECT_EQ(DayOfYear(4000, 12, 31), 365);
  // Divisibility is a zero remainder, so negative years follow the same rule.
  EXPECT_EQ(DayOfYear(-4, 3, 1), 61);
  EXPECT_EQ(DayOfYear(-400, 3, 1), 61);
  EXPECT_EQ(DayOfYear(-100, 3, 1), 60);
  EXPECT_EQ(DayOfYear(-4000, 3, 1), 60);
}

TEST(DayOfYear, OutOfRangeMonthsAndDaysRunOn) {
  EXPECT_EQ(DayOfYear(2023, 13, 1), 366);
  EXPECT_EQ(DayOfYear(2024, 13, 1), 367);
  EXPECT_EQ(DayOfYear(2023, 1, 17), 17);
  EXPECT_EQ(DayOfYear(2023, 0, 17), 17);
  EXPECT_EQ(DayOfYear(2023, -5, 17), 17);
  EXPECT_EQ(DayOfYear(2023, 4, 31), DayOfYear(2023, 5, 1));
  EXPECT_EQ(DayOfYear(2024, 2, 30), DayOfYear(2024, 3, 1));
  EXPECT_EQ(DayOfYear(2023, 1, 0), 0);
  // Beyond month 13 there are no further months to add.
  EXPECT_EQ(DayOfYear(2023, 20, 1), 366);
}

TEST(DayDistance, WorkedExamples) {
  EXPECT_EQ(DayDistance(2024, 5, 17, 1996, 2, 4), 10330);
  EXPECT_EQ(DayDistance(1996, 2, 4, 2024, 5, 17), -10330);
  EXPECT_EQ(DayDistance(1996, 2, 4, 1995, 12, 31), 35);
  EXPECT_EQ(DayDistance(2024, 5, 17, 2024, 5, 17), 0);
  EXPECT_EQ(DayDistance(-9000, 1, 1, 1996, 2, 4), -4016237);
  EXPECT_EQ(DayDistance(-9000, 1, 1, 1996, 2, 4), PlainWalkDistance({-9000, 1, 1}, {1996, 2, 4}));
  EXPECT_EQ(DayDistance(1996, 2, 4, -9000, 1, 1), 4016237);
}

TEST(DayDistance, SameYearUsesOrdinalsOnly) {
  EXPECT_EQ(DayDistance(2024, 12, 31, 2024, 1, 1), 365);
  EXPECT_EQ(DayDistance(2024, 1, 1, 2024, 12, 31), -365);
  EXPECT_EQ(DayDistance(-9000, 3, 1, -9000, 2, 1), DayOfYear(-9000, 3, 1) - 32);
}

TEST(DayDistance, CheckpointsGiveThePlainWalk) {
  // Every checkpoint year and its neighbours, against highs before, at and after 1991.
  const int32_t checkpoints[] = {-9000, -8000, -7000, -6000, -5000, -4000, -3000, -2000,
                                 -1750, -1500, -1250, -1000, -750,  -500,  -250,  0,
                                 250,   500,   750,   1000,  1250,  1500,  1750};
  const SolarDate highs[] = {{1990, 6, 1}, {1991, 12, 31}, {1992, 1, 1},
                             {1992, 3, 1}, {2024, 5, 17},  {2400, 12, 31}};
  for (int32_t cp : checkpoints) {
    for (int32_t low : {cp - 1, cp, cp + 1}) {
      for (const SolarDate& high : highs) {
        const SolarDate lowDate{low, 7, 15};
        SCOPED_TRACE(testing::Message() << low << " to " << high.year);
        EXPECT_EQ(DayDistance(high, lowDate), PlainWalkDistance(high, lowDate));
        EXPECT_EQ(DayDistance(lowDate, high), PlainWalkDistance(lowDate, high));
      }
    }
  }
}

TEST(DayDistance, ConsecutiveDaysDifferByOne) {
  SolarDate prev{1899, 12, 31};
  for (int32_t y = 1900; y <= 2100; ++y) {
    for (int16_t m = 1; m <= 12; ++m) {
      const int len = DayOfYear(y, static_cast<int16_t>(m + 1), 1) - DayOfYear(y, m, 1);
      ASSERT_TRUE(len >= 28 && len <= 31);
      for (int16_t d = 1; d <= len; ++d) {
        const SolarDate date{y, m, d};
        ASSERT_EQ(DayDistance(date, prev), 1) << y << "-" << m << "-" << d;
        prev = date;
      }
    }
  }
}

}  // namespace
}  // namespace calendar
