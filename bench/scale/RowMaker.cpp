#include "bench/scale/RowMaker.h"

#include <cstdio>

namespace scalebench {
namespace {

std::string Numbers(NumberPair n) {
  std::string s = std::to_string(n.main);
  if (n.sub) {
    s += '-';
    s += std::to_string(n.sub);
  }
  return s;
}

// The longest prefix of at most width bytes that ends on a character boundary.
std::string CutToWidth(const std::string& text, size_t width) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + (static_cast<unsigned char>(text[end]) >= 0x81 ? 2 : 1);
    if (next > width || next > text.size()) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace

RowMaker::RowMaker(const AddressTemplates& templates, unsigned seed, size_t etcWidth)
    : t_(templates),
      rng_(seed),
      width_(etcWidth),
      ro_(Cp949("로")),
      gil_(Cp949("길")),
      beongil_(Cp949("번길")),
      daero_(Cp949("대로")),
      underground_(Cp949("지하 ")),
      mountain_(Cp949("산")),
      comma_(", ") {}

// Half the roads have a real name, the others are named after their village
// as most are: 개포로, 개포로12길, 개포대로, 개포1번길.
std::string RowMaker::Road(const Place& place) {
  if (!t_.roads.empty() && Pick(2) == 0) {
    std::string road = t_.roads[Pick(t_.roads.size())];
    if (Pick(4) == 0) road += std::to_string(1 + Pick(40)) + gil_;
    return road;
  }
  switch (Pick(6)) {
    case 0:
    case 1:
      return place.stem + ro_;
    case 2:
    case 3:
      return place.stem + ro_ + std::to_string(1 + Pick(60)) + gil_;
    case 4:
      return place.stem + daero_;
    default:
      return place.stem + std::to_string(1 + Pick(30)) + beongil_;
  }
}

NumberPair RowMaker::BuildingNumber() {
  if (!t_.buildingNumbers.empty() && Pick(4) != 0)
    return t_.buildingNumbers[Pick(t_.buildingNumbers.size())];
  return {1 + Pick(600), Pick(5) == 0 ? 1 + Pick(30) : 0u};
}

NumberPair RowMaker::LotNumber() {
  if (!t_.lotNumbers.empty() && Pick(4) != 0) return t_.lotNumbers[Pick(t_.lotNumbers.size())];
  return {1 + Pick(1500), Pick(2) == 0 ? 1 + Pick(60) : 0u};
}

void RowMaker::Next(MadeRow& row) {
  const Place& place = t_.places[Pick(t_.places.size())];
  row.sigungu = place.sigungu;
  row.village = place.village;
  row.road = Road(place);
  row.number = Numbers(BuildingNumber());
  row.building.clear();
  if (!t_.buildings.empty() && Pick(10) < 3) row.building = t_.buildings[Pick(t_.buildings.size())];

  std::string etc = place.sido;
  if (!place.sigungu.empty()) etc += " " + place.sigungu;
  etc += " " + row.road + " ";
  if (Pick(40) == 0) etc += underground_;
  etc += row.number + " (" + place.village;
  if (place.rural && !t_.ris.empty()) etc += " " + t_.ris[Pick(t_.ris.size())];
  etc += " ";
  if (Pick(25) == 0) etc += mountain_;
  etc += Numbers(LotNumber());
  if (!row.building.empty()) etc += comma_ + row.building;
  etc += ")";
  row.etc = CutToWidth(etc, width_);

  char zip[8];
  std::snprintf(zip, sizeof zip, "%05u", (place.zone + Pick(6)) % 100000);
  row.zipcode = zip;
  row.ddd = place.dialling;
}

}  // namespace scalebench
