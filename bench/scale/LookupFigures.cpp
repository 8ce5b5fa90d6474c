#include "bench/scale/LookupFigures.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "PostcodeDbf.h"
#include "bench/scale/ChildProcess.h"
#include "bench/scale/ScaleTable.h"
#include "libs/dbfengine/dbfengine.h"
#include "platform/Cp949Codec.h"

namespace scalebench {
namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 11;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

size_t Lines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The program finds its table beside its executable (symbolic links
// resolved, so a copy) and its two libraries there too; its index in the
// working directory. Answers the copy's path, empty when it cannot be made.
std::string InstallLookup(const std::string& folder) {
  const fs::path bin = PF_BIN_DIR;
  std::error_code ec;
  fs::copy_file(bin / "postcode-lookup", fs::path(folder) / "postcode-lookup",
                fs::copy_options::overwrite_existing, ec);
  if (ec) return {};
  for (const auto& entry : fs::directory_iterator(bin, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("libdbfengine.so", 0) != 0 && name.rfind("libftsindex.so", 0) != 0) continue;
    const fs::path to = fs::path(folder) / name;
    fs::remove(to, ec);
    if (entry.is_symlink())
      fs::copy_symlink(entry.path(), to, ec);
    else
      fs::copy_file(entry.path(), to, ec);
    if (ec) return {};
  }
  return folder + "/postcode-lookup";
}

// The sqlite3 command on PATH; empty when there is none.
std::string FindSqlite() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = dir + "/sqlite3";
    if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string TrimmedUtf8(const char* field, size_t width) {
  std::string_view text(field, width);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return platform::Utf8FromCp949(text);
}

// Every record of the table as a UTF-8 line "zipcode\tddd\tetc", read
// through the DBF engine.
bool WriteRowsTsv(const std::string& table, const std::string& tsv) {
  if (dbe_UseEx(table.c_str(), "SQLITE", 1, 3, 1) <= 0) return false;
  std::ofstream out(tsv, std::ios::binary | std::ios::trunc);
  std::vector<char> record(static_cast<size_t>(dbe_RecSize()) + 1, '\0');
  const size_t ddd = 1 + postal::kZipcodeWidth, etc = ddd + postal::kDddWidth;
  for (dbe_GoTop(); !dbe_Eof() && out; dbe_Skip(1)) {
    dbe_GetRecord(record.data());
    out << TrimmedUtf8(record.data() + 1, postal::kZipcodeWidth) << '\t'
        << TrimmedUtf8(record.data() + ddd, postal::kDddWidth) << '\t'
        << TrimmedUtf8(record.data() + etc, kEtcWidth) << '\n';
  }
  dbe_Close();
  return static_cast<bool>(out.flush());
}

// The rows in an FTS5 table of the trigram tokenizer, made once per table
// folder by the sqlite3 command itself.
std::string PrepareSqlite(const ScaleContext& c, const std::string& sqlite) {
  const std::string db = c.folder + "/postcode-fts5.sqlite";
  if (fs::exists(db)) return db;
  std::fprintf(stderr, "bench-scale: building %s\n", db.c_str());
  const std::string tsv = c.folder + "/rows-utf8.tsv", script = c.folder + "/sqlite-build.sql",
                    part = db + ".part";
  std::error_code ec;
  fs::remove(part, ec);
  if (!WriteRowsTsv(c.tablePath, tsv)) return {};
  std::ofstream(script, std::ios::trunc)
      << "CREATE VIRTUAL TABLE postcode USING fts5(zipcode, ddd, etc, tokenize='trigram');\n"
      << ".mode tabs\n"
      << ".import '" << tsv << "' postcode\n"
      << "INSERT INTO postcode(postcode) VALUES('optimize');\n"
      << "SELECT count(*) FROM postcode;\n";
  const ChildRun run = RunProgram({sqlite, {"-bail", part}, {}, script});
  fs::remove(tsv, ec);
  if (!run.ok || std::strtoull(run.output.c_str(), nullptr, 10) != c.rows) {
    std::fprintf(stderr, "bench-scale: sqlite3 could not build %s\n%s", db.c_str(),
                 run.output.c_str());
    return {};
  }
  fs::rename(part, db, ec);
  return ec ? std::string() : db;
}

// The query in SQL: every word a substring of the address, as ours reads
// it. The trigram index answers words of three characters or more; shorter
// ones it cannot, so they are checked on the rows it found.
std::string SqliteQuery(const std::string& utf8) {
  std::istringstream in(utf8);
  std::string match, also;
  for (std::string word; in >> word;) {
    const size_t chars = static_cast<size_t>(
        std::count_if(word.begin(), word.end(), [](char b) { return (b & 0xC0) != 0x80; }));
    if (chars >= 3)
      match += (match.empty() ? "" : " AND ") + ("\"" + word + "\"");
    else
      also += " AND instr(etc, '" + word + "') > 0";
  }
  std::string sql = "SELECT zipcode, ddd, etc FROM postcode WHERE ";
  sql += match.empty() ? "1" : "postcode MATCH 'etc : (" + match + ")'";
  return sql + also + ";";
}

// The rows one process printed, its time and peak memory run after run.
struct Timed {
  std::vector<double> ms;
  double peakMb = 0;
  size_t rows = 0;
  bool failed = false;

  void Add(const ChildRun& run, const char* what) {
    if (!run.ok) {
      std::fprintf(stderr, "bench-scale: %s failed (%d)\n%s", what, run.exitStatus,
                   run.output.c_str());
      failed = true;
    }
    ms.push_back(run.wallMs);
    peakMb = std::max(peakMb, run.peakRssMb);
    rows = Lines(run.output);
  }
};

// 1,000 mixed queries on standard input, ten rows each at most.
void RunBatch(const ScaleContext& c, const std::string& lookup) {
  const std::string list = c.folder + "/queries-utf8.txt";
  {
    std::ofstream out(list, std::ios::binary | std::ios::trunc);
    for (const std::string& q : c.mixedQueries) out << platform::Utf8FromCp949(q) << '\n';
  }
  const Program batch{lookup, {"--limit", "10", "-"}, c.folder, list};
  RunProgram(batch);  // warm-up
  std::vector<double> ms;
  double peak = 0;
  for (int i = 0; i < 3; ++i) {
    const ChildRun listed = RunProgram(batch);
    if (listed.exitStatus != 0 && listed.exitStatus != 1) {  // 1: a query found nothing
      std::fprintf(stderr, "bench-scale: postcode-lookup - failed (%d)\n", listed.exitStatus);
      return;
    }
    ms.push_back(listed.wallMs);
    peak = std::max(peak, listed.peakRssMb);
  }
  Bench("lookup.batch_queries_per_s",
        static_cast<double>(c.mixedQueries.size()) / (Median(ms) / 1000), "queries/s");
  Bench("lookup.batch_rss_mb", peak, "MB");
}

void Run(const ScaleContext& c) {
  const std::string lookup = InstallLookup(c.folder);
  if (lookup.empty()) {
    std::fprintf(stderr, "bench-scale: cannot put postcode-lookup into %s\n", c.folder.c_str());
    return;
  }
  const std::string query = platform::Utf8FromCp949(c.selectiveQuery);
  const Program ours{lookup, {query}, c.folder, {}};
  // The first run builds the index when there is none; not timed.
  Timed first;
  first.Add(RunProgram(ours), "postcode-lookup");
  if (first.failed) return;

  const std::string sqlite = FindSqlite();
  if (sqlite.empty())
    std::fprintf(stderr, "bench-scale: no sqlite3 command, lookup.sqlite_cli_ms left out\n");
  const std::string db = sqlite.empty() ? std::string() : PrepareSqlite(c, sqlite);
  const Program theirs{sqlite, {"-readonly", db, SqliteQuery(query)}, {}, {}};
  // Warm-ups, then the two in turn, so that both meet the same load of a
  // shared machine.
  RunProgram(ours);
  if (!db.empty()) RunProgram(theirs);
  Timed lookupRuns, sqliteRuns;
  for (int i = 0; i < kRuns; ++i) {
    lookupRuns.Add(RunProgram(ours), "postcode-lookup");
    if (!db.empty()) sqliteRuns.Add(RunProgram(theirs), "sqlite3");
  }
  if (lookupRuns.failed) return;
  Bench("lookup.process_ms", Median(lookupRuns.ms), "ms");
  Bench("lookup.rss_mb", lookupRuns.peakMb, "MB");
  Bench("lookup.rows", static_cast<double>(lookupRuns.rows), "rows");
  if (!db.empty() && !sqliteRuns.failed) {
    if (sqliteRuns.rows != lookupRuns.rows)
      std::fprintf(stderr, "bench-scale: sqlite3 found %zu rows, postcode-lookup %zu\n",
                   sqliteRuns.rows, lookupRuns.rows);
    Bench("lookup.sqlite_cli_ms", Median(sqliteRuns.ms), "ms");
    Bench("lookup.sqlite_cli_rows", static_cast<double>(sqliteRuns.rows), "rows");
    Bench("lookup.vs_sqlite_cli", Median(sqliteRuns.ms) / Median(lookupRuns.ms), "x");
  }
  RunBatch(c, lookup);
}

}  // namespace

FigureGroup LookupFigures() {
  return FigureGroup{"lookup", Run, nullptr};
}

}  // namespace scalebench
