#pragma once
// Where the finder reads its postal table.
#include <string>

namespace postal {

inline constexpr char kPostalTableFileName[] = "POSTCODE.DBF";

// The table an import replaces when no output is named: the one the finder
// opens first under the program's folder rule (platform/RunFolders.h) -
// POSTCODE.DBF beside a program in a folder the user can write, the user's
// own $XDG_DATA_HOME/postcode-finder/POSTCODE.DBF for an installed program
// (its folder is created here). Empty when the program's folder cannot be
// found, or the user's folder cannot be made.
std::string DefaultTablePath();

}  // namespace postal
