#pragma once
// The generated national table: rows shaped like the current address data
// (a road address with its building number, the village, lot number and
// building name in brackets), written once per row count and seed into a
// cache folder and reused from there.
//
//   <data>/rows-<N>-seed-<S>/POSTCODE.DBF   ZIPCODE C(7), DDD C(4), ETC C(100)
//   <data>/rows-<N>-seed-<S>/queries.txt    one query a line, CP949:
//                                           "selective\t<text>" first, then
//                                           "mixed\t<text>" lines
#include <cstddef>
#include <string>

#include "bench/scale/ScaleContext.h"

namespace scalebench {

inline constexpr int kEtcWidth = 100;

// Fills the context for a table of rows rows (generating it when the cache
// has none); false with the reason in *why.
bool PrepareScaleTable(const std::string& dataFolder, size_t rows, unsigned seed,
                       ScaleContext& context, std::string* why);

}  // namespace scalebench
