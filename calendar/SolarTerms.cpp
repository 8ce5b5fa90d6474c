#include "calendar/SolarTerms.h"

#include "calendar/DayArithmetic.h"
#include "calendar/MinuteArithmetic.h"

namespace calendar {
namespace {

// Minutes from the moment to the reference moment and the position in its solar year.
struct YearPosition {
  int64_t m;  // MinuteDistance(ReferenceMoment, moment): positive before the reference
  int64_t v;  // minutes since the start of the moment's solar year, 0 to 525948
};

YearPosition PositionOf(const SolarMoment& moment) {
  YearPosition p;
  p.m = MinuteDistance(ReferenceMoment, moment);
  p.v = SolarYearMinutes - p.m % SolarYearMinutes;
  if (p.v < 0) p.v += SolarYearMinutes;
  if (p.v > SolarYearMinutes - 1) p.v -= SolarYearMinutes;
  return p;
}

int SolarMonthOf(int64_t v) {
  for (int i = 0; i < 12; ++i) {
    if (TermOffsets[2 * i] <= v && v < TermOffsets[2 * i + 2]) return i;
  }
  return 11;  // unreachable: v lies in [0, 525949)
}

}  // namespace

Ganji GanjiOfMoment(const SolarMoment& moment) {
  const YearPosition pos = PositionOf(moment);
  const int32_t d = DayDistance(ReferenceMoment.date, moment.date);

  // 0 for the solar year 1996, 1 for the year before, -1 for the year after. At an exact
  // multiple before the reference the minute already belongs to the earlier year count.
  const int64_t c = pos.m / SolarYearMinutes + (pos.m >= 0 ? 1 : 0);
  int64_t year = 12 - c % 60;
  if (year < 0) year += 60;
  if (year > 59) year -= 60;

  int64_t month = SolarMonthOf(pos.v) + 12 * ((year % 10) % 5) + 2;
  if (month > 59) month -= 60;

  int64_t day = 7 - d % 60;
  if (day < 0) day += 60;
  if (day > 59) day -= 60;

  return Ganji{static_cast<int8_t>(year), static_cast<int8_t>(month), static_cast<int8_t>(day)};
}

SolarTermsAroundResult SolarTermsAround(const SolarMoment& moment) {
  int k = GanjiOfMoment(moment).month % 12 - 2;
  if (k == -2) k = 10;
  if (k == -1) k = 11;

  const YearPosition pos = PositionOf(moment);
  auto term = [&](int j) {
    return SolarTerm{static_cast<int16_t>(j),
                     MomentFromMinutes(ReferenceMoment, pos.m + pos.v - TermOffsets[j])};
  };
  return SolarTermsAroundResult{term(2 * k), term(2 * k + 1), term(2 * k + 2)};
}

}  // namespace calendar
