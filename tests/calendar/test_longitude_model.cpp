#include "calendar/LongitudeModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace calendar {
namespace {

TEST(NormalizeAngle, ReducesIntoZeroTo360) {
  EXPECT_EQ(NormalizeAngle(-725.5L), 354.5L);
  EXPECT_EQ(NormalizeAngle(720.0L), 0.0L);
  EXPECT_EQ(NormalizeAngle(-0.25L), 359.75L);
  EXPECT_EQ(NormalizeAngle(1085.75L), 5.75L);
  EXPECT_EQ(NormalizeAngle(359.9999L), 359.9999L);
  EXPECT_EQ(NormalizeAngle(360.0L), 0.0L);
  EXPECT_EQ(NormalizeAngle(-360.0L), 0.0L);
  EXPECT_EQ(NormalizeAngle(0.0L), 0.0L);
  // 360 - 1e-30 rounds to 360 itself, which must not be returned.
  EXPECT_EQ(NormalizeAngle(-1e-30L), 0.0L);
}

TEST(NormalizeAngle, NonFiniteAndHugeInputsEnd) {
  EXPECT_TRUE(std::isnan(NormalizeAngle(std::numeric_limits<long double>::infinity())));
  EXPECT_TRUE(std::isnan(NormalizeAngle(-std::numeric_limits<long double>::infinity())));
  EXPECT_TRUE(std::isnan(NormalizeAngle(std::numeric_limits<long double>::quiet_NaN())));
  const long double huge = NormalizeAngle(1e30L);
  EXPECT_GE(huge, 0.0L);
  EXPECT_LT(huge, 360.0L);
}

TEST(MoonSunElongation, WorkedExamples) {
  EXPECT_NEAR(static_cast<double>(MoonSunElongation(0)), 113.712664, 5e-7);
  EXPECT_NEAR(static_cast<double>(MoonSunElongation(35)), 172.56653, 5e-6);
  EXPECT_NEAR(static_cast<double>(MoonSunElongation(10365)), 105.767741, 5e-7);
}

TEST(MoonSunElongation, StaysInRangeBeforeAndAfterTheEpoch) {
  for (long double t = -80000; t <= 80000; t += 97.3L) {
    const long double e = MoonSunElongation(t);
    ASSERT_GE(e, 0.0L) << static_cast<double>(t);
    ASSERT_LT(e, 360.0L) << static_cast<double>(t);
  }
}

TEST(MoonSunElongation, GrowsAboutTwelveDegreesADay) {
  // The synodic month is about 29.53 days: 360 / 29.53 = 12.19 degrees a day on average.
  for (long double t = -3000; t <= 3000; t += 11) {
    long double step = MoonSunElongation(t + 1) - MoonSunElongation(t);
    if (step < 0) step += 360;
    ASSERT_GT(step, 9.0L) << static_cast<double>(t);
    ASSERT_LT(step, 16.0L) << static_cast<double>(t);
  }
}

}  // namespace
}  // namespace calendar
