#pragma once
// Long-distance dialling codes (DDD) of the postal rows. The source has none:
// they follow from the province, with a few districts that dial through a
// neighbouring area. All texts are CP949 bytes.
#include <string>
#include <string_view>

namespace postal {

struct SourceRow;

bool IsKnownProvince(std::string_view sido);
// 세종 is the one province without districts (GUGUN).
bool ProvinceWithoutDistricts(std::string_view sido);
// The code of a row of a known province ("02", "031", ...).
std::string DialCodeFor(const SourceRow& row);

}  // namespace postal
