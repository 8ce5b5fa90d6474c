// Minute distances between moments and the inverse search that finds a moment from a
// base moment and a minute count.
#pragma once

#include <cstdint>

#include "calendar/CalendarTypes.h"

namespace calendar {

// Fixed length of a solar year: 365 days 5 hours 49 minutes.
inline constexpr int64_t SolarYearMinutes = 525949;

// Minutes from moment 2 to moment 1 (moment 1 minus moment 2).
int64_t MinuteDistance(const SolarMoment& moment1, const SolarMoment& moment2);

// The moment T with MinuteDistance(base, T) == offset: offset minutes before the base when
// positive, after it when negative (pass -n for n minutes after the base).
SolarMoment MomentFromMinutes(const SolarMoment& base, int64_t offset);

}  // namespace calendar
