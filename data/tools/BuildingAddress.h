#pragma once
// The addresses of one building, as the table writes them (CP949):
//
//   ETC   the road address as on an envelope, the reference in brackets:
//         시도 시군구 읍면 도로명 [지하 |공중 ]본번[-부번] [(법정동, 건물명)]
//         "서울특별시 강남구 개포로31길 29-2 (개포동, 꿈꾸지오)"
//   JIBUN the lot address: 시도 시군구 읍면|법정동 리 [산]본번[-부번]
//         "세종특별자치시 반곡동 47-1"; empty for a building whose lot has
//         no number (지번본번 0), which has no lot address
//   ENG   the English road address: [Jiha ]본번[-부번] 도로명, 읍면, 시군구, 시도
//         "29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul"
//
// Empty names are left out (with the blank or ", " before them), and so are
// the brackets when both the 법정동 and the building's name are.
#include <cstdint>
#include <string>
#include <string_view>

#include "AddressText.h"

namespace postal {

struct Building {
  std::string_view sido, sigungu;
  std::string_view eupmyeon;  // the 읍 or 면 the address lies in, else empty
  std::string_view dong;      // the 법정동 the address lies in, else empty
  std::string_view ri;
  std::string_view road;
  AddressLevel level = AddressLevel::kGround;
  uint32_t main = 0, sub = 0;  // the building number
  std::string_view name;       // the building's name, or empty
  bool mountain = false;       // the lot is on a mountain (산)
  uint32_t lotMain = 0, lotSub = 0;
  std::string_view sidoEn, sigunguEn, eupmyeonEn, roadEn;
};

// Replace *out with the address.
void MakeBuildingAddress(const Building& b, std::string* out);
void MakeBuildingLot(const Building& b, std::string* out);
void MakeBuildingEnglish(const Building& b, std::string* out);

}  // namespace postal
