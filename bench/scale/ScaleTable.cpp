#include "bench/scale/ScaleTable.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "PostcodeDbf.h"
#include "bench/scale/AddressTemplates.h"
#include "bench/scale/RowMaker.h"
#include "tests/ftsindex/UnicodeText.h"

namespace scalebench {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMixedQueries = 1000;
constexpr postal::DbfDate kTableDate{2024, 1, 2};

uint64_t ExpectedTableBytes(size_t rows) {
  return postal::PostcodeDbfHeader(0, kEtcWidth, kTableDate).size() +
         uint64_t{rows} * (1 + postal::kZipcodeWidth + postal::kDddWidth + kEtcWidth) + 1;
}

// The syllables of a CP949 text replaced by their initial consonants.
std::string Initials(const std::string& cp949) {
  ftstest::Chars chars;
  if (!ftstest::DecodeCp949(cp949, chars)) return cp949;
  for (char32_t& c : chars)
    if (ftstest::IsSyllable(c)) c = ftstest::InitialJamoOf(c);
  return ftstest::EncodeCp949(chars);
}

// The first n characters of a CP949 text of double-byte syllables and digits.
std::string FirstChars(const std::string& text, size_t n) {
  size_t at = 0;
  for (size_t k = 0; k < n && at < text.size(); ++k)
    at += static_cast<unsigned char>(text[at]) >= 0x81 ? 2 : 1;
  return text.substr(0, at);
}

// What people type about a row, by kind in turn.
std::string MixedQuery(const MadeRow& row, size_t kind) {
  switch (kind % 8) {
    case 0:
      return row.village;
    case 1:
      return row.road;
    case 2:
      return row.road + " " + row.number;
    case 3:
      return row.building.empty() ? row.village + " " + row.number : row.building;
    case 4:
      return FirstChars(row.village, 1);
    case 5:
      return FirstChars(row.road, 2);
    case 6:
      return Initials(row.village);
    default:
      return row.sigungu.empty() ? row.village : row.sigungu + " " + row.village;
  }
}

bool Generate(const ScaleContext& c, std::string* why) {
  const AddressTemplates templates =
      LoadTemplates(std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv",
                    std::string(PF_SOURCE_DIR) + "/../shared/data/real/rnaddrkor_sejong.txt");
  if (templates.places.empty()) {
    *why = "the national list data/source/zipcode.csv cannot be read";
    return false;
  }
  std::fprintf(stderr, "bench-scale: generating %zu rows (%s) into %s\n", c.rows,
               templates.fromRealRows ? "real rows as templates" : "the national list only",
               c.tablePath.c_str());
  const std::string partial = c.tablePath + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) {
    *why = "cannot write " + partial;
    return false;
  }
  RowMaker maker(templates, c.seed, kEtcWidth);
  std::string chunk = postal::PostcodeDbfHeader(c.rows, kEtcWidth, kTableDate);
  std::string queries;
  const size_t selectiveRow = c.rows / 2, step = std::max<size_t>(1, c.rows / kMixedQueries);
  std::string selective, mixed;
  MadeRow row;
  bool ok = true;
  for (size_t i = 0; i < c.rows && ok; ++i) {
    maker.Next(row);
    postal::AppendPostcodeRecord(&chunk, row.zipcode, row.ddd, row.etc, kEtcWidth);
    if (i == selectiveRow) selective = row.road + " " + row.number + " " + row.village;
    if (i % step == step / 2 && i / step < kMixedQueries)
      mixed += "mixed\t" + MixedQuery(row, i / step) + "\n";
    if (chunk.size() >= (4u << 20)) {
      ok = std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
      chunk.clear();
    }
  }
  chunk += postal::kDbfEndOfFile;
  ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
  ok = (std::fclose(out) == 0) && ok;
  std::ofstream(c.folder + "/queries.txt", std::ios::binary | std::ios::trunc)
      << "selective\t" << selective << "\n"
      << mixed;
  // The table last, so that a table in the cache always has its queries.
  if (!ok || std::rename(partial.c_str(), c.tablePath.c_str()) != 0) {
    std::remove(partial.c_str());
    *why = "cannot write " + c.tablePath;
    return false;
  }
  return true;
}

bool ReadQueries(ScaleContext& c) {
  std::ifstream in(c.folder + "/queries.txt", std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    if (line.compare(0, tab, "selective") == 0)
      c.selectiveQuery = line.substr(tab + 1);
    else
      c.mixedQueries.push_back(line.substr(tab + 1));
  }
  return !c.selectiveQuery.empty();
}

}  // namespace

bool PrepareScaleTable(const std::string& dataFolder, size_t rows, unsigned seed, ScaleContext& c,
                       std::string* why) {
  c.rows = rows;
  c.seed = seed;
  c.folder = dataFolder + "/rows-" + std::to_string(rows) + "-seed-" + std::to_string(seed);
  c.tablePath = c.folder + "/POSTCODE.DBF";
  std::error_code ec;
  fs::create_directories(c.folder, ec);
  struct stat st {};
  const bool cached = ::stat(c.tablePath.c_str(), &st) == 0 &&
                      static_cast<uint64_t>(st.st_size) == ExpectedTableBytes(rows);
  if (!cached && !Generate(c, why)) return false;
  if (!ReadQueries(c)) {
    *why = "no queries in " + c.folder + "/queries.txt";
    return false;
  }
  return true;
}

}  // namespace scalebench
