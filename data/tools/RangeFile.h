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

struct RangeFile {
  RangeKind kind = RangeKind::kRoad;
  TextEncoding encoding = TextEncoding::kUtf8;
  bool hasColumnNames = false;
  // One per row in file order; DDD is the district's code (the islands' rule
  // across files is applied by the import).
  std::vector<PostcodeRecord> records;
  // Zone numbers that have a lot row on the islands of 단원구.
  std::vector<std::string> islandZones;
};

// Called every few thousand rows with the rows read so far.
using RangeProgress = std::function<void(size_t rows)>;

// Parses and checks a whole file. The kind comes from the column names
// (도로명: road; 읍면동명 or 리명: lot), or, without such a line, from the
// field count of the first row. The first fault ends the parse with its line
// (0 for the file as a whole) and nothing is returned.
std::optional<RangeFile> ParseRangeFile(std::string_view bytes, ConvertError* error,
                                        const RangeProgress& progress = {});

}  // namespace postal
