#include "bench/scale/AddressTemplates.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "postal/ProvinceNames.h"
#include "tests/ftsindex/UnicodeText.h"
#include "tests/ftsindex/ZipcodeRecords.h"

namespace scalebench {
namespace {

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// 개포1동 -> 개포, 양평읍 -> 양평 (every syllable here is two bytes).
std::string Stem(const std::string& village) {
  std::string stem = village;
  if (stem.size() > 2) stem.resize(stem.size() - 2);
  while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
  return stem.empty() ? village : stem;
}

std::vector<std::string> SplitBars(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  // '|' is never a CP949 trail byte.
  for (char c : line) {
    if (c == '|') {
      fields.push_back(field);
      field.clear();
    } else if (c != '\r') {
      field.push_back(c);
    }
  }
  fields.push_back(field);
  return fields;
}

uint32_t Number(const std::string& s) {
  uint32_t n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  return n;
}

void ReadRealRows(const std::string& path, AddressTemplates& t) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::set<std::string> roads, buildings, ris;
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = SplitBars(line);
    if (f.size() < 24) continue;
    // 6 법정리명, 8/9 지번본번/부번, 11 도로명, 13/14 건물본번/부번,
    // 22/23 건축물대장건물명/시군구용건물명 (numbered from 1).
    if (!f[10].empty()) roads.insert(f[10]);
    if (!f[5].empty()) ris.insert(f[5]);
    const std::string& building = !f[22].empty() ? f[22] : f[21];
    if (!building.empty()) buildings.insert(building);
    if (const uint32_t main = Number(f[12])) t.buildingNumbers.push_back({main, Number(f[13])});
    if (const uint32_t main = Number(f[7])) t.lotNumbers.push_back({main, Number(f[8])});
  }
  t.roads.assign(roads.begin(), roads.end());
  t.buildings.assign(buildings.begin(), buildings.end());
  t.ris.assign(ris.begin(), ris.end());
  t.fromRealRows = !t.roads.empty() && !t.buildingNumbers.empty();
}

}  // namespace

std::string Cp949(const char* utf8) {
  bool ok = false;
  return ftstest::IconvConvert(utf8, "CP949", "UTF-8", &ok);
}

AddressTemplates LoadTemplates(const std::string& nationalList, const std::string& realFile) {
  AddressTemplates t;
  const std::string eup = Cp949("읍"), myeon = Cp949("면"), ri = Cp949("리");
  std::set<std::string> seen, buildings, ris;
  for (const ftstest::ZipRow& row : ftstest::ReadZipcodeCsv(nationalList)) {
    const std::string sido = postal::OfficialProvinceName(row.sido);
    if (sido.empty()) continue;
    std::istringstream words(row.dong);
    std::string village, second;
    words >> village >> second;
    if (EndsWith(second, ri)) ris.insert(second);
    // The rest of DONG names a building: 개포1동 경남아파트.
    else if (!second.empty() && second[0] != '(')
      buildings.insert(second);
    if (!seen.insert(row.sido + "|" + row.gugun + "|" + village).second) continue;
    Place p;
    p.sido = sido;
    p.sigungu = row.gugun;
    p.village = village;
    p.stem = Stem(village);
    p.dialling = ftstest::DiallingCode(row);
    p.rural = EndsWith(village, eup) || EndsWith(village, myeon);
    p.zone = 1000 + static_cast<unsigned>(t.places.size() * 7919 % 62000);
    t.places.push_back(std::move(p));
  }
  ReadRealRows(realFile, t);
  // The national list's building words and 리 beside the real ones.
  t.buildings.insert(t.buildings.end(), buildings.begin(), buildings.end());
  t.ris.insert(t.ris.end(), ris.begin(), ris.end());
  return t;
}

}  // namespace scalebench
