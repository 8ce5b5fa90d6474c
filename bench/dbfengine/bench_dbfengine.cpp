// bench-dbfengine: engine figures over a generated table of 1,000,000
// records (ZIPCODE C(7), DDD C(4), ADDR C(60) with CP949 text), then over
// the national-size table of NationalTable.h (figures "national.*"): open
// time and resident memory in a fresh process, one random record, a full
// sequential scan and a query scan.
//   bench-dbfengine [--national-only]
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "NationalTable.h"
#include "libs/dbfengine/dbfengine.h"

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

constexpr int kRecords = 1000000;

// Resident and peak resident memory of this process, in MB.
double statusMb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0) return std::atof(line.c_str() + n + 1) / 1024.0;
  return -1;
}

// Run in a process of its own: opens the table, reads its first record and
// prints the time of the open and the memory the process then holds.
int probeOpen(const char* path) {
  const double before = statusMb("VmRSS");
  const auto t = Clock::now();
  const int16_t area = dbe_UseEx(path, "PROBE", 1, 3, 2);
  const double ms = msSince(t);
  if (area < 1) return 1;
  std::vector<char> buf(static_cast<size_t>(dbe_RecSize()));
  dbe_GetRecord(buf.data());
  std::printf("%.3f %.1f %.1f\n", ms, statusMb("VmRSS") - before, statusMb("VmHWM"));
  dbe_Close();
  return 0;
}

int national() {
  const std::string path =
      bench::NationalTable(std::string(PF_BIN_DIR) + "/../bench-dbfengine-data");
  if (path.empty()) {
    std::fprintf(stderr, "cannot write the national table\n");
    return 1;
  }
  // Open in a fresh process: its time and the memory it adds.
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) return 1;
  const std::string probe = std::string("'") + self + "' --probe-open '" + path + "'";
  if (FILE* p = popen(probe.c_str(), "r")) {
    double ms = 0, rss = 0, peak = 0;
    const int got = std::fscanf(p, "%lf %lf %lf", &ms, &rss, &peak);
    pclose(p);
    if (got == 3) {
      std::printf("BENCH national.open_ms %.3f ms\n", ms);
      std::printf("BENCH national.open_rss_mb %.1f MB\n", rss);
      std::printf("BENCH national.open_peak_rss_mb %.1f MB\n", peak);
    }
  }
  const int16_t area = dbe_UseEx(path.c_str(), "NATION", 1, 3, 2);
  if (area < 1) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), dbe_ErrorText());
    return 1;
  }
  const int32_t count = dbe_RecCount();
  std::vector<char> buf(static_cast<size_t>(dbe_RecSize()));
  // Random records, as a search goes to its candidates: with read-ahead off
  // (one record read alone, as postcode-lookup sets it) and on (its block).
  unsigned sum = 0;
  for (const bool ahead : {false, true}) {
    dbe_SetReadCache(ahead ? -1 : 0);
    uint32_t x = ahead ? 777u : 12345u;
    constexpr int kProbes = 2000;
    const auto t = Clock::now();
    for (int i = 0; i < kProbes; ++i) {
      x = x * 1103515245u + 12345u;
      dbe_Go(static_cast<int32_t>(x % static_cast<uint32_t>(count)) + 1);
      dbe_GetRecord(buf.data());
      sum += static_cast<unsigned char>(buf[3]);
    }
    std::printf("BENCH national.random_record%s_us %.2f us\n", ahead ? "_readahead" : "",
                msSince(t) * 1000 / kProbes);
  }
  // Every record in order with read-ahead off, as a table component that
  // leaves the switch off walks it.
  dbe_SetReadCache(0);
  auto t = Clock::now();
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    dbe_GetRecord(buf.data());
    sum += static_cast<unsigned char>(buf[3]);
  }
  std::printf("BENCH national.scan_readahead_off_ms %.0f ms\n", msSince(t));
  dbe_SetReadCache(-1);
  // Every record in order, as the full-text index build reads them.
  int32_t seen = 0;
  t = Clock::now();
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    dbe_GetRecord(buf.data());
    sum += static_cast<unsigned char>(buf[3]);
    ++seen;
  }
  const double ms = msSince(t);
  const double mb = static_cast<double>(seen) * static_cast<double>(buf.size()) / 1e6;
  std::printf("BENCH national.scan_mb_per_s %.0f MB/s\n", mb / (ms / 1000));
  std::printf("BENCH national.scan_ms %.0f ms\n", ms);
  // "제주" $ ETC over every record.
  t = Clock::now();
  const int32_t first = dbe_Query("\"\xC1\xA6\xC1\xD6\" $ ETC");
  std::printf("BENCH national.query_ms %.0f ms\n", msSince(t));
  const int32_t matches = dbe_QueryRecCount();
  std::printf("BENCH national.rss_after_scans_mb %.1f MB\n", statusMb("VmRSS"));
  dbe_Close();
  if (seen != bench::kNationalRows || first <= 0 || matches != bench::kNationalRows / 4 ||
      sum == 0) {
    std::fprintf(stderr, "unexpected national results: seen=%d first=%d matches=%d\n", seen, first,
                 matches);
    return 1;
  }
  return 0;
}

