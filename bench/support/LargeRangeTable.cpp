#include "bench/support/LargeRangeTable.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "Cp949Check.h"
#include "PostalImport.h"
#include "SourceCsv.h"
#include "postal/ProvinceNames.h"

namespace benchsupport {
namespace {

// One village of the national list, its names in UTF-8.
struct Place {
  std::string sido;      // full province name
  std::string sigungu;   // empty in 세종
  std::string village;   // 개포1동, 양평읍, 가남면
  std::string ri;        // 백안리, or empty
  std::string roadBase;  // 개포, 양평
  unsigned zone = 0;
};

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The village without its last syllable and its number: 개포1동 -> 개포.
std::string BaseName(const std::string& village) {
  std::string base = village;
  for (const char* end : {"동", "읍", "면", "가"})
    if (EndsWith(base, end) && base.size() > 3) {
      base.resize(base.size() - 3);
      break;
    }
  while (!base.empty() && base.back() >= '0' && base.back() <= '9') base.pop_back();
  return base.empty() ? village : base;
}

// The legal village of an administrative one: 역삼1동 -> 역삼동.
std::string LegalVillage(const std::string& village) {
  if (!EndsWith(village, "동")) return village;
  std::string base = village.substr(0, village.size() - 3);
  while (!base.empty() && base.back() >= '0' && base.back() <= '9') base.pop_back();
  return base.empty() ? village : base + "동";
}

std::vector<Place> ReadPlaces(std::string* why) {
  std::ifstream in(std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  postal::ConvertError error;
  const auto rows = postal::ParseSourceCsv(bytes.str(), &error);
  if (!rows) {
    if (why) *why = "the national list cannot be read: line " + std::to_string(error.line);
    return {};
  }
  std::map<std::string, std::string> utf8;  // CP949 -> UTF-8, once per name
  auto U = [&](const std::string& cp949) -> const std::string& {
    auto it = utf8.find(cp949);
    if (it == utf8.end()) it = utf8.emplace(cp949, postal::Utf8FromCp949(cp949)).first;
    return it->second;
  };
  std::vector<Place> places;
  std::map<std::string, size_t> seen;
  for (const auto& row : *rows) {
    const std::string dong = U(row.dong);
    const size_t space = dong.find(' ');
    Place p;
    p.sido = U(postal::OfficialProvinceName(row.sido));
    p.sigungu = U(row.gugun);
    p.village = dong.substr(0, space);
    if (space != std::string::npos) {
      const std::string second = dong.substr(space + 1, dong.find(' ', space + 1) - space - 1);
      if (EndsWith(second, "리")) p.ri = second;
    }
    const std::string key = p.sido + "|" + p.sigungu + "|" + p.village + "|" + p.ri;
    if (seen.count(key)) continue;
    seen.emplace(key, places.size());
    p.roadBase = BaseName(p.village);
    p.zone = 1000 + static_cast<unsigned>(places.size() * 7919 % 62000);
    places.push_back(std::move(p));
  }
  return places;
}

std::string Zone(const Place& p, std::mt19937& rng) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%05u", static_cast<unsigned>((p.zone + rng() % 4) % 100000));
  return buf;
}

// Start and end of a range: main-sub numbers, the end empty for one number.
std::string Numbers(std::mt19937& rng, bool range) {
  const unsigned main = 1 + rng() % 1500;
  const unsigned sub = rng() % 10 < 6 ? 0 : 1 + rng() % 50;
  std::string s = std::to_string(main) + "|" + (sub ? std::to_string(sub) : "") + "|";
  if (range)
    s += std::to_string(main + 2 + rng() % 200) + "|" + (rng() % 4 ? "" : "1");
  else
    s += "|";
  return s;
}

std::string RoadRow(const Place& p, std::mt19937& rng) {
  static const char* const kSuffixes[] = {"로", "대로", "길", "로"};
  const unsigned suffix = rng() % 4;
  std::string road = p.roadBase + kSuffixes[suffix];
  if (suffix == 3) road += std::to_string(1 + rng() % 60) + "번길";
  const bool eupmyeon = EndsWith(p.village, "읍") || EndsWith(p.village, "면");
  const unsigned span = rng() % 10 < 3 ? 0 : 1 + rng() % 3;
  return Zone(p, rng) + "|" + p.sido + "|Province|" + p.sigungu + "|" +
         (p.sigungu.empty() ? "" : "District") + "|" + (eupmyeon ? p.village : "") + "|" +
         (eupmyeon ? "Town" : "") + "|" + road + "|Road-" + std::to_string(suffix) + "|" +
         (rng() % 30 ? "0" : "1") + "|" + Numbers(rng, span != 0) + "|" + std::to_string(span);
}

std::string LotRow(const Place& p, std::mt19937& rng) {
  const std::string legal = LegalVillage(p.village);
  return Zone(p, rng) + "|" + p.sido + "|Province|" + p.sigungu + "|" +
         (p.sigungu.empty() ? "" : "District") + "|" + legal + "|Village|" + p.ri + "|" +
         (rng() % 20 ? "0" : "1") + "|" + (legal != p.village ? p.village : "") + "|" +
         Numbers(rng, rng() % 2 == 0);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out.flush());
}

}  // namespace

LargeRangeFiles WriteLargeRangeFiles(const std::string& folder, size_t rows, unsigned seed) {
  LargeRangeFiles files;
  std::string why;
  const std::vector<Place> places = ReadPlaces(&why);
  if (places.empty()) return files;
  std::mt19937 rng(seed);
  const size_t roadRows = rows * 2 / 3;
  std::string road =
      "\xEF\xBB\xBF"
      "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|"
      "도로명(영문)|지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|"
      "건물번호부번(종료)|범위종류\r\n";
  road.reserve(roadRows * 130);
  for (size_t i = 0; i < roadRows; ++i)
    road += RoadRow(places[rng() % places.size()], rng) + "\r\n";
  std::string lot =
      "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면동명|읍면동명(영문)|리명|산여부|"
      "행정동명|지번본번(시작)|지번부번(시작)|지번본번(종료)|지번부번(종료)\n";
  lot.reserve((rows - roadRows) * 110);
  for (size_t i = roadRows; i < rows; ++i) lot += LotRow(places[rng() % places.size()], rng) + "\n";

  const std::string roadPath = folder + "/road.txt", lotPath = folder + "/lot.txt";
  const std::string lotCp949 = postal::Cp949FromUtf8(lot);
  if (lotCp949.empty() || !WriteFile(roadPath, road) || !WriteFile(lotPath, lotCp949)) return files;
  files.roadPath = roadPath;
  files.lotPath = lotPath;
  files.roadRows = roadRows;
  files.lotRows = rows - roadRows;
  return files;
}

std::string MakeLargeRangeTable(const std::string& folder, std::string* why, size_t rows) {
  const LargeRangeFiles files = WriteLargeRangeFiles(folder, rows);
  if (files.roadPath.empty()) {
    if (why) *why = "the range files cannot be made in " + folder;
    return {};
  }
  const std::string tablePath = folder + "/POSTCODE.DBF";
  postal::ImportOptions options;
  options.today = postal::DbfDate{2024, 1, 2};
  return postal::ImportFiles({files.roadPath, files.lotPath}, tablePath, options, nullptr, why)
             ? tablePath
             : std::string();
}

}  // namespace benchsupport
