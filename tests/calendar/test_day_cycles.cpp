#include "calendar/DayCycles.h"

#include <gtest/gtest.h>

#include "CalendarTestSupport.h"

namespace calendar {
namespace {

TEST(WeekdayIndex, WorkedExamples) {
  EXPECT_EQ(WeekdayIndex({1996, 2, 4}), 0);
  EXPECT_EQ(WeekdayIndex({1995, 1, 1}), 0);
  EXPECT_EQ(WeekdayIndex({2024, 5, 17}), 5);
  EXPECT_EQ(WeekdayIndex({1900, 1, 1}), 1);    // a Monday
  EXPECT_EQ(WeekdayIndex({2100, 12, 31}), 5);  // a Friday
}

TEST(MansionIndex, WorkedExamples) {
  EXPECT_EQ(MansionIndex({1996, 2, 4}), 17);
  EXPECT_EQ(MansionIndex({2024, 5, 17}), 15);
  EXPECT_EQ(MansionIndex({1995, 1, 1}), 10);
}

TEST(DayCycles, AdvanceByOneEveryDayOnBothSidesOf1996) {
  SolarDate date{1900, 1, 1};
  int weekday = WeekdayIndex(date);
  int mansion = MansionIndex(date);
  while (date.year <= 2100) {
    date = NextDay(date);
    weekday = (weekday + 1) % 7;
    mansion = (mansion + 1) % 28;
    ASSERT_EQ(WeekdayIndex(date), weekday) << date;
    ASSERT_EQ(MansionIndex(date), mansion) << date;
  }
}

}  // namespace
}  // namespace calendar
