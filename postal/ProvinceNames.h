#pragma once
// The names of Korea's provinces in every form people and tables write them:
// 서울, 서울시, 서울특별시 are one province. Text is CP949.
#include <string>
#include <string_view>
#include <vector>

namespace postal {

// The other forms of the province that word names, in CP949; empty when the
// word names none (광주시, a city of 경기도, names no province).
const std::vector<std::string>& OtherProvinceForms(std::string_view word);

// The official name of the province that word names (서울 -> 서울특별시, 강원
// -> 강원특별자치도), in CP949; empty when it names none.
std::string OfficialProvinceName(std::string_view word);

}  // namespace postal
