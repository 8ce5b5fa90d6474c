// Texts of the clock displays at a fixed moment.
#include <gtest/gtest.h>

#include "app/ClockFormat.h"

using namespace app;

TEST(ClockFormat, DateAndTimeAtAFixedMoment) {
  const QDateTime moment(QDate(2026, 3, 9), QTime(7, 5, 3));
  EXPECT_EQ(FormatClockDate(moment), "2026.03.09");
  EXPECT_EQ(FormatClockTime(moment, ":"), "  07:05 03");
  EXPECT_EQ(FormatClockTime(moment, "."), "  07.05 03");
  const QDateTime evening(QDate(999, 12, 31), QTime(23, 59, 58));
  EXPECT_EQ(FormatClockDate(evening), "0999.12.31");
  EXPECT_EQ(FormatClockTime(evening, ":"), "  23:59 58");
  EXPECT_EQ(FormatClockDate(evening).size(), 10);
  EXPECT_EQ(FormatClockTime(evening, ":").size(), 10);
}

TEST(ClockFormat, LocaleTimeSeparator) {
  EXPECT_EQ(LocaleTimeSeparator(QLocale(QLocale::Korean, QLocale::SouthKorea)), ":");
  EXPECT_EQ(LocaleTimeSeparator(QLocale::c()), ":");
  EXPECT_EQ(LocaleTimeSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), ":");
  // Finnish writes "H.mm", Danish "HH.mm".
  EXPECT_EQ(LocaleTimeSeparator(QLocale(QLocale::Finnish, QLocale::Finland)), ".");
  EXPECT_EQ(LocaleTimeSeparator(QLocale(QLocale::Danish, QLocale::Denmark)), ".");
}
