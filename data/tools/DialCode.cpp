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

// A district (GUGUN) -- and, when given, the DONG words -- that dials through
// another area than its province.
struct Exception {
  std::string sido;
  std::string gugun;               // the first word of GUGUN: 부천시 covers all its 구
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

const Tables& GetTables() {
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

// text is word or begins with word followed by a blank.
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.substr(0, word.size()) != word) return false;
  return text.size() == word.size() || text[word.size()] == ' ';
}

}  // namespace

bool IsKnownProvince(std::string_view sido) {
  for (const auto& p : GetTables().provinces)
    if (p.sido == sido) return true;
  return false;
}

bool ProvinceWithoutDistricts(std::string_view sido) {
  static const std::string sejong = K("세종");
  return sido == sejong;
}

std::string DialCodeFor(const SourceRow& row) {
  for (const auto& e : GetTables().exceptions) {
    if (e.sido != row.sido || !StartsWithWord(row.gugun, e.gugun)) continue;
    if (e.dongs.empty()) return e.code;
    for (const auto& d : e.dongs)
      if (StartsWithWord(row.dong, d)) return e.code;
  }
  for (const auto& p : GetTables().provinces)
    if (p.sido == row.sido) return p.code;
  return {};
}

}  // namespace postal
