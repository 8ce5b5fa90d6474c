#include "calendar/SolarTerms.h"

#include <gtest/gtest.h>

#include "CalendarTestSupport.h"
#include "calendar/MinuteArithmetic.h"

namespace calendar {
namespace {

void ExpectGanji(const SolarMoment& m, int year, int month, int day) {
  const Ganji g = GanjiOfMoment(m);
  EXPECT_EQ(g.year, year) << m;
  EXPECT_EQ(g.month, month) << m;
  if (day >= 0) {
    EXPECT_EQ(g.day, day) << m;
  }
}

void ExpectTerm(const SolarTerm& term, int index, const SolarMoment& moment) {
  EXPECT_EQ(term.index, index);
  EXPECT_EQ(term.moment, moment) << "term " << index << " at " << term.moment;
}

TEST(GanjiOfMoment, AroundTheReferenceMoment) {
  // The reference minute itself still belongs to the previous year count.
  ExpectGanji(ReferenceMoment, 11, 14, 7);
  ExpectGanji(At(1996, 2, 4, 22, 9), 12, 26, 7);
  ExpectGanji(At(1996, 2, 4, 22, 7), 11, 25, 7);
}

TEST(GanjiOfMoment, ExactMultiplesOfTheSolarYear) {
  for (int k = 1; k <= 30; ++k) {
    const SolarMoment start = MomentFromMinutes(ReferenceMoment, k * SolarYearMinutes);
    const int year = ((11 - k) % 60 + 60) % 60;  // the year index before the start
    const Ganji at = GanjiOfMoment(start);
    EXPECT_EQ(at.year, year) << start;
    EXPECT_EQ(at.month % 12, 2) << start;  // 寅, the first month of the new position
    const Ganji before = GanjiOfMoment(MomentFromMinutes(start, 1));
    EXPECT_EQ(before.year, year) << start;
    EXPECT_EQ(before.month % 12, 1) << start;  // 丑, the last month
  }
  // After the reference the starting minute already belongs to the new year.
  for (int k = 1; k <= 30; ++k) {
    const SolarMoment start = MomentFromMinutes(ReferenceMoment, -k * SolarYearMinutes);
    EXPECT_EQ(GanjiOfMoment(start).year, (12 + k) % 60) << start;
    EXPECT_EQ(GanjiOfMoment(MomentFromMinutes(start, 1)).year, (11 + k) % 60) << start;
  }
}

TEST(GanjiOfMoment, Dates) {
  ExpectGanji(At(2024, 5, 17, 23, 25), 40, 5, 17);
  for (int16_t h = 0; h < 24; ++h) EXPECT_EQ(GanjiOfMoment(At(2024, 5, 17, h, 59)).day, 17);
  ExpectGanji(At(2024, 1, 25, 12, 0), 39, 1, -1);
  EXPECT_EQ(GanjiOfMoment(At(1996, 2, 5, 0, 0)).day, 8);
  EXPECT_EQ(GanjiOfMoment(At(1996, 2, 3, 0, 0)).day, 6);
  EXPECT_EQ(GanjiOfMoment(At(1996, 4, 4, 0, 0)).day, 7);  // 60 days later
}

TEST(GanjiOfMoment, MonthStemsFollowTheYearStem) {
  // 甲/己 years open with 丙寅 (2), 乙/庚 with 戊寅 (14), 丙/辛 with 庚寅 (26),
  // 丁/壬 with 壬寅 (38), 戊/癸 with 甲寅 (50).
  const int opening[] = {2, 14, 26, 38, 50};
  for (int k = 0; k < 10; ++k) {
    const SolarMoment m = MomentFromMinutes(ReferenceMoment, -k * SolarYearMinutes - 60);
    const Ganji g = GanjiOfMoment(m);
    EXPECT_EQ(g.month, opening[(g.year % 10) % 5]) << m;
  }
}

TEST(GanjiOfMoment, IndicesStayInRangeBeforeAndAfter1996) {
  for (int64_t minutes = -80 * SolarYearMinutes; minutes <= 100 * SolarYearMinutes;
       minutes += 104729) {
    const Ganji g = GanjiOfMoment(MomentFromMinutes(ReferenceMoment, minutes));
    ASSERT_TRUE(g.year >= 0 && g.year <= 59);
    ASSERT_TRUE(g.month >= 0 && g.month <= 59);
    ASSERT_TRUE(g.day >= 0 && g.day <= 59);
  }
}

TEST(SolarTermsAround, WorkedExamples) {
  const SolarTermsAroundResult may = SolarTermsAround(At(2024, 5, 17, 23, 25));
  ExpectTerm(may.opening, 6, At(2024, 5, 5, 9, 18));
  ExpectTerm(may.principal, 7, At(2024, 5, 20, 22, 18));
  ExpectTerm(may.next, 8, At(2024, 6, 5, 13, 31));

  const SolarTermsAroundResult ref = SolarTermsAround(ReferenceMoment);
  ExpectTerm(ref.opening, 0, At(1996, 2, 4, 22, 8));
  ExpectTerm(ref.principal, 1, At(1996, 2, 19, 18, 3));
  ExpectTerm(ref.next, 2, At(1996, 3, 5, 16, 11));

  const SolarTermsAroundResult jan = SolarTermsAround(At(2024, 1, 25, 12, 0));
  ExpectTerm(jan.opening, 22, At(2024, 1, 6, 5, 24));
  ExpectTerm(jan.principal, 23, At(2024, 1, 20, 22, 44));
  ExpectTerm(jan.next, 24, At(2024, 2, 4, 17, 0));
}

TEST(SolarTermsAround, TermsBracketTheMomentBeforeAndAfter1996) {
  for (int64_t minutes = -110 * SolarYearMinutes; minutes <= 100 * SolarYearMinutes;
       minutes += 3 * 104729) {
    const SolarMoment m = MomentFromMinutes(ReferenceMoment, minutes);
    const SolarTermsAroundResult t = SolarTermsAround(m);
    ASSERT_EQ(t.opening.index % 2, 0);
    ASSERT_EQ(t.principal.index, t.opening.index + 1);
    ASSERT_EQ(t.next.index, t.opening.index + 2);
    ASSERT_LE(MinuteDistance(m, t.opening.moment), MinuteDistance(t.next.moment, t.opening.moment));
    ASSERT_GE(MinuteDistance(m, t.opening.moment), 0) << m;
    ASSERT_LT(MinuteDistance(m, t.next.moment), 0) << m;
    ASSERT_EQ(MinuteDistance(t.principal.moment, t.opening.moment),
              TermOffsets[t.principal.index] - TermOffsets[t.opening.index]);
  }
}

}  // namespace
}  // namespace calendar
