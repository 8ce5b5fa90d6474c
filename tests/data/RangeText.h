#pragma once
// Range files of five-digit zone numbers written by hand in Korea Post's
// published layout (범위주소 DB: the column names and their order as the
// download page documents them). No real data: every row is made up from
// the examples of the layout, in UTF-8 here and turned into the other
// encodings and line ends by the helpers below.
#include <initializer_list>
#include <string>

#include "Cp949Check.h"

inline constexpr char kRoadColumns[] =
    "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|"
    "도로명(영문)|지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|"
    "건물번호부번(종료)|범위종류";
inline constexpr char kLotColumns[] =
    "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면동명|읍면동명(영문)|리명|산여부|"
    "행정동명|지번본번(시작)|지번부번(시작)|지번본번(종료)|지번부번(종료)";

enum class RangeBytes { kUtf8, kUtf8Bom, kCp949 };

// The lines joined with lineEnd (after the last one too), in the encoding asked.
inline std::string RangeFileText(std::initializer_list<const char*> lines,
                                 RangeBytes bytes = RangeBytes::kUtf8, const char* lineEnd = "\n") {
  std::string utf8;
  for (const char* l : lines) utf8 += std::string(l) + lineEnd;
  if (bytes == RangeBytes::kCp949) return postal::Cp949FromUtf8(utf8);
  return bytes == RangeBytes::kUtf8Bom ? "\xEF\xBB\xBF" + utf8 : utf8;
}
