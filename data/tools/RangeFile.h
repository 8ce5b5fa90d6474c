#pragma once
// Korea Post's range files (범위주소 DB) of five-digit zone numbers: one of
// road-name ranges, one of lot-number ranges. Pipe-separated text, UTF-8 (with
// or without a byte-order mark) or CP949, LF or CRLF line ends, usually a
// first line of column names, as in the real files:
//
//   road, 15 fields: 우편번호|시도|시도영문|시군구|시군구영문|읍면|읍면영문|도로명|
//     도로명영문|지하여부|시작건물번호(주)|시작건물번호(부)|끝건물번호(주)|
//     끝건물번호(부)|범위종류
//   lot, 14 fields: 구역번호|시도|시도영문|시군구|시군구영문|읍면동|읍면동영문|
//     리명|산여부|행정동|시작주번지|시작부번지|끝주번지|끝부번지
//
// (Korea Post's file description names some columns otherwise, 시도명(영문),
// 건물번호본번(시작), ...: the order is the same.) Each row becomes one record
// of the postal table: the zone number, the dialling code of its district,
// the full address and, for a road row, the English address (see
// RangeAddress.h). Messages name a field as the file's line of column names
// does, or by the real files' names above.
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
  std::string_view eng;      // at most 254 bytes; empty for a lot row
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

struct RangeRecord {
  std::string zipcode, ddd, etc, eng;
};

// A whole file parsed into records, for callers that want them at once.
struct RangeFile {
  RangeFileInfo info;
  // One per row in file order, DDD the district's code.
  std::vector<RangeRecord> records;
  // Zone numbers that have a lot row on the islands of 단원구.
  std::vector<std::string> islandZones;
};

// ReadRangeFile into a RangeFile; nothing when the file has a fault.
std::optional<RangeFile> ParseRangeFile(std::string_view bytes, ConvertError* error);

}  // namespace postal
