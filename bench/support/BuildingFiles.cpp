#include "bench/support/BuildingFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>

#include "Cp949Check.h"

namespace benchsupport {
namespace {

// What a row of 세종 gives a synthetic row (CP949).
struct Template {
  std::string place;    // 법정읍면동명
  bool inTown = false;  // it is an 읍 or a 면
  std::string ri, road, haengjeong, name;
  unsigned main = 0, lotMain = 0;
  bool mountain = false;
};

struct Province {
  const char* name;  // UTF-8
  const char* english;
  unsigned weight;  // buildings, in thousands, roughly as the country has them
};

const Province kProvinces[] = {
    {"서울특별시", "Seoul", 600},           {"부산광역시", "Busan", 340},
    {"대구광역시", "Daegu", 250},           {"인천광역시", "Incheon", 220},
    {"광주광역시", "Gwangju", 140},         {"대전광역시", "Daejeon", 130},
    {"울산광역시", "Ulsan", 110},           {"세종특별자치시", "Sejong-si", 30},
    {"경기도", "Gyeonggi-do", 1100},        {"강원특별자치도", "Gangwon-do", 330},
    {"충청북도", "Chungcheongbuk-do", 300}, {"충청남도", "Chungcheongnam-do", 420},
    {"전북특별자치도", "Jeonbuk-do", 400},  {"전라남도", "Jeollanam-do", 560},
    {"경상북도", "Gyeongsangbuk-do", 620},  {"경상남도", "Gyeongsangnam-do", 560},
    {"제주특별자치도", "Jeju-do", 120}};

const char* const kDistricts[][2] = {{"중구", "Jung-gu"},
                                     {"동구", "Dong-gu"},
                                     {"서구", "Seo-gu"},
                                     {"남구", "Nam-gu"},
                                     {"북구", "Buk-gu"},
                                     {"강남구", "Gangnam-gu"},
                                     {"수성구", "Suseong-gu"},
                                     {"양평군", "Yangpyeong-gun"},
                                     {"춘천시", "Chuncheon-si"},
                                     {"창원시 마산합포구", "Masanhappo-gu, Changwon-si"},
                                     {"천안시 동남구", "Dongnam-gu, Cheonan-si"},
                                     {"고양시 일산서구", "Ilsanseo-gu, Goyang-si"}};

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> f;
  size_t start = 0;
  for (;;) {
    const size_t bar = line.find('|', start);
    f.emplace_back(line.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return f;
    start = bar + 1;
  }
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::vector<Template> ReadTemplates(std::string* why) {
  const std::string path = std::string(PF_SOURCE_DIR) + "/../shared/data/real/rnaddrkor_sejong.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *why = path + " is absent";
    return {};
  }
  const std::string eup = postal::Cp949FromUtf8("읍"), myeon = postal::Cp949FromUtf8("면");
  std::vector<Template> templates;
  std::string line;
  while (std::getline(in, line)) {
    const std::vector<std::string> f = Split(line);
    if (f.size() != 24) continue;
    Template t;
    t.place = f[4];
    t.inTown = EndsWith(t.place, eup) || EndsWith(t.place, myeon);
    t.ri = f[5];
    t.mountain = f[6] == "1";
    t.lotMain = static_cast<unsigned>(std::atoi(f[7].c_str()));
    t.road = f[10];
    t.main = static_cast<unsigned>(std::atoi(f[12].c_str()));
    t.haengjeong = f[15];
    t.name = !f[22].empty() ? f[22] : f[21];
    while (!t.name.empty() && t.name.back() == ' ') t.name.pop_back();
    templates.push_back(std::move(t));
  }
  if (templates.empty()) *why = path + " holds no rows";
  return templates;
}

void AppendNumber(std::string* out, unsigned long long v) {
  char buf[24];
  const int n = std::snprintf(buf, sizeof buf, "%llu", v);
  out->append(buf, static_cast<size_t>(n));
}

}  // namespace

BuildingFileSet WriteBuildingFiles(const std::string& folder, size_t rows, unsigned seed) {
  BuildingFileSet set;
  const std::vector<Template> templates = ReadTemplates(&set.why);
  if (templates.empty()) return set;
  const std::string header = postal::Cp949FromUtf8(
      "우편번호|시도|시도영문|시군구|시군구영문|읍면|읍면영문|도로명코드|도로명|도로명영문|"
      "지하여부|건물번호본번|건물번호부번|건물관리번호|다량배달처명|시군구용건물명|법정동코드|"
      "법정동명|리명|행정동명|산여부|지번본번|읍면동일련번호|지번부번|구우편번호|"
      "우편번호일련번호\n");
  const std::string road = postal::Cp949FromUtf8("길"), building = postal::Cp949FromUtf8("동");
  std::vector<std::string> districts;
  for (const auto& d : kDistricts) districts.push_back(postal::Cp949FromUtf8(d[0]));
  unsigned totalWeight = 0;
  for (const Province& p : kProvinces) totalWeight += p.weight;

  std::mt19937 rng(seed);
  size_t done = 0;
  for (size_t pi = 0; pi < std::size(kProvinces); ++pi) {
    const Province& p = kProvinces[pi];
    const size_t count =
        pi + 1 == std::size(kProvinces)
            ? rows - done
            : static_cast<size_t>(static_cast<double>(rows) * p.weight / totalWeight);
    const std::string sido = postal::Cp949FromUtf8(p.name);
    const bool sejong = std::string_view(p.name) == "세종특별자치시";
    const std::string path = folder + "/" + p.name + ".txt";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string chunk = header;
    chunk.reserve(9 << 20);
    for (size_t i = 0; i < count; ++i) {
      const Template& t = templates[rng() % templates.size()];
      const size_t d = sejong ? 0 : rng() % districts.size();
      const unsigned zone =
          10000 + static_cast<unsigned>(pi) * 5000 + static_cast<unsigned>(d) * 300 + rng() % 250;
      const unsigned variant = rng() % 100;
      const bool underground = rng() % 60 == 0;
      const unsigned main = t.main + rng() % 40;
      const unsigned sub = rng() % 4 == 0 ? 1 + rng() % 30 : 0;
      const unsigned lotMain = t.lotMain == 0 ? 0 : t.lotMain + rng() % 200;
      const unsigned lotSub = rng() % 3 == 0 ? 0 : 1 + rng() % 40;
      std::string& o = chunk;
      AppendNumber(&o, zone);
      o += '|';
      o += sido;
      o += '|';
      o += p.english;
      o += '|';
      if (!sejong) o += districts[d];
      o += '|';
      if (!sejong) o += kDistricts[d][1];
      o += '|';
      if (t.inTown) o += t.place;
      o += '|';
      if (t.inTown) {
        o += "Town-";
        AppendNumber(&o, variant);
      }
      o += '|';
      AppendNumber(&o, 100000000000ull + rng() % 900000000000ull);  // 도로명코드
      o += '|';
      o += t.road;
      if (variant < 40) {
        AppendNumber(&o, variant + 1);
        o += road;
      }
      o += "|Doro-";
      AppendNumber(&o, variant * 37 % 1000);
      if (variant < 40) {
        o += ' ';
        AppendNumber(&o, variant + 1);
        o += "-gil";
      }
      o += underground ? "|1|" : "|0|";
      AppendNumber(&o, main);
      o += '|';
      AppendNumber(&o, sub);
      o += '|';
      AppendNumber(&o, 1000000000000000000ull + rng() % 9000000000000000000ull);  // 건물관리번호
      o += "||";
      if (!t.name.empty()) {
        o += t.name;
        if (variant % 3 == 0) {
          o += ' ';
          AppendNumber(&o, 100 + variant);
          o += building;
        }
      }
      o += '|';
      AppendNumber(&o, 1000000000ull + rng() % 9000000000ull);  // 법정동코드
      o += '|';
      if (!t.inTown) o += t.place;
      o += '|';
      o += t.ri;
      o += '|';
      o += t.haengjeong;
      o += t.mountain ? "|1|" : "|0|";
      AppendNumber(&o, lotMain);
      o += "|01|";
      AppendNumber(&o, lotSub);
      o += "||\n";
      if (chunk.size() >= (8u << 20)) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        set.bytes += chunk.size();
        chunk.clear();
      }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    set.bytes += chunk.size();
    if (!out.flush()) {
      set.why = path + " cannot be written";
      set.paths.clear();
      return set;
    }
    set.paths.push_back(path);
    done += count;
  }
  set.rows = done;
  return set;
}

}  // namespace benchsupport
