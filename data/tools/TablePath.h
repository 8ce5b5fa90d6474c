#pragma once
// Where the finder reads its postal table.
#include <string>

namespace postal {

inline constexpr char kPostalTableFileName[] = "POSTCODE.DBF";

// The table an import replaces when no output is named: POSTCODE.DBF beside
// the running program, where the finder reads it. Empty when the program's
// own folder cannot be found.
std::string DefaultTablePath();

}  // namespace postal
