#include "bench/fts/LargeTable.h"

#include <random>

namespace ftsbench {

std::vector<std::string> MakeLargeRecords(const std::vector<ftstest::ZipRow>& rows, size_t count,
                                          unsigned seed) {
  // Building names: the words after the village in DONG ("개포1동 경남아파트").
  std::vector<std::string> buildings;
  for (const auto& r : rows) {
    const size_t space = r.dong.find(' ');
    if (space != std::string::npos) buildings.push_back(r.dong.substr(space + 1));
  }
  std::mt19937 rng(seed);
  std::vector<ftstest::ZipRow> made;
  made.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    ftstest::ZipRow r = rows[rng() % rows.size()];
    r.dong = r.dong.substr(0, r.dong.find(' '));
    const unsigned kind = rng() % 10;
    if (kind < 5 && !buildings.empty()) {
      r.dong += " " + buildings[rng() % buildings.size()];
      r.bunji = kind < 2 ? "(" + std::to_string(1 + rng() % 20) + "\xA1\xAD" +
                               std::to_string(21 + rng() % 200) + "\xB5\xBF)"  // (n∼m동)
                         : std::string();
    } else {
      r.bunji = std::to_string(1 + rng() % 999);
      if (kind < 8) r.bunji += "-" + std::to_string(1 + rng() % 99);
    }
    if (r.zip.size() == 7) r.zip = r.zip.substr(0, 4) + std::to_string(100 + rng() % 900);
    made.push_back(std::move(r));
  }
  return ftstest::MakeRecords(made);
}

}  // namespace ftsbench
