// The 24 solar terms at fixed minute offsets inside equal solar years counted from one
// reference moment, and the sexagenary (ganji) indices of a moment's year, month and day.
#pragma once

#include <array>
#include <cstdint>

#include "calendar/CalendarTypes.h"

namespace calendar {

// 1996-02-04 22:08 local time: the start of the solar year 1996 (term 0, the spring start).
inline constexpr SolarMoment ReferenceMoment{{1996, 2, 4}, 22, 8};

// Minutes from the start of a solar year to each term. Even indices open the twelve solar
// months, odd ones lie in their middle; entry 24 is the start of the next solar year.
inline constexpr std::array<int32_t, 25> TermOffsets = {
    0,      21355,  42843,  64498,  86335,  108366, 130578, 152958, 175471,
    198077, 220728, 243370, 265955, 288432, 310767, 332928, 354903, 376685,
    398290, 419736, 441060, 462295, 483493, 504693, 525949};

// Sexagenary indices, 0 to 59 each.
struct Ganji {
  int8_t year = 0;
  int8_t month = 0;
  int8_t day = 0;
};

Ganji GanjiOfMoment(const SolarMoment& moment);

struct SolarTerm {
  int16_t index = 0;  // into TermOffsets and TermNames
  SolarMoment moment;
};

// The sectional term that opened the solar month containing the moment, the principal
// term of that month, and the sectional term that opens the next month.
struct SolarTermsAroundResult {
  SolarTerm opening;
  SolarTerm principal;
  SolarTerm next;
};

SolarTermsAroundResult SolarTermsAround(const SolarMoment& moment);

}  // namespace calendar
