#pragma once
// Korea Post's range files (범위주소 DB) of five-digit zone numbers: one of
// road-name ranges, one of lot-number ranges. Pipe-separated text, UTF-8 (with
// or without a byte-order mark) or CP949, LF or CRLF line ends, usually a
// first line of column names.
//
//   road, 15 fields: 우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|
//     읍면명(영문)|도로명|도로명(영문)|지하여부|건물번호본번(시작)|
//     건물번호부번(시작)|건물번호본번(종료)|건물번호부번(종료)|범위종류
//   lot, 14 fields: 우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면동명|
//     읍면동명(영문)|리명|산여부|행정동명|지번본번(시작)|지번부번(시작)|
//     지번본번(종료)|지번부번(종료)
//
// Each row becomes one record of the postal table: the zone number, the
// dialling code of its district and the full address (see RangeAddress.h).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertError.h"
#include "PostcodeDbf.h"
#include "TextEncoding.h"

namespace postal {

enum class RangeKind { kRoad, kLot };

inline constexpr size_t kRoadFieldCount = 15;
inline constexpr size_t kLotFieldCount = 14;

// What a file turned out to be.
struct RangeFileInfo {
  RangeKind kind = RangeKind::kRoad;
  TextEncoding encoding = TextEncoding::kUtf8;
  bool hasColumnNames = false;
  size_t rows = 0;
};

// One row as a record of the table, CP949. The views hold until the next row.
struct RangeRow {
  std::string_view zipcode;  // five digits
  std::string_view ddd;      // the district's code (the islands' rule across
                             // files is the import's, see islandLot)
  std::string_view etc;      // at most 254 bytes
  bool islandLot = false;    // a lot row on the islands of 단원구
};

using RangeRowSink = std::function<void(const RangeRow& row)>;
// Called every few thousand rows with the rows read so far.
using RangeProgress = std::function<void(size_t rows)>;

// Reads and checks a whole file, handing every row to sink in file order. The
// kind comes from the column names (도로명: road; 읍면동명 or 리명: lot), or,
// without such a line, from the field count of the first row. The first
// fault ends the reading with its line (0 for the file as a whole); the rows
// before it have reached sink.
std::optional<RangeFileInfo> ReadRangeFile(std::string_view bytes, const RangeRowSink& sink,
                                           ConvertError* error, const RangeProgress& progress = {});

// A whole file parsed into records, for callers that want them at once.
struct RangeFile {
  RangeFileInfo info;
  // One per row in file order, DDD the district's code.
  std::vector<PostcodeRecord> records;
  // Zone numbers that have a lot row on the islands of 단원구.
  std::vector<std::string> islandZones;
};

// ReadRangeFile into a RangeFile; nothing when the file has a fault.
std::optional<RangeFile> ParseRangeFile(std::string_view bytes, ConvertError* error);

}  // namespace postal
