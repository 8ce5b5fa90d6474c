// bench-lookup: postcode-lookup as a shell runs it, on the national table with
// its index present (built by a first, untimed run in a scratch working
// directory).
//   lookup.process_ms           one query, from the start of the process to
//                               its end (median of 31 runs)
//   lookup.batch_queries_per_s  1,000 queries on standard input, one process
//                               (median of 7 runs)
// The queries are addresses as address lists hold them, with their numbers:
// from every 52nd row of the national list, its county (or province), the
// first word of its place and, where the row has a range of lots, a lot in
// the middle of it ("강남구 개포1동 650").
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Cp949Codec.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
const std::string kLookup = std::string(PF_BIN_DIR) + "/postcode-lookup";

struct Timing {
  double wallMs = -1;  // negative when the run did not end with status 0
  double cpuMs = 0;    // user and system time of the process
};

// Runs the lookup with args, standard input from inPath, output discarded.
Timing TimedRun(const std::vector<std::string>& args, const std::string& inPath) {
  std::vector<char*> argv{const_cast<char*>(kLookup.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid;
  Timing t;
  if (posix_spawn(&pid, kLookup.c_str(), &actions, nullptr, argv.data(), environ) != 0) return t;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  auto msOf = [](const timeval& tv) { return tv.tv_sec * 1000.0 + tv.tv_usec / 1000.0; };
  t.cpuMs = msOf(usage.ru_utime) + msOf(usage.ru_stime);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) t.wallMs = ms;
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// "county place" (UTF-8) from every step-th row of the national list.
std::vector<std::string> AddressQueries(size_t count, size_t step) {
  std::ifstream in(std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv", std::ios::binary);
  std::vector<std::string> queries;
  std::string line;
  std::getline(in, line);  // the column names
  for (size_t n = 0; queries.size() < count && std::getline(in, line); ++n) {
    if (n % step != 0) continue;
    std::vector<std::string> cols;
    std::stringstream row(platform::Utf8FromCp949(line));
    for (std::string c; std::getline(row, c, ',');) cols.push_back(c);
    if (cols.size() < 4) continue;
    const std::string place = cols[3].substr(0, cols[3].find(' '));
    std::string query = cols[2].empty() ? cols[1] : cols[2];
    query += ' ';
    query += place;
    // A lot inside the row's range, when it has one ("649∼651").
    const std::string& lots = cols.size() > 4 ? cols[4] : std::string();
    const size_t to = lots.find("∼");
    if (to != std::string::npos && !lots.empty() && lots[0] >= '1' && lots[0] <= '9') {
      const long lo = std::strtol(lots.c_str(), nullptr, 10);
      const long hi = std::strtol(lots.c_str() + to + std::string("∼").size(), nullptr, 10);
      if (hi >= lo) {
        query += ' ';
        query += std::to_string((lo + hi) / 2);
      }
    }
    queries.push_back(query);
  }
  return queries;
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  char tmpl[] = "/tmp/bench-lookup-XXXXXX";
  const std::string work = mkdtemp(tmpl);
  fs::current_path(work);  // the index of a build lives in the working directory
  const std::string empty = work + "/empty", list = work + "/queries";
  std::ofstream(empty).close();

  if (TimedRun({"강남구", "역삼동"}, empty).wallMs < 0) {
    std::fprintf(stderr, "bench-lookup: %s did not answer\n", kLookup.c_str());
    return 1;
  }
  std::vector<double> single, singleCpu;
  for (int i = 0; i < 31; ++i) {
    const Timing t = TimedRun({"강남구", "역삼동"}, empty);
    single.push_back(t.wallMs);
    singleCpu.push_back(t.cpuMs);
  }
  std::printf("BENCH lookup.process_ms %.2f ms\n", Median(single));
  // The processor time alone: what a busy machine does not add to.
  std::printf("BENCH lookup.process_cpu_ms %.2f ms\n", Median(singleCpu));

  const std::vector<std::string> queries = AddressQueries(1000, 52);
  {
    std::ofstream out(list);
    for (const std::string& q : queries) out << q << '\n';
  }
  std::vector<double> batch, batchCpu;
  for (int i = 0; i < 7; ++i) {
    const Timing t = TimedRun({"-"}, list);
    batch.push_back(t.wallMs);
    batchCpu.push_back(t.cpuMs);
  }
  const double ms = Median(batch);
  std::printf("BENCH lookup.batch_queries_per_s %.0f queries/s\n",
              ms > 0 ? queries.size() * 1000.0 / ms : 0.0);
  std::printf("BENCH lookup.batch_ms %.1f ms\n", ms);
  std::printf("BENCH lookup.batch_cpu_ms %.1f ms\n", Median(batchCpu));
  fs::remove_all(work);
  return 0;
}
