#pragma once
// One generated row after another, the same for the same seed:
//   ETC "<sido> [<sigungu> ]<road> [지하 ]<n>[-<m>] (<village>[ <ri>] [산]<lot>[, <building>])"
// cut to the field's width on a character boundary, a five-digit ZIPCODE
// and the place's dialling code.
#include <cstddef>
#include <random>
#include <string>

#include "bench/scale/AddressTemplates.h"

namespace scalebench {

struct MadeRow {
  std::string zipcode, ddd, etc;
  // Parts of the address, for the queries made from it.
  std::string sigungu, village, road, number, building;
};

class RowMaker {
 public:
  RowMaker(const AddressTemplates& templates, unsigned seed, size_t etcWidth);
  void Next(MadeRow& row);

 private:
  // 0 .. n - 1, the same sequence everywhere for a seed.
  uint32_t Pick(size_t n) { return static_cast<uint32_t>(rng_() % n); }
  std::string Road(const Place& place);
  NumberPair BuildingNumber();
  NumberPair LotNumber();

  const AddressTemplates& t_;
  std::mt19937 rng_;
  size_t width_;
  std::string ro_, gil_, beongil_, daero_, underground_, mountain_, comma_;
};

}  // namespace scalebench
