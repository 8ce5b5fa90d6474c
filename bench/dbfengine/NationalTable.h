// The national-size table of bench-dbfengine: 6,000,000 rows of ZIPCODE C(7),
// DDD C(4), ETC C(100) (112-byte records, about 672 MB), generated once into
// a cache folder and reused while its size is right.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace bench {

// Header and field list of a dBASE III table of CP949 character fields
// (name, width) holding `rows` records, last updated 2024-05-17.
std::string CharTableHeader(const std::vector<std::pair<const char*, int>>& fields, int rows);

// CP949 district names: 서울 강남구 / 부산 해운대구 / 대구 수성구 / 제주 제주시.
extern const char* const kTowns[4];

constexpr int kNationalRows = 6000000;
constexpr int kNationalRecordSize = 1 + 7 + 4 + 100;

// Path of the table in `folder`, written there first when missing or of the
// wrong size. Empty when it cannot be written.
std::string NationalTable(const std::string& folder);

}  // namespace bench
