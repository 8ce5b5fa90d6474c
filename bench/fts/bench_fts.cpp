// bench-fts: the full-text index on the national postal table and on a
// generated table of 2,000,000 records, side by side with a brute-force scan
// using the same matching and with SQLite FTS5 (trigram tokenizer).
//
//   bench-fts [--large N] [--no-large] [--no-sqlite-large]
//
// Prints BENCH <name> <value> <unit> lines.
#include <iconv.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/fts/LargeTable.h"
#include "libs/ftsindex/ftsindex.h"
#include "tests/ftsindex/ZipcodeRecords.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Bench(const std::string& name, double value, const char* unit) {
  std::printf("BENCH %s %.4g %s\n", name.c_str(), value, unit);
  std::fflush(stdout);
}

// Median of the times of `reps` runs of f.
double MedianMs(int reps, const std::function<void()>& f) {
  std::vector<double> t;
  for (int i = 0; i < reps; ++i) {
    const auto start = Clock::now();
    f();
    t.push_back(Ms(Clock::now() - start));
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

struct Query {
  const char* name;
  const char* text;  // UTF-8 in the source; converted to CP949
};

// 1-, 2-, 3- and 6-syllable words, two and three words, postal-code
// fragments, a dialling code, a partial building name, a word in about a
// third of the records, two texts that match nothing, initial-consonant
// words (alone, beside syllables and digits, with a plain word) and words
// typed without their blanks.
const Query kQueries[] = {
    {"syl1", "역"},
    {"syl2", "역삼"},
    {"syl3", "삼성동"},
    {"syl6", "신동아아파트"},
    {"words2", "강남구 역삼"},
    {"words3", "서울 강남구 개포"},
    {"zip_prefix", "135-8"},
    {"zip_part", "-806"},
    {"ddd", "031"},
    {"building", "우성3차"},
    {"third", "면"},
    {"none_pairs", "강남해운대"},
    {"none_key", "qz"},
    {"cons1", "ㄱ"},
    {"cons2", "ㄱㄴ"},
    {"cons_digit", "ㄱㅍ1ㄷ"},
    {"cons_mixed", "개ㅍ"},
    {"cons_words", "서울 ㄱㄴㄱ"},
    {"joined2", "서울강남구"},
    {"joined3", "강남구역삼1동"},
    // The same kinds, rarer: at most about 1,000 matches among 2,000,000.
    {"sel_syl1", "덤"},
    {"sel_syl2", "수서"},
    {"sel_syl3", "개포동"},
    {"sel_syl6", "구현대아파트"},
    {"sel_words2", "반포 본동"},
    {"sel_words3", "서울 강남구 수서"},
    {"sel_zip", "135-806"},
    {"sel_ddd_word", "02 수서"},
    {"sel_cons", "ㄱㅍ1ㄷ ㅇㅅ3ㅊ"},
    {"sel_joined", "강남구수서동"},
};

std::string Convert(const std::string& in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 3 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// A DBF file of these records: 32-byte header, three 32-byte field
// descriptors, the terminator, the records and the end-of-file mark.
int64_t TableBytes(const std::vector<std::string>& records) {
  return 32 + 3 * 32 + 1 + static_cast<int64_t>(records.size()) * records[0].size() + 1;
}

class Sqlite {
 public:
  explicit Sqlite(const std::vector<std::string>& records) {
    sqlite3_open(":memory:", &db_);
    Exec("CREATE VIRTUAL TABLE ft USING fts5(a, tokenize='trigram')");
    Exec("BEGIN");
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO ft(rowid, a) VALUES(?1, ?2)", -1, &ins, nullptr);
    for (size_t i = 0; i < records.size(); ++i) {
      const std::string utf8 = Convert(records[i], "UTF-8", "CP949");
      sqlite3_bind_int64(ins, 1, static_cast<sqlite3_int64>(i + 1));
      sqlite3_bind_text(ins, 2, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      sqlite3_step(ins);
      sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    Exec("COMMIT");
  }
  ~Sqlite() { sqlite3_close(db_); }

  // Rows holding every word (LIKE, ASCII without case); -1 on error. The
  // trigram index serves words of three characters or more; a shorter word
  // is tested on every row (the column wrapped so FTS5 does not claim it).
  int64_t Count(const std::string& utf8Text) {
    std::vector<std::string> words;
    std::vector<bool> indexed;
    for (size_t i = 0; i < utf8Text.size();) {
      size_t j = utf8Text.find(' ', i);
      if (j == std::string::npos) j = utf8Text.size();
      if (j > i) {
        const std::string w = utf8Text.substr(i, j - i);
        words.push_back("%" + w + "%");
        indexed.push_back(std::count_if(w.begin(), w.end(), [](char c) {
                            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
                          }) >= 3);
      }
      i = j + 1;
    }
    std::string sql = "SELECT rowid FROM ft WHERE ";
    for (size_t i = 0; i < words.size(); ++i)
      sql += std::string(i ? " AND " : "") + (indexed[i] ? "a" : "(a || '')") + " LIKE ?" +
             std::to_string(i + 1);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return -1;
    for (size_t i = 0; i < words.size(); ++i)
      sqlite3_bind_text(st, static_cast<int>(i + 1), words[i].c_str(), -1, SQLITE_TRANSIENT);
    int64_t n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) ++n;
    sqlite3_finalize(st);
    return n;
  }

 private:
  void Exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
  sqlite3* db_ = nullptr;
};

// The records one after another, each with its zero byte, as a table file
// holds them: candidates are read from one block of memory.
class RecordBlock {
 public:
  explicit RecordBlock(const std::vector<std::string>& records)
      : stride_(records[0].size() + 1), count_(records.size()) {
    blob_.reserve(stride_ * count_);
    for (const auto& r : records) blob_.append(r.c_str(), r.size() + 1);
  }
  // Record n (1 for the first).
  const char* Rec(size_t n) const { return blob_.data() + (n - 1) * stride_; }
  size_t Count() const { return count_; }

 private:
  std::string blob_;
  size_t stride_, count_;
};

struct QueryResult {
  double ms = 0, setMs = 0, scanMs = 0, sqliteMs = -1;
  int32_t set = 0;
  int64_t candidates = 0, matches = 0, scanMatches = 0, sqliteMatches = -1;
};

void RunTable(const std::string& prefix, const std::vector<std::string>& records, bool withSqlite,
              int reps) {
  char dirTemplate[] = "/tmp/bench-fts-XXXXXX";
  const std::string dir = mkdtemp(dirTemplate);
  const std::string path = dir + "/POSTCODE.FTS";

  const RecordBlock table(records);
  const int buildReps = records.size() > 500000 ? 1 : 5;
  const double buildMs = MedianMs(buildReps, [&] {
    const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
    for (size_t n = 1; n <= table.Count(); ++n) FtsAdd(h, table.Rec(n));
    if (FtsClose(h) != 0) std::fprintf(stderr, "FtsClose failed\n");
  });
  Bench(prefix + ".records", static_cast<double>(records.size()), "records");
  Bench(prefix + ".build_ms", buildMs, "ms");
  const int64_t indexBytes = FileSize(path), tableBytes = TableBytes(records);
  Bench(prefix + ".index_bytes", static_cast<double>(indexBytes), "bytes");
  Bench(prefix + ".table_bytes", static_cast<double>(tableBytes), "bytes");
  Bench(prefix + ".index_to_table_ratio", static_cast<double>(indexBytes) / tableBytes, "x");

  int32_t h = 0;
  const double openMs = MedianMs(buildReps, [&] {
    if (h > 0) FtsClose(h);
    h = FtsOpen(path.c_str(), 20, 1);
  });
  Bench(prefix + ".open_ms", openMs, "ms");
  Bench(prefix + ".keys", FtsNumKeys(h), "keys");

  Sqlite* sqlite = nullptr;
  if (withSqlite) {
    const auto start = Clock::now();
    sqlite = new Sqlite(records);
    Bench(prefix + ".sqlite_build_ms", Ms(Clock::now() - start), "ms");
  }

  double queryMax = 0, selectiveMax = 0, selectiveSpeedupMin = 1e300;
  for (const Query& q : kQueries) {
    const std::string text = Convert(q.text, "CP949", "UTF-8");
    QueryResult r;
    r.ms = MedianMs(reps, [&] {
      r.set = FtsSet(h, text.c_str());
      r.candidates = r.matches = 0;
      if (r.set == FTS_ERR_NO_KEY || r.set == 0) return;  // the search stops here
      // Proven candidates match without being read.
      const bool proven = FtsProven(h) == 1;
      for (int32_t c; (c = FtsNextRec(h)) > 0;) {
        ++r.candidates;
        if (proven || FtsVerify(h, table.Rec(c), text.c_str(), 3) == 1) ++r.matches;
      }
    });
    r.setMs = MedianMs(reps, [&] {  // the index alone
      if (FtsSet(h, text.c_str()) > 0)
        while (FtsNextRec(h) > 0) {
        }
    });
    r.scanMs = MedianMs(std::max(1, reps / 10), [&] {
      r.scanMatches = 0;
      for (size_t n = 1; n <= table.Count(); ++n)
        if (FtsVerify(h, table.Rec(n), text.c_str(), 3) == 1) ++r.scanMatches;
    });
    if (sqlite) {
      const std::string utf8 = q.text;
      r.sqliteMs = MedianMs(std::max(1, reps / 10), [&] { r.sqliteMatches = sqlite->Count(utf8); });
    }
    const std::string n = prefix + ".query." + q.name;
    Bench(n + ".ms", r.ms, "ms");
    Bench(n + ".set_ms", r.setMs, "ms");
    Bench(n + ".candidates", static_cast<double>(r.candidates), "records");
    Bench(n + ".matches", static_cast<double>(r.matches), "records");
    Bench(n + ".candidates_per_match",
          r.matches ? static_cast<double>(r.candidates) / r.matches : 0, "x");
    Bench(n + ".scan_ms", r.scanMs, "ms");
    Bench(n + ".speedup_vs_scan", r.scanMs / std::max(r.ms, 1e-6), "x");
    if (r.scanMatches != r.matches)
      std::printf("MISMATCH %s: index %lld, scan %lld\n", n.c_str(),
                  static_cast<long long>(r.matches), static_cast<long long>(r.scanMatches));
    if (sqlite) {
      Bench(n + ".sqlite_ms", r.sqliteMs, "ms");
      Bench(n + ".sqlite_matches", static_cast<double>(r.sqliteMatches), "records");
      Bench(n + ".speedup_vs_sqlite", r.sqliteMs / std::max(r.ms, 1e-6), "x");
      if (r.sqliteMatches != r.matches)
        std::printf("MISMATCH %s: index %lld, sqlite %lld\n", n.c_str(),
                    static_cast<long long>(r.matches), static_cast<long long>(r.sqliteMatches));
    }
    queryMax = std::max(queryMax, r.ms);
    if (r.matches <= 1000) {
      selectiveMax = std::max(selectiveMax, r.ms);
      selectiveSpeedupMin = std::min(selectiveSpeedupMin, r.scanMs / std::max(r.ms, 1e-6));
    }
  }
  Bench(prefix + ".query_max_ms", queryMax, "ms");
  Bench(prefix + ".selective_query_max_ms", selectiveMax, "ms");
  Bench(prefix + ".selective_speedup_vs_scan_min", selectiveSpeedupMin, "x");
  delete sqlite;
  FtsClose(h);
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  size_t large = 2000000;
  bool sqliteLarge = true;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--large") && i + 1 < argc)
      large = std::strtoul(argv[++i], nullptr, 10);
    if (!std::strcmp(argv[i], "--no-large")) large = 0;
    if (!std::strcmp(argv[i], "--no-sqlite-large")) sqliteLarge = false;
  }
  const auto rows = ftstest::ReadZipcodeCsv(ftstest::ZipcodeCsvPath());
  if (rows.empty()) {
    std::fprintf(stderr, "cannot read %s\n", ftstest::ZipcodeCsvPath().c_str());
    return 1;
  }
  RunTable("national", ftstest::MakeRecords(rows), true, 51);
  if (large > 0) RunTable("large", ftsbench::MakeLargeRecords(rows, large, 2026), sqliteLarge, 11);
  return 0;
}
