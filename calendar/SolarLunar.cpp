#include "calendar/SolarLunar.h"

#include <cstdint>
#include <cstdlib>

#include "calendar/DayArithmetic.h"
#include "calendar/LongitudeModel.h"
#include "calendar/MinuteArithmetic.h"
#include "calendar/SolarTerms.h"

namespace calendar {
namespace {

constexpr SolarMoment kDayNumberEpoch{{1995, 12, 31}, 0, 0};
constexpr long double kLocalTimeShift = 0.375L;  // the model runs 9 hours behind local time
// The search steps are these decimal values, not 1/24 and 1/1440: the found minutes
// depend on them.
constexpr long double kDayStep = 1;
constexpr long double kHourStep = 0.04166666666L;
constexpr long double kMinuteStep = 0.000694444L;

// The recursion of the month check goes back one lunar month per level and ends within
// seven levels; the bound only keeps dates far outside any sane range from exhausting
// the stack.
constexpr int kMaxCheckDepth = 40;

SolarMoment MomentOfDayNumber(long double t) {
  const int64_t n = static_cast<int64_t>((t + kLocalTimeShift) * 1440);
  return MomentFromMinutes(kDayNumberEpoch, -n);
}

long double DayNumberOf(const SolarDate& date) {
  return static_cast<long double>(DayDistance(date, kDayNumberEpoch.date));
}

// One stepped search: the condition is tested first and E is recomputed after each step.
struct Search {
  long double t;
  long double e;
  template <typename Condition>
  void StepWhile(Condition condition, long double step) {
    while (condition(e)) {
      t = t + step;
      e = MoonSunElongation(t);
    }
  }
};

int16_t MonthOfPrincipalTerm(int p) {
  return static_cast<int16_t>((p - 1) / 2 + 1);
}

bool SameMonthDayOrLater(const SolarDate& x, const SolarDate& start) {
  return x.month == start.month && x.day >= start.day;
}
bool SameMonthDayBefore(const SolarDate& x, const SolarDate& end) {
  return x.month == end.month && x.day < end.day;
}

// Steps the month back by one, wrapping to month 12 of the previous year.
void PreviousMonth(LunarDate& lunar) {
  lunar.month = static_cast<int16_t>(lunar.month - 1);
  if (lunar.month == 0) {
    lunar.month = 12;
    lunar.year -= 1;
  }
}

void SolarToLunarAtDepth(const SolarDate& date, LunarDate& result, int depth) {
  const MoonPhases phases = FindMoonPhases(date);
  const SolarDate& nm = phases.newMoon.date;
  const SolarDate& nn = phases.nextNewMoon.date;

  result.day = static_cast<int16_t>(DayDistance(date, nm) + 1);
  const int32_t length = std::abs(DayDistance(nm, nn));
  if (length == 30) result.bigMonth = 1;
  if (length == 29) result.bigMonth = 0;

  // The principal term of the solar month of the new moon, and the one after it.
  const SolarTerm b = SolarTermsAround(phases.newMoon).principal;
  int s = b.index + 2;
  if (s > 24) s = 1;
  int64_t difference = TermOffsets[s] - TermOffsets[b.index];
  if (difference < 0) difference += SolarYearMinutes;
  const SolarDate z = MomentFromMinutes(b.moment, -difference).date;

  // Only months and days are compared: a lunar month spans at most two solar months.
  if (SameMonthDayOrLater(b.moment.date, nm) || SameMonthDayBefore(b.moment.date, nn)) {
    result.month = MonthOfPrincipalTerm(b.index);
    result.leap = 0;
  } else if (SameMonthDayBefore(z, nn) || SameMonthDayOrLater(z, nm)) {
    result.month = MonthOfPrincipalTerm(s);
    result.leap = 0;
  } else if (nm.month < z.month && z.month < nn.month) {
    result.month = MonthOfPrincipalTerm(s);
    result.leap = 0;
  } else {  // no principal term inside the lunar month
    result.month = MonthOfPrincipalTerm(b.index);
    result.leap = 1;
  }

  result.year = nm.year;
  if (result.month == 12 && nm.month == 1) result.year -= 1;

  // Around the winter months the numbering is settled against the previous lunar month.
  const bool check = (result.month == 11 && result.leap) || result.month == 12 || result.month < 6;
  if (!check || depth >= kMaxCheckDepth) return;

  const SolarDate twoDaysBefore = MomentFromMinutes(phases.newMoon, 2880).date;
  LunarDate prev;
  SolarToLunarAtDepth(twoDaysBefore, prev, depth + 1);
  const int expected = result.month - 1 == 0 ? 12 : result.month - 1;

  if (expected == prev.month) {
    result.leap = 0;
  } else if (result.leap) {
    if (result.month != prev.month) {  // equal: the leap repeat of the previous month
      PreviousMonth(result);
      result.leap = 0;
    }
  } else if (result.month == prev.month) {
    result.leap = 1;
  } else {
    PreviousMonth(result);
  }
}

}  // namespace

MoonPhases FindMoonPhases(const SolarDate& date) {
  const long double t0 = DayNumberOf(date);  // 09:00 local time on the date
  const long double e0 = MoonSunElongation(t0);
  MoonPhases phases;

  Search back{t0, e0};
  back.StepWhile([](long double e) { return e > 13.5L; }, -kDayStep);
  back.StepWhile([](long double e) { return e > 1; }, -kHourStep);
  back.StepWhile([](long double e) { return e < 359.99L; }, -kMinuteStep);
  phases.newMoon = MomentOfDayNumber(back.t);

  Search ahead{t0, e0};
  ahead.StepWhile([](long double e) { return e < 346.5L; }, kDayStep);
  ahead.StepWhile([](long double e) { return e < 359; }, kHourStep);
  ahead.StepWhile([](long double e) { return e > 0.01L; }, kMinuteStep);
  phases.nextNewMoon = MomentOfDayNumber(ahead.t);

  // A new moon later on the date itself opens the month that contains the date.
  if (phases.nextNewMoon.date.month == date.month && phases.nextNewMoon.date.day == date.day) {
    phases.newMoon = phases.nextNewMoon;
    ahead.StepWhile([](long double e) { return e < 347; }, kDayStep);
    ahead.StepWhile([](long double e) { return e < 359; }, kHourStep);
    ahead.StepWhile([](long double e) { return e > 0.01L; }, kMinuteStep);
    phases.nextNewMoon = MomentOfDayNumber(ahead.t);
  }

  const long double tf = DayNumberOf(phases.newMoon.date) + 12;
  Search full{tf, MoonSunElongation(tf)};
  full.StepWhile([](long double e) { return e < 166.5L; }, kDayStep);
  full.StepWhile([](long double e) { return e < 179; }, kHourStep);
  full.StepWhile([](long double e) { return e < 179.99L; }, kMinuteStep);
  phases.fullMoon = MomentOfDayNumber(full.t);

  return phases;
}

void SolarToLunar(const SolarDate& date, LunarDate& result) {
  SolarToLunarAtDepth(date, result, 0);
}

}  // namespace calendar
