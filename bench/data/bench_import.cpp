// bench-import: postcode-import as a user runs it, on the synthetic pair of
// range files (about 600,000 rows, one UTF-8 and one CP949 file), from the
// start of the process to the table renamed into place.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/LargeRangeTable.h"

namespace {

void Bench(const char* name, double value, const char* unit) {
  std::printf("BENCH %s %.2f %s\n", name, value, unit);
  std::fflush(stdout);
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/bench-import-XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const std::string folder = tmpl;
  const auto files = benchsupport::WriteLargeRangeFiles(folder);
  if (files.roadPath.empty()) {
    std::fprintf(stderr, "bench-import: the range files cannot be made\n");
    return 1;
  }
  const size_t rows = files.roadRows + files.lotRows;
  const std::string command = Quoted(std::string(PF_BIN_DIR) + "/postcode-import") + " -o " +
                              Quoted(folder + "/POSTCODE.DBF") + " " + Quoted(files.roadPath) +
                              " " + Quoted(files.lotPath) + " > /dev/null";
  constexpr int kRuns = 3;
  std::vector<double> seconds;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "bench-import: postcode-import failed\n");
      std::filesystem::remove_all(folder);
      return 1;
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[kRuns / 2];
  Bench("import.rows", static_cast<double>(rows), "rows");
  Bench("import.seconds", median, "s");
  Bench("import.rows_per_s", rows / median, "rows/s");
  Bench("import.table_mb", std::filesystem::file_size(folder + "/POSTCODE.DBF") / 1e6, "MB");
  std::filesystem::remove_all(folder);
  return 0;
}
