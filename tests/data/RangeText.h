#pragma once
// Range files of five-digit zone numbers written by hand in Korea Post's
// published layout (범위주소 DB: the columns and their order as the real
// files and the download page's description have them). No real data: every
// row is made up from the examples of the layout, in UTF-8 here and turned
// into the other encodings and line ends by the helpers below.
#include <initializer_list>
#include <string>

#include "Cp949Check.h"

// The column names as the real files have them (a line of each is in
// ../shared/data/real/range_road_row.utf8.txt and range_lot_header.utf8.txt).
inline constexpr char kRoadColumns[] =
    "우편번호|시도|시도영문|시군구|시군구영문|읍면|읍면영문|도로명|도로명영문|지하여부|"
    "시작건물번호(주)|시작건물번호(부)|끝건물번호(주)|끝건물번호(부)|범위종류";
inline constexpr char kLotColumns[] =
    "구역번호|시도|시도영문|시군구|시군구영문|읍면동|읍면동영문|리명|산여부|행정동|"
    "시작주번지|시작부번지|끝주번지|끝부번지";
// The road-name file's column names as Korea Post's file description
// writes them: the same columns in the same order.
inline constexpr char kRoadColumnsOfTheDescription[] =
    "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|"
    "도로명(영문)|지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|"
    "건물번호부번(종료)|범위종류";

enum class RangeBytes { kUtf8, kUtf8Bom, kCp949 };

// The lines joined with lineEnd (after the last one too), in the encoding asked.
inline std::string RangeFileText(std::initializer_list<const char*> lines,
                                 RangeBytes bytes = RangeBytes::kUtf8, const char* lineEnd = "\n") {
  std::string utf8;
  for (const char* l : lines) utf8 += std::string(l) + lineEnd;
  if (bytes == RangeBytes::kCp949) return postal::Cp949FromUtf8(utf8);
  return bytes == RangeBytes::kUtf8Bom ? "\xEF\xBB\xBF" + utf8 : utf8;
}
