#pragma once
// The addresses of a range row: the full address (ETC), its words joined by
// one space, the number part last, and for a road row its English form
// (ENG). All texts are CP949 bytes.
//
//   road: 시도 시군구 읍면 도로명 [지하 ]start[∼end][ (홀수)| (짝수)]
//         "서울특별시 강남구 테헤란로 101∼151 (홀수)"
//         [Jiha ]start[∼end][ (odd)| (even)] 도로명영문, 읍면영문, 시군구영문, 시도영문
//         "101∼151 (odd) Teheran-ro, Gangnam-gu, Seoul"
//   lot:  시도 시군구 읍면동 리명 [산]start[∼end][ (행정동)]
//         "서울특별시 강남구 역삼동 601∼720 (역삼1동)"
//
// Empty names are left out. A number is its main number, with "-" and the
// sub-number when that is not 0.
#include <cstdint>
#include <string>
#include <string_view>

namespace postal {

struct RangeNumber {
  uint32_t main = 0;
  uint32_t sub = 0;
  bool operator==(const RangeNumber&) const = default;
};

// 범위종류 of a road row.
enum class RangeSpan { kOne = 0, kOdd = 1, kEven = 2, kAll = 3 };

struct RoadRange {
  std::string_view sido, sigungu, eupmyeon, road;
  std::string_view sidoEn, sigunguEn, eupmyeonEn, roadEn;
  bool underground = false;
  RangeNumber start, end;  // end == start when the row names one number
  RangeSpan span = RangeSpan::kOne;
};

struct LotRange {
  std::string_view sido, sigungu, eupmyeondong, ri, haengjeongdong;
  bool mountain = false;
  RangeNumber start, end;  // end == start when the row names one lot
};

// Replace *etc (or *eng) with the address.
void MakeRoadAddress(const RoadRange& row, std::string* etc);
void MakeRoadEnglish(const RoadRange& row, std::string* eng);
void MakeLotAddress(const LotRange& row, std::string* etc);

}  // namespace postal
