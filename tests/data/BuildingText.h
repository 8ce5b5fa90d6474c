#pragma once
// Files of the building-level layouts written by hand (BuildingFile.h):
// Korea Post's address DB with its line of column names, the government's
// road-name address DB without one. The rows are made up after the examples
// of the layouts; UTF-8 here, CP949 (as published) through the helpers.
#include <initializer_list>
#include <string>

#include "Cp949Check.h"

inline constexpr char kKoreaPostColumns[] =
    "우편번호|시도|시도영문|시군구|시군구영문|읍면|읍면영문|도로명코드|도로명|도로명영문|"
    "지하여부|건물번호본번|건물번호부번|건물관리번호|다량배달처명|시군구용건물명|법정동코드|"
    "법정동명|리명|행정동명|산여부|지번본번|읍면동일련번호|지번부번|구우편번호|우편번호일련번호";

// A Korea Post row from its parts; the codes it carries but the table does
// not use are made up.
struct PostRow {
  std::string zone, sido, sidoEn, sigungu, sigunguEn, eupmyeon, eupmyeonEn, road, roadEn,
      level = "0", main, sub = "0", delivery, name, dong, ri, mountain = "0", lotMain, lotSub = "0";
  std::string Line() const {
    return zone + "|" + sido + "|" + sidoEn + "|" + sigungu + "|" + sigunguEn + "|" + eupmyeon +
           "|" + eupmyeonEn + "|116804166061|" + road + "|" + roadEn + "|" + level + "|" + main +
           "|" + sub + "|1168010300112650003000001|" + delivery + "|" + name + "|1168010300|" +
           dong + "|" + ri + "|개포4동|" + mountain + "|" + lotMain + "|01|" + lotSub + "||";
  }
};

// A government row from its parts, ending in the '|' before the empty 비고.
struct GovRow {
  std::string sido, sigungu, eupmyeondong, ri, mountain = "0", lotMain, lotSub = "0", road,
                                               level = "0", main, sub = "0", zone,
                                               effective = "20200101", reason, ledgerName, name;
  std::string Line() const {
    return "36110101299990100181100000|3611010199|" + sido + "|" + sigungu + "|" + eupmyeondong +
           "|" + ri + "|" + mountain + "|" + lotMain + "|" + lotSub + "|361109999901|" + road +
           "|" + level + "|" + main + "|" + sub + "|3611059999|반곡동|" + zone + "||" + effective +
           "|0|" + reason + "|" + ledgerName + "|" + name + "|";
  }
};

// The lines joined with lineEnd (after the last one too), CP949 unless asked.
inline std::string BuildingFileText(std::initializer_list<std::string> lines, bool cp949 = true,
                                    const char* lineEnd = "\n") {
  std::string utf8;
  for (const std::string& l : lines) utf8 += l + lineEnd;
  return cp949 ? postal::Cp949FromUtf8(utf8) : utf8;
}
