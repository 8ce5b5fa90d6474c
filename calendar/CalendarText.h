// The nine-line lunisolar calendar text for one day, as shown in the main window.
#pragma once

#include <string>
#include <string_view>

namespace calendar {

// dateText is the date display's text, "YYYY.MM.DD". Returns the nine lines as CP949
// bytes separated by single carriage returns (13), with none after the last line.
// Returns an empty text when dateText is not a valid date in that form.
std::string BuildCalendarText(std::string_view dateText);

}  // namespace calendar
