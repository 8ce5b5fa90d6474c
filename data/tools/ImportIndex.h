#pragma once
// The index of a table just imported, built where the finder will look for
// it, so that the first start after an import opens at once.
#include <string>

namespace postal {

// Opens table with the libraries of the program in programFolder and builds
// its index at indexPath (kept when it already answers for the table). False
// with the reason in *error; the table is never touched.
bool BuildImportedIndex(const std::string& programFolder, const std::string& table,
                        const std::string& indexPath, std::string* error);

}  // namespace postal
