#pragma once
// Long-distance dialling codes (DDD) of the postal rows. The sources have none:
// they follow from the province, with a few districts that dial through a
// neighbouring area. All texts are CP949 bytes.
#include <string>
#include <string_view>

namespace postal {

struct SourceRow;

// ---- The six-digit list: short province names (서울, 경기, ...).
bool IsKnownProvince(std::string_view sido);
// 세종 is the one province without districts (GUGUN).
bool ProvinceWithoutDistricts(std::string_view sido);
// The code of a row of a known province ("02", "031", ...).
std::string DialCodeFor(const SourceRow& row);

// ---- The five-digit range files: full province names, old and current
// (서울특별시, 강원도 and 강원특별자치도, ...).
bool IsKnownFullProvince(std::string_view sido);
// The code of a district (시군구명, may be empty) of a known province; empty
// for an unknown one. The text lives as long as the program.
std::string_view DialCodeForDistrict(std::string_view sido, std::string_view sigungu);
// The islands of 안산시 단원구 (대부남동, 대부동동, 대부북동) dial through 인천:
// every row of a zone that has a lot row in one of them takes this code.
bool IsIslandOfDanwonGu(std::string_view eupmyeondong);
inline constexpr char kIslandDialCode[] = "032";

}  // namespace postal
