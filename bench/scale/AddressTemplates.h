#pragma once
// What the generated rows are made of, all CP949: the places of the national
// list (province, district, village, dialling code), and from the real rows
// of the government's road-name address file, when present, its road names,
// building names, building and lot numbers and 리 names.
#include <cstdint>
#include <string>
#include <vector>

namespace scalebench {

struct Place {
  std::string sido;     // full province name: 서울특별시
  std::string sigungu;  // empty in 세종
  std::string village;  // 개포1동, 양평읍
  std::string stem;     // the village without its number and last syllable: 개포
  std::string dialling;
  bool rural = false;  // an 읍 or 면, whose lots lie in a 리
  unsigned zone = 0;   // first of its five-digit postal codes
};

struct NumberPair {
  uint32_t main = 0, sub = 0;  // sub 0: none
};

struct AddressTemplates {
  std::vector<Place> places;
  std::vector<std::string> roads;      // real road names; empty without the real rows
  std::vector<std::string> buildings;  // building names
  std::vector<std::string> ris;        // 리 names
  std::vector<NumberPair> buildingNumbers, lotNumbers;  // real; empty without the real rows
  bool fromRealRows = false;
};

// The national list data/source/zipcode.csv, and realFile (rnaddrkor_*.txt:
// CP949, 24 fields split by '|') when it can be read. Empty places when the
// national list cannot be read.
AddressTemplates LoadTemplates(const std::string& nationalList, const std::string& realFile);

// UTF-8 text of this source as CP949 (the generator's own words).
std::string Cp949(const char* utf8);

}  // namespace scalebench
