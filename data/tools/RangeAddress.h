#pragma once
// The full address (ETC) of a range row: its words joined by one space, the
// number part last. All texts are CP949 bytes.
//
//   road: 시도명 시군구명 읍면명 도로명 [지하 ]start[∼end][ (홀수)| (짝수)]
//         "서울특별시 강남구 테헤란로 101∼151 (홀수)"
//   lot:  시도명 시군구명 읍면동명 리명 [산]start[∼end][ (행정동명)]
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
  bool underground = false;
  RangeNumber start, end;  // end == start when the row names one number
  RangeSpan span = RangeSpan::kOne;
};

struct LotRange {
  std::string_view sido, sigungu, eupmyeondong, ri, haengjeongdong;
  bool mountain = false;
  RangeNumber start, end;  // end == start when the row names one lot
};

// Replace *etc with the address.
void MakeRoadAddress(const RoadRange& row, std::string* etc);
void MakeLotAddress(const LotRange& row, std::string* etc);

}  // namespace postal
