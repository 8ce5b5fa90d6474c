#pragma once
// A synthetic pair of Korea Post range files in the official layout, about
// 600,000 rows in all, and the postal table imported from them. The places
// (province, district, village, 리) come from the six-digit national list in
// data/source; road names, numbers and zone numbers are made up, the same
// for the same seed. The road-name file is UTF-8 with a byte-order mark and
// CRLF line ends, the lot-number file CP949 with LF: both kinds the import
// reads.
#include <cstddef>
#include <string>

namespace benchsupport {

inline constexpr size_t kLargeRangeRows = 600000;

struct LargeRangeFiles {
  std::string roadPath, lotPath;
  size_t roadRows = 0, lotRows = 0;
};

// Writes "road.txt" (two thirds of rows) and "lot.txt" (the rest) into
// folder. Empty paths when the national list cannot be read or a file cannot
// be written.
LargeRangeFiles WriteLargeRangeFiles(const std::string& folder, size_t rows = kLargeRangeRows,
                                     unsigned seed = 1);

// Writes the two files into folder and imports them, as postcode-import
// does, into folder/POSTCODE.DBF. Returns the table's path; empty on failure,
// with the reason in *why.
std::string MakeLargeRangeTable(const std::string& folder, std::string* why = nullptr,
                                size_t rows = kLargeRangeRows);

}  // namespace benchsupport
