#pragma once
// A synthetic national file set in Korea Post's building-level layout
// (지역별 주소 DB): one CP949 file per province, named as Korea Post names
// them (서울특별시.txt, ...), each with the line of column names, about six
// million rows in all. The rows are made from the real rows of 세종 in the
// government's layout (../shared/data/real/rnaddrkor_sejong.txt) taken as
// templates: their places (읍면 or 법정동, 리), road names, building names
// and lot numbers, with the province, district, numbers, postal codes and
// names varied, the same for the same seed. No other real data is needed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace benchsupport {

inline constexpr size_t kNationalBuildingRows = 6000000;

struct BuildingFileSet {
  std::vector<std::string> paths;  // empty when the templates or the folder fail
  size_t rows = 0;
  uint64_t bytes = 0;
  std::string why;  // what failed
};

BuildingFileSet WriteBuildingFiles(const std::string& folder, size_t rows = kNationalBuildingRows,
                                   unsigned seed = 1);

}  // namespace benchsupport
