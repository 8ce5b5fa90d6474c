#pragma once
// The postal table made from Korea Post's range files (see RangeFile.h): one
// record per row, the files in the order given, the rows in file order.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PostcodeDbf.h"
#include "RangeFile.h"

namespace postal {

// ETC is as wide as the longest address, and never narrower than the
// six-digit table's, so that the grid's column fits both alike.
inline constexpr int kMinRangeEtcWidth = 83;

class RangeTable {
 public:
  // Room for the records of range files of about this many bytes in all.
  void Reserve(size_t inputBytes);
  // Reads one file and keeps its records. On a fault: false, nothing kept,
  // and *error is "NAME:LINE: what is wrong" ("NAME: ..." for the whole file).
  bool AddFile(std::string_view name, std::string_view bytes, std::string* error,
               const RangeProgress& progress = {});
  size_t RecordCount() const { return count_; }
  // The table image, handed to sink in pieces; false when sink fails. Every
  // record of a zone that has a lot row on the islands of 단원구 dials 032.
  bool WriteImage(DbfDate date, const ByteSink& sink);
  std::string Image(DbfDate date);

 private:
  void ApplyIslandCode();

  // Per record: ZIPCODE (5 bytes), DDD (4, blank-padded), the length of ETC
  // (1 byte), ETC. One block instead of a string per field keeps a
  // national import to a few allocations.
  std::string records_;
  size_t count_ = 0;
  size_t longest_ = 0;
  std::vector<std::string> islandZones_;
};

// "NAME:LINE: what" (or "NAME: what" for line 0).
std::string FormatFault(std::string_view name, const ConvertError& error);

// The whole import of files given as (name, bytes): the table image, or
// nothing with the first fault in *error.
std::optional<std::string> ImportRangeFiles(
    const std::vector<std::pair<std::string, std::string>>& files, DbfDate date,
    std::string* error);

}  // namespace postal
