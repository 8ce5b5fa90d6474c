#pragma once
// POSTCODE.DBF: a dBASE III table with the Korean (CP949) code-page byte 0x79
// and the fields ZIPCODE C(7), DDD C(4), ETC C(n), n the longest address in
// bytes. One record per source row, in SEQ order. (Tables made from the
// current data carry further fields: PostalTable.h.)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertError.h"
#include "SourceCsv.h"
#include "platform/AtomicWrite.h"

namespace postal {

struct PostcodeRecord {
  std::string zipcode;
  std::string ddd;
  std::string etc;  // SIDO GUGUN DONG BUNJI, empty parts left out
};

// The last-update date of a table's header.
struct DbfDate {
  int year, month, day;
};

inline constexpr int kZipcodeWidth = 7;
inline constexpr int kDddWidth = 4;
inline constexpr int kMaxCharWidth = 254;  // dBASE III character fields
inline constexpr uint8_t kCp949LanguageDriver = 0x79;

PostcodeRecord MakeRecord(const SourceRow& row);

// The whole file image. Fails (with the row's line) when an address is longer
// than a character field can hold.
std::optional<std::string> BuildPostcodeDbf(const std::vector<SourceRow>& rows,
                                            ConvertError* error);

// The file image of records whose fields fit their widths (ZIPCODE and DDD
// above, ETC etcWidth bytes, 1..254), dated date.
std::string PostcodeDbfImage(const std::vector<PostcodeRecord>& records, int etcWidth,
                             DbfDate date);

// A character field of a table: its name (at most 10 characters) and width
// (1..254).
struct DbfField {
  std::string name;
  int width = 1;
  bool operator==(const DbfField&) const = default;
};

// The header of a dBASE III table of count records with these character
// fields, dated date, with the Korean code-page byte.
std::string DbfHeader(size_t count, const std::vector<DbfField>& fields, DbfDate date);

// The same image in parts: the header of a table of count records, each
// record (appended to out), and the end-of-file mark after the last.
std::string PostcodeDbfHeader(size_t count, int etcWidth, DbfDate date);
void AppendPostcodeRecord(std::string* out, std::string_view zipcode, std::string_view ddd,
                          std::string_view etc, int etcWidth);
inline constexpr char kDbfEndOfFile = '\x1A';

}  // namespace postal
