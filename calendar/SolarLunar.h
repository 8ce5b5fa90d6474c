// New moon, full moon and the lunar date of a solar date.
#pragma once

#include "calendar/CalendarTypes.h"

namespace calendar {

// Local moments, to the minute.
struct MoonPhases {
  SolarMoment newMoon;      // opened the lunar month containing the date
  SolarMoment fullMoon;     // of that month
  SolarMoment nextNewMoon;  // opens the next lunar month
};

MoonPhases FindMoonPhases(const SolarDate& date);

// Fills in the lunar date of the date. The big-month flag is written only for month
// lengths of 29 and 30 days, so clear the result before the call.
void SolarToLunar(const SolarDate& date, LunarDate& result);

}  // namespace calendar
