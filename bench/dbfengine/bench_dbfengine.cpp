// bench-dbfengine: engine figures over a generated table of 1,000,000
// records (ZIPCODE C(7), DDD C(4), ADDR C(60) with CP949 text).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "libs/dbfengine/dbfengine.h"

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

constexpr int kRecords = 1000000;

void writeTable(const std::string& path) {
  const int widths[] = {7, 4, 60};
  const char* names[] = {"ZIPCODE", "DDD", "ADDR"};
  const int recSize = 1 + 7 + 4 + 60;
  const int headerLen = 32 + 3 * 32 + 1;
  std::string h(32, '\0');
  h[0] = 0x03;
  for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>(kRecords >> (8 * i));
  h[8] = static_cast<char>(headerLen), h[9] = static_cast<char>(headerLen >> 8);
  h[10] = static_cast<char>(recSize);
  h[29] = 0x4E;  // CP949
  for (int f = 0; f < 3; ++f) {
    std::string d(32, '\0');
    std::memcpy(d.data(), names[f], std::strlen(names[f]));
    d[11] = 'C';
    d[16] = static_cast<char>(widths[f]);
    h += d;
  }
  h.push_back('\x0D');
  // CP949 district names: 서울 강남구 / 부산 해운대구 / 대구 수성구 / 제주 제주시.
  const char* towns[] = {"\xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8",
                         "\xBA\xCE\xBB\xEA \xC7\xD8\xBF\xEE\xB4\xEB\xB1\xB8",
                         "\xB4\xEB\xB1\xB8 \xBC\xF6\xBC\xBA\xB1\xB8",
                         "\xC1\xA6\xC1\xD6 \xC1\xA6\xC1\xD6\xBD\xC3"};
  std::ofstream out(path, std::ios::binary);
  out.write(h.data(), static_cast<std::streamsize>(h.size()));
  std::string rec;
  for (int r = 0; r < kRecords; ++r) {
    char buf[128];
    std::snprintf(buf, sizeof buf, " %06d%-4s%s %d-%d", r % 999999, "02", towns[r % 4], r % 977,
                  r % 31);
    rec.assign(buf);
    rec.resize(recSize, ' ');
    out.write(rec.data(), recSize);
  }
  out.put('\x1A');
}

}  // namespace

int main() {
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
  return 0;
}
