#pragma once
// The current postal data, one row per building, in its two published
// layouts: pipe-separated text, CP949 (UTF-8 is read too), LF or CRLF.
//
//   Korea Post's "지역별 주소 DB" (zipcode_DB.zip, one file per province), 26
//   fields after a first line of their names:
//     우편번호|시도|시도영문|시군구|시군구영문|읍면|읍면영문|도로명코드|도로명|
//     도로명영문|지하여부|건물번호본번|건물번호부번|건물관리번호|다량배달처명|
//     시군구용건물명|법정동코드|법정동명|리명|행정동명|산여부|지번본번|
//     읍면동일련번호|지번부번|구우편번호|우편번호일련번호
//   The government's road-name address DB (juso.go.kr, 도로명주소 한글 전체분,
//   rnaddrkor_*.txt), 24 fields, no line of names, no English:
//     도로명주소관리번호|법정동코드|시도명|시군구명|법정읍면동명|법정리명|산여부|
//     지번본번|지번부번|도로명코드|도로명|지하여부|건물본번|건물부번|행정동코드|
//     행정동명|기초구역번호|이전도로명주소|효력발생일|공동주택여부|이동사유코드|
//     건축물대장건물명|시군구용건물명|비고
//
// Each row is one record of the table: its postal code, the dialling code of
// its district, and its addresses (BuildingAddress.h). The building's name is
// 시군구용건물명, else 다량배달처명 (Korea Post) or 건축물대장건물명 (the
// government's). A line of column names must name the layout's columns in
// their order. Messages name a field by its column name.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ConvertError.h"
#include "FieldReader.h"

namespace postal {

enum class BuildingLayout { kKoreaPost, kGovernment };

inline constexpr size_t kKoreaPostFieldCount = 26;
inline constexpr size_t kGovernmentFieldCount = 24;

// The layout of a file whose first line has this many fields.
std::optional<BuildingLayout> BuildingLayoutOfFieldCount(size_t fields);
// "Korea Post's address DB", "the government's road-name address DB".
const char* BuildingLayoutName(BuildingLayout layout);
// Whether the layout carries English addresses.
bool CarriesEnglish(BuildingLayout layout);

// One row as a record, CP949; the views hold until the next line.
struct BuildingRow {
  std::string_view zipcode, ddd, etc, jibun, eng;  // eng empty without English
  bool island = false;         // on the islands of 단원구: its zone dials 032
  uint32_t effectiveDate = 0;  // 효력발생일 as YYYYMMDD; 0 when none
};

// Reads the lines of one file in order.
class BuildingReader {
 public:
  BuildingReader(BuildingLayout layout, ConvertError* error);

  enum class Line { kRow, kSkipped, kFault };
  // One line without its LF, numbered lineNo (1 for the first). kRow with
  // *row set; kSkipped for the line of column names and for empty lines
  // (which are a fault when a row follows them); kFault with the error.
  Line Read(std::string_view line, int lineNo, BuildingRow* row);
  // The lines come from bytes that an earlier pass read whole and found to
  // be text, unchanged since: their characters need no second check.
  void TrustCharacters(bool trusted) { charactersChecked_ = trusted; }

 private:
  enum Text {
    kSido,
    kSigungu,
    kPlace,
    kDong,
    kRi,
    kRoad,
    kName,
    kOtherName,
    kSidoEn,
    kSigunguEn,
    kEupmyeonEn,
    kRoadEn,
    kTexts
  };

  bool ColumnNames(const FieldViews& f);
  bool KoreaPostRow(const FieldViews& f, BuildingRow* row);
  bool GovernmentRow(const FieldViews& f, BuildingRow* row);
  bool Finish(BuildingRow* row);
  bool Level(const FieldViews& f, size_t field);
  bool Get(const FieldViews& f, size_t field, bool required, Text text);

  BuildingLayout layout_;
  FieldReader reader_;
  bool encodingKnown_ = false;
  bool charactersChecked_ = false;
  int emptyLine_ = 0;  // the first empty line not yet followed by a row
  // The fields of the current row in CP949: views of the line, or of the
  // storage beside each (a UTF-8 file's fields converted).
  std::string_view text_[kTexts];
  std::string storage_[kTexts];
  std::string zone_, etc_, jibun_, eng_;
  struct Parsed {
    uint32_t level = 0, main = 0, sub = 0, lotMain = 0, lotSub = 0;
    bool mountain = false;
  } n_;
  // The dialling code of the last district seen: rows come district by
  // district.
  std::string dddSido_, dddSigungu_;
  std::string_view ddd_;
};

}  // namespace postal
