#pragma once
// A generated table of many postal records made from the national list: its
// addresses recombined with other lot numbers, building names and codes.
#include <cstddef>
#include <string>
#include <vector>

#include "tests/ftsindex/ZipcodeRecords.h"

namespace ftsbench {

std::vector<std::string> MakeLargeRecords(const std::vector<ftstest::ZipRow>& rows, size_t count,
                                          unsigned seed);

}  // namespace ftsbench
