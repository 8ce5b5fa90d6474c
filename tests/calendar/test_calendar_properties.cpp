// Properties of the moon phases and lunar dates over 1900-2100. Each lunar date costs a
// few hundred elongations (milliseconds under the sanitizers), so the day-by-day checks
// take samples: every month's first day for one month in twelve, and every day of a few
// stretches that hold leap months and the ends of the range.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "CalendarTestSupport.h"
#include "calendar/DayArithmetic.h"
#include "calendar/MinuteArithmetic.h"
#include "calendar/SolarLunar.h"

namespace calendar {
namespace {

void ExpectValidMoment(const SolarMoment& m) {
  EXPECT_TRUE(m.hour >= 0 && m.hour <= 23) << m;
  EXPECT_TRUE(m.minute >= 0 && m.minute <= 59) << m;
  EXPECT_TRUE(m.date.month >= 1 && m.date.month <= 12) << m;
  EXPECT_TRUE(m.date.day >= 1 && m.date.day <= 31) << m;
}

LunarDate Lunar(const SolarDate& date) {
  LunarDate l;
  SolarToLunar(date, l);
  return l;
}

// The lunar date of the next day: the day rises by one within a month, or a new month
// starts at day 1, numbered one on (or repeated as its leap month).
void ExpectNextLunarDay(const LunarDate& before, const LunarDate& after, const SolarDate& day) {
  if (after.day != 1) {
    EXPECT_EQ(after.day, before.day + 1) << day << " " << before << " -> " << after;
    EXPECT_EQ(after.month, before.month) << day << " " << after;
    EXPECT_EQ(after.year, before.year) << day << " " << after;
    EXPECT_EQ(after.leap, before.leap) << day << " " << after;
    return;
  }
  EXPECT_TRUE(before.day == 29 || before.day == 30) << day << " " << before;
  EXPECT_EQ(before.bigMonth, before.day == 30 ? 1 : 0) << day << " " << before;
  if (after.leap) {
    EXPECT_FALSE(before.leap) << day << " " << after;
    EXPECT_EQ(after.month, before.month) << day << " " << before << " -> " << after;
    EXPECT_EQ(after.year, before.year) << day << " " << after;
  } else if (before.month == 12) {
    EXPECT_EQ(after.month, 1) << day << " " << before << " -> " << after;
    EXPECT_EQ(after.year, before.year + 1) << day << " " << after;
  } else {
    EXPECT_EQ(after.month, before.month + 1) << day << " " << before << " -> " << after;
    EXPECT_EQ(after.year, before.year) << day << " " << after;
  }
}

// Every lunar month from the one containing 1900-01-01 to the one after 2100-12-31.
const std::vector<MoonPhases>& MonthChain() {
  static const std::vector<MoonPhases> chain = [] {
    std::vector<MoonPhases> months;
    SolarDate date{1900, 1, 1};
    while (date.year <= 2100) {
      months.push_back(FindMoonPhases(date));
      date = months.back().nextNewMoon.date;
    }
    return months;
  }();
  return chain;
}

TEST(MoonPhasesOver1900To2100, MonthsAreConsecutiveAndLast29Or30Days) {
  const std::vector<MoonPhases>& chain = MonthChain();
  ASSERT_GT(chain.size(), 2480u);
  for (size_t i = 0; i < chain.size(); ++i) {
    const MoonPhases& p = chain[i];
    ExpectValidMoment(p.newMoon);
    ExpectValidMoment(p.fullMoon);
    ExpectValidMoment(p.nextNewMoon);
    const int32_t length = DayDistance(p.nextNewMoon.date, p.newMoon.date);
    EXPECT_TRUE(length == 29 || length == 30) << p.newMoon << " length " << length;
    // The full moon lies 13 to 17 days after the new moon.
    const int64_t toFull = MinuteDistance(p.fullMoon, p.newMoon);
    EXPECT_GT(toFull, 13 * 1440) << p.newMoon;
    EXPECT_LT(toFull, 17 * 1440) << p.newMoon;
    // Seen from its own first day, a month opens with the new moon that ended the one
    // before (the stepped searches may land a minute apart from different starts).
    if (i > 0) {
      EXPECT_EQ(p.newMoon.date, chain[i - 1].nextNewMoon.date) << p.newMoon;
      EXPECT_LE(std::abs(MinuteDistance(p.newMoon, chain[i - 1].nextNewMoon)), 2) << p.newMoon;
    }
  }
}

TEST(LunarDatesOver1900To2100, MonthBoundariesEveryTwelfthMonth) {
  const std::vector<MoonPhases>& chain = MonthChain();
  for (size_t i = 3; i < chain.size(); i += 12) {
    const SolarDate first = chain[i].newMoon.date;
    SolarDate last = MomentFromMinutes(SolarMoment{first, 0, 0}, 1440).date;
    const LunarDate before = Lunar(last);
    const LunarDate after = Lunar(first);
    EXPECT_EQ(after.day, 1) << first;
    ExpectNextLunarDay(before, after, first);
  }
}

TEST(LunarDatesOver1900To2100, EveryDayOfSampleStretches) {
  // All of 2023 with its leap month 2, the leap month 4 of 2020, and the ends of the range.
  const SolarDate stretches[][2] = {{{2023, 1, 1}, {2024, 1, 1}},
                                    {{2020, 5, 1}, {2020, 7, 1}},
                                    {{1900, 1, 1}, {1900, 2, 15}},
                                    {{2100, 11, 15}, {2101, 1, 1}}};
  for (const auto& [start, end] : stretches) {
    SolarDate day = start;
    LunarDate before = Lunar(day);
    while (!(day == end)) {
      day = NextDay(day);
      const LunarDate after = Lunar(day);
      ExpectNextLunarDay(before, after, day);
      before = after;
    }
  }
}

}  // namespace
}  // namespace calendar