void writeTable(const std::string& path) {
  const int recSize = 1 + 7 + 4 + 60;
  const std::string h =
      bench::CharTableHeader({{"ZIPCODE", 7}, {"DDD", 4}, {"ADDR", 60}}, kRecords);
  std::ofstream out(path, std::ios::binary);
  out.write(h.data(), static_cast<std::streamsize>(h.size()));
  std::string rec;
  for (int r = 0; r < kRecords; ++r) {
    char buf[128];
    std::snprintf(buf, sizeof buf, " %06d%-4s%s %d-%d", r % 999999, "02", bench::kTowns[r % 4],
                  r % 977, r % 31);
    rec.assign(buf);
    rec.resize(recSize, ' ');
    out.write(rec.data(), recSize);
  }
  out.put('\x1A');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--probe-open") == 0) return probeOpen(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "--national-only") == 0) return national();
  const std::string path = "/tmp/bench-dbfengine-" + std::to_string(getpid()) + ".dbf";
  writeTable(path);

  auto t = Clock::now();
  const int16_t area = dbe_UseEx(path.c_str(), "BENCH", 1, 3, 2);
  const double openMs = msSince(t);
  if (area < 1) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), dbe_ErrorText());
    return 1;
  }
  std::printf("BENCH open_ms %.3f ms\n", openMs);

  // Full walk with Skip(1), as the grid and the index build do.
  int32_t seen = 0;
  t = Clock::now();
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) ++seen;
  double ms = msSince(t);
  std::printf("BENCH walk_records_per_s %.0f records/s\n", seen / (ms / 1000));

  // The same walk with the table component's call pattern per record.
  seen = 0;
  t = Clock::now();
  dbe_Select(area);
  dbe_GoTop();
  while (true) {
    dbe_Select(area);
    if (dbe_Eof()) break;
    seen += dbe_RecNo() > 0 && !dbe_Bof();
    dbe_Select(area);
    dbe_Skip(1);
  }
  ms = msSince(t);
  std::printf("BENCH walk_select_recno_records_per_s %.0f records/s\n", seen / (ms / 1000));

  std::vector<char> buf(static_cast<size_t>(dbe_RecSize()) + 1);
  unsigned sum = 0;
  t = Clock::now();
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    dbe_GetRecord(buf.data());
    sum += static_cast<unsigned char>(buf[5]);
  }
  ms = msSince(t);
  std::printf("BENCH getrecord_ns_per_record %.1f ns\n", ms * 1e6 / kRecords);

  // "제주" $ ADDR over every record.
  t = Clock::now();
  const int32_t first = dbe_Query("\"\xC1\xA6\xC1\xD6\" $ ADDR");
  ms = msSince(t);
  std::printf("BENCH query_substring_ms %.2f ms\n", ms);
  std::printf("BENCH query_substring_matches %d records\n", dbe_QueryRecCount());

  // Walk through a query set of 1,000 marks spread over the table.
  dbe_Query("");
  for (int i = 0; i < 1000; ++i) dbe_SetQueryBit(1 + i * (kRecords / 1000) + (i * 7919) % 997, -1);
  int32_t marks = 0;
  t = Clock::now();
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) ++marks;
  ms = msSince(t);
  std::printf("BENCH walk_1000_marks_ms %.3f ms\n", ms);

  // Index build and a walk in key order.
  dbe_Query("");
  const std::string mtx = path.substr(0, path.size() - 4) + ".mtx";
  const dbe_tag_def tag{"ZIP", "ZIPCODE", nullptr, 0, 0};
  t = Clock::now();
  const bool built = dbe_IndexCreate(mtx.c_str(), &tag, 1) == 1;
  std::printf("BENCH index_build_ms %.1f ms\n", msSince(t));
  t = Clock::now();
  const int16_t order = built ? dbe_IndexOpen(mtx.c_str()) : 0;
  std::printf("BENCH index_open_ms %.2f ms\n", msSince(t));
  if (order > 0) {
    dbe_SetOrder(order);
    seen = 0;
    t = Clock::now();
    for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) ++seen;
    ms = msSince(t);
    std::printf("BENCH walk_order_records_per_s %.0f records/s\n", seen / (ms / 1000));
    dbe_Query("");
    for (int i = 0; i < 1000; ++i) dbe_SetQueryBit(1 + i * (kRecords / 1000), -1);
    int32_t inOrder = 0;
    t = Clock::now();
    for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) ++inOrder;
    ms = msSince(t);
    std::printf("BENCH walk_1000_marks_in_order_ms %.3f ms\n", ms);
    if (inOrder != 1000) marks = -1;
  }
  dbe_Close();
  std::filesystem::remove(path);
  std::filesystem::remove(mtx);
  if (first <= 0 || marks != 1000 || sum == 0) {
    std::fprintf(stderr, "unexpected results: first=%d marks=%d\n", first, marks);
    return 1;
  }
  return national();
}
