// bench-table: the table component on a generated table of 50,000 records.
//   recno_read_us   10,000 Recno writes + ReadRecord with the grid's
//                   notifications suspended, microseconds per candidate
//   walk_us         a full GoTop / AtEnd / ReadRecord / Skip(1) walk with a grid
//                   attached, microseconds per record
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dataset/DBGrid.h"
#include "dataset/DataSource.h"
#include "table/DbfTable.h"

namespace {

// ZIPCODE C(7), DDD C(4), ETC C(80): the shape of the postal table.
void WriteTable(const std::string& path, int count) {
  const int recSize = 1 + 7 + 4 + 80;
  std::string h(32, '\0');
  h[0] = 0x03;
  for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>(static_cast<uint32_t>(count) >> (8 * i));
  const int headerLen = 32 + 3 * 32 + 1;
  h[8] = static_cast<char>(headerLen & 0xFF), h[9] = static_cast<char>(headerLen >> 8);
  h[10] = static_cast<char>(recSize & 0xFF), h[11] = static_cast<char>(recSize >> 8);
  const struct {
    const char* name;
    int width;
  } fields[] = {{"ZIPCODE", 7}, {"DDD", 4}, {"ETC", 80}};
  for (const auto& f : fields) {
    std::string d(32, '\0');
    std::memcpy(d.data(), f.name, std::strlen(f.name));
    d[11] = 'C';
    d[16] = static_cast<char>(f.width);
    h += d;
  }
  h.push_back('\x0D');
  std::string rec(static_cast<size_t>(recSize), ' ');
  for (int i = 1; i <= count; ++i) {
    std::fill(rec.begin(), rec.end(), ' ');
    char buf[96];
    std::snprintf(buf, sizeof buf, "%03d-%03d", i / 1000 % 1000, i % 1000);
    std::memcpy(&rec[1], buf, 7);
    std::memcpy(&rec[8], "02", 2);
    const int n =
        std::snprintf(buf, sizeof buf, "SEOUL GANGNAM-GU STREET %d BUILDING %d", i, i * 7);
    std::memcpy(&rec[12], buf, static_cast<size_t>(n));
    h += rec;
  }
  h.push_back('\x1A');
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(h.data(), static_cast<std::streamsize>(h.size()));
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  char tmpl[] = "/tmp/bench-table-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const int records = 50000;
  WriteTable(dir + "/POSTCODE.DBF", records);

  TDbfTable table;
  TDataSource source;
  source.SetDataSet(&table);
  TDBGrid grid;
  grid.SetDataSource(&source);
  grid.AddColumn("ZIPCODE", "우편번호");
  grid.AddColumn("DDD", QString(), 50);
  grid.AddColumn("ETC", "전체주소", 590);
  grid.resize(736, 380);
  grid.show();
  table.SetDatabasename(QString::fromStdString(dir));
  table.SetTableName("POSTCODE.DBF");
  table.SetReadOnly(true);
  table.Loaded();
  table.Open();
  std::vector<char> record(static_cast<size_t>(table.RecordSize()) + 1);

  // The search's candidate loop.
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> pick(1, records);
  std::vector<int> candidates(10000);
  for (int& c : candidates) c = pick(rng);
  table.SuspendViewNotifications();
  table.Query("");
  const int32_t kept = table.SetOrder(0);
  table.GoTop();
  long checksum = 0;
  auto start = std::chrono::steady_clock::now();
  for (int n : candidates) {
    table.SetRecno(n);
    table.ReadRecord(record.data());
    checksum += record[3];
    if (n % 5 == 0) table.SetQueryBit(n, true);
  }
  const double perCandidate = Seconds(start) * 1e6 / static_cast<double>(candidates.size());
  table.SetOrder(kept);
  table.ResumeViewNotifications();
  table.GoTop();
  table.Refresh();
  std::printf("BENCH recno_read_us %.3f us\n", perCandidate);

  // A full walk through the view with the grid attached.
  table.Query("");
  start = std::chrono::steady_clock::now();
  int visited = 0;
  for (table.GoTop(); !table.AtEnd(); table.Skip(1)) {
    table.ReadRecord(record.data());
    ++visited;
  }
  const double walk = Seconds(start);
  std::printf("BENCH walk_us %.3f us\n", walk * 1e6 / visited);
  std::printf("BENCH walk_total_ms %.1f ms\n", walk * 1e3);
  table.Close();
  std::filesystem::remove_all(dir);
  if (visited != records) {
    std::fprintf(stderr, "walk visited %d of %d records (checksum %ld)\n", visited, records,
                 checksum);
    return 1;
  }
  return 0;
}
