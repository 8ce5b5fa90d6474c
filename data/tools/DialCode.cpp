#include "DialCode.h"

#include <vector>

#include "Cp949Check.h"
#include "SourceCsv.h"

namespace postal {
namespace {

struct ProvinceCode {
  std::string sido;
  std::string code;
};

// A district -- and, when given, the DONG words -- that dials through another
// area than its province.
struct Exception {
  std::string sido;
  std::string gugun;  // the first word(s) of the district: 부천시 covers all its 구
  std::vector<std::string> dongs;  // empty: the whole district
  std::string code;
};

struct Tables {
  std::vector<ProvinceCode> provinces;
  std::vector<Exception> exceptions;
};

std::string K(const char* utf8) {
  return Cp949FromUtf8(utf8);
}

const Tables& SixDigitTables() {
  static const Tables tables = [] {
    Tables t;
    const char* const kProvinces[][2] = {
        {"서울", "02"},  {"경기", "031"}, {"인천", "032"}, {"강원", "033"}, {"충남", "041"},
        {"대전", "042"}, {"충북", "043"}, {"세종", "044"}, {"부산", "051"}, {"울산", "052"},
        {"대구", "053"}, {"경북", "054"}, {"경남", "055"}, {"전남", "061"}, {"광주", "062"},
        {"전북", "063"}, {"제주", "064"}};
    for (const auto& p : kProvinces) t.provinces.push_back({K(p[0]), p[1]});
    t.exceptions = {
        {K("경기"), K("광명시"), {}, "02"},
        {K("경기"), K("과천시"), {}, "02"},
        {K("경기"), K("부천시"), {}, "032"},
        {K("경기"), K("안산시 단원구"), {K("대부남동"), K("대부동동"), K("대부북동")}, "032"},
        {K("충남"), K("계룡시"), {}, "042"},
        {K("경북"), K("경산시"), {}, "053"},
    };
    return t;
  }();
  return tables;
}

// The islands of 단원구 are not a district rule here: they follow the zone
// number (see IsIslandOfDanwonGu). 군위군 joined 대구 in 2023 and kept 054.
const Tables& FiveDigitTables() {
  static const Tables tables = [] {
    Tables t;
    const char* const kProvinces[][2] = {
        {"서울특별시", "02"},     {"부산광역시", "051"},     {"대구광역시", "053"},
        {"인천광역시", "032"},    {"광주광역시", "062"},     {"대전광역시", "042"},
        {"울산광역시", "052"},    {"세종특별자치시", "044"}, {"경기도", "031"},
        {"강원도", "033"},        {"강원특별자치도", "033"}, {"충청북도", "043"},
        {"충청남도", "041"},      {"전라북도", "063"},       {"전북특별자치도", "063"},
        {"전라남도", "061"},      {"경상북도", "054"},       {"경상남도", "055"},
        {"제주특별자치도", "064"}};
    for (const auto& p : kProvinces) t.provinces.push_back({K(p[0]), p[1]});
    t.exceptions = {
        {K("경기도"), K("광명시"), {}, "02"},    {K("경기도"), K("과천시"), {}, "02"},
        {K("경기도"), K("부천시"), {}, "032"},   {K("충청남도"), K("계룡시"), {}, "042"},
        {K("경상북도"), K("경산시"), {}, "053"}, {K("대구광역시"), K("군위군"), {}, "054"},
    };
    return t;
  }();
  return tables;
}

// text is word or begins with word followed by a blank.
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.substr(0, word.size()) != word) return false;
  return text.size() == word.size() || text[word.size()] == ' ';
}

bool Known(const Tables& tables, std::string_view sido) {
  for (const auto& p : tables.provinces)
    if (p.sido == sido) return true;
  return false;
}

// The code, in the static tables; empty for an unknown province.
std::string_view Lookup(const Tables& tables, std::string_view sido, std::string_view gugun,
                        std::string_view dong) {
  for (const auto& e : tables.exceptions) {
    if (e.sido != sido || !StartsWithWord(gugun, e.gugun)) continue;
    if (e.dongs.empty()) return e.code;
    for (const auto& d : e.dongs)
      if (StartsWithWord(dong, d)) return e.code;
  }
  for (const auto& p : tables.provinces)
    if (p.sido == sido) return p.code;
  return {};
}

}  // namespace

bool IsKnownProvince(std::string_view sido) {
  return Known(SixDigitTables(), sido);
}

bool ProvinceWithoutDistricts(std::string_view sido) {
  static const std::string sejong = K("세종");
  return sido == sejong;
}

std::string DialCodeFor(const SourceRow& row) {
  return std::string(Lookup(SixDigitTables(), row.sido, row.gugun, row.dong));
}

bool IsKnownFullProvince(std::string_view sido) {
  return Known(FiveDigitTables(), sido);
}

std::string_view DialCodeForDistrict(std::string_view sido, std::string_view sigungu) {
  return Lookup(FiveDigitTables(), sido, sigungu, {});
}

bool IsIslandOfDanwonGu(std::string_view eupmyeondong) {
  static const std::string islands[] = {K("대부남동"), K("대부동동"), K("대부북동")};
  for (const auto& island : islands)
    if (eupmyeondong == island) return true;
  return false;
}

}  // namespace postal
