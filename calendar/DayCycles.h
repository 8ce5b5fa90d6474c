// The weekday and the lunar mansion of a date, two day cycles counted from 1996-02-04
// (a Sunday, in the mansion 昴).
#pragma once

#include "calendar/CalendarTypes.h"

namespace calendar {

int WeekdayIndex(const SolarDate& date);  // 0 to 6, 0 = Sunday
int MansionIndex(const SolarDate& date);  // 0 to 27, into MansionNames

}  // namespace calendar
