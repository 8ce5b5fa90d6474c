// The calendar's name tables as CP949 text. They are written once, in UTF-8, in
// CalendarNames.cpp and converted at first use.
#pragma once

#include <array>
#include <string>

namespace calendar {

// False when the CP949 conversion is not available; every name is then empty.
bool CalendarNamesAvailable();

// The 24 solar terms by TermOffsets index; entry 24 repeats entry 0.
const std::array<std::string, 25>& TermNames();
// Stem and branch of each sexagenary index, 0 = 甲子 to 59 = 癸亥.
const std::array<std::string, 60>& GanjiNames();
// 0 = Sunday.
const std::array<std::string, 7>& WeekdayNames();
// The 28 lunar mansions, two bytes each.
const std::array<std::string, 28>& MansionNames();

}  // namespace calendar
