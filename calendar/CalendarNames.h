// The calendar's name tables, as CP949 bytes (Windows code page 949). They are
// constants, so nothing is converted at run time and nothing can fail.
#pragma once

#include <array>
#include <string_view>

namespace calendar {

// The 24 solar terms by TermOffsets index; entry 24 repeats entry 0.
const std::array<std::string_view, 25>& TermNames();
// Stem and branch of each sexagenary index, 0 = 甲子 to 59 = 癸亥.
const std::array<std::string_view, 60>& GanjiNames();
// 0 = Sunday.
const std::array<std::string_view, 7>& WeekdayNames();
// The 28 lunar mansions, two bytes each.
const std::array<std::string_view, 28>& MansionNames();

}  // namespace calendar
