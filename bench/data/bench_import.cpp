// bench-import: postcode-import as a user runs it, from the start of the
// process to the table renamed into place (its flush to disk included):
//   import.*          the synthetic pair of range files (about 600,000 rows,
//                     one UTF-8 and one CP949 file),
//   import.building_* a synthetic national set of Korea Post's building-level
//                     files (six million rows in 17 CP949 province files,
//                     made from the real 세종 rows; skipped without them),
//   import.zip_*      the same set in one zip made by the zip command.
// These runs pass --no-index: they time reading the rows and writing the
// table, which is what the import of every run shares (bench-scale times
// the index build on its own). import.building_with_index_seconds is one
// run of the building-level set as a user runs it, its index built too.
// Each is the median of three runs; peak_rss is the largest resident size
// of the import's process (sampled every 20 ms), cpu_seconds its user and system time (what it
// takes of the machine, whatever else runs), and disk_flush_mb_per_s how
// fast the disk takes data written and flushed, which bounds an import that
// writes a table of that size. bench-import ROWS makes a smaller national
// set.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/BuildingFiles.h"
#include "bench/support/LargeRangeTable.h"

extern char** environ;

namespace {

void Bench(const char* name, double value, const char* unit) {
  std::printf("BENCH %s %.2f %s\n", name, value, unit);
  std::fflush(stdout);
}

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the import's process
  double peakMb = 0;
  bool ok = false;
};

// VmHWM of a running process, in MB.
double PeakMb(pid_t pid) {
  std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (!f) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1) break;
  std::fclose(f);
  return kb / 1024.0;
}

double Seconds(const struct timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// One run of postcode-import with these arguments, its output discarded.
Run Import(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {std::string(PF_BIN_DIR) + "/postcode-import"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) != 0) return run;
  posix_spawn_file_actions_destroy(&actions);
  // The peak of the running program's own memory: ru_maxrss would count the
  // memory of this process, which the child shares until it runs the import.
  int status = 0;
  struct rusage usage {};
  for (;;) {
    const pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (done < 0) return run;
    run.peakMb = std::max(run.peakMb, PeakMb(pid));
    ::usleep(20000);
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// The median of three runs (and the largest peak); false when one fails.
bool Measure(const std::vector<std::string>& args, Run* median) {
  std::vector<Run> runs;
  for (int i = 0; i < 3; ++i) {
    ::sync();  // what an earlier run left dirty is not this run's to flush
    runs.push_back(Import(args));
    if (!runs.back().ok) return false;
  }
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  *median = runs[1];
  for (const Run& r : runs) median->peakMb = std::max(median->peakMb, r.peakMb);
  return true;
}

// How fast this disk takes 1 GiB written and flushed: the table's own
// flush cannot be faster.
double DiskFlushRate(const std::string& folder) {
  const std::string path = folder + "/flush-probe";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  const std::vector<char> block(size_t{1} << 20, 'x');
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (int i = 0; i < 1024 && ok; ++i)
    ok = ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
  ok = ok && ::fsync(fd) == 0;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  ::unlink(path.c_str());
  return ok ? 1024 * 1.048576 / seconds : 0;
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

}  // namespace

int main(int argc, char** argv) {
  // A smaller national set for a quick look: bench-import ROWS.
  const size_t buildingRows =
      argc > 1 ? std::strtoul(argv[1], nullptr, 10) : benchsupport::kNationalBuildingRows;
  char tmpl[] = "/tmp/bench-import-XXXXXX";
  if (!::mkdtemp(tmpl)) return 1;
  const std::string folder = tmpl;
  auto fail = [&](const char* what) {
    std::fprintf(stderr, "bench-import: %s\n", what);
    std::filesystem::remove_all(folder);
    return 1;
  };

  const auto files = benchsupport::WriteLargeRangeFiles(folder);
  if (files.roadPath.empty()) return fail("the range files cannot be made");
  const size_t rows = files.roadRows + files.lotRows;
  const std::string table = folder + "/POSTCODE.DBF";
  Run run;
  if (!Measure({"-o", table, "--no-index", files.roadPath, files.lotPath}, &run))
    return fail("postcode-import failed on the range files");
  Bench("import.rows", static_cast<double>(rows), "rows");
  Bench("import.seconds", run.seconds, "s");
  Bench("import.rows_per_s", rows / run.seconds, "rows/s");
  Bench("import.table_mb", std::filesystem::file_size(table) / 1e6, "MB");
  std::filesystem::remove(table);

  const std::string national = folder + "/national";
  std::filesystem::create_directory(national);
  const benchsupport::BuildingFileSet set =
      benchsupport::WriteBuildingFiles(national, buildingRows);
  if (set.paths.empty()) {
    std::fprintf(stderr, "bench-import: no building-level files (%s); those figures skipped\n",
                 set.why.c_str());
    std::filesystem::remove_all(folder);
    return 0;
  }
  std::vector<std::string> args = {"-o", table, "--no-index"};
  args.insert(args.end(), set.paths.begin(), set.paths.end());
  if (!Measure(args, &run)) return fail("postcode-import failed on the building-level files");
  Bench("import.building_rows", static_cast<double>(set.rows), "rows");
  Bench("import.building_input_mb", set.bytes / 1e6, "MB");
  Bench("import.building_seconds", run.seconds, "s");
  Bench("import.building_rows_per_s", set.rows / run.seconds, "rows/s");
  Bench("import.building_table_mb", std::filesystem::file_size(table) / 1e6, "MB");
  Bench("import.building_peak_rss_mb", run.peakMb, "MB");
  Bench("import.building_cpu_seconds", run.cpuSeconds, "s");
  Bench("import.building_rows_per_cpu_s", set.rows / run.cpuSeconds, "rows/s");
  std::filesystem::remove(table);
  args.erase(args.begin() + 2);  // --no-index
  ::sync();
  const Run withIndex = Import(args);
  if (!withIndex.ok) return fail("postcode-import failed to build the building-level index");
  Bench("import.building_with_index_seconds", withIndex.seconds, "s");
  Bench("import.building_with_index_peak_rss_mb", withIndex.peakMb, "MB");
  std::filesystem::remove(table);
  std::filesystem::remove(folder + "/POSTCODE.FTS");

  const std::string zip = folder + "/zipcode_DB.zip";
  std::string members;
  for (const std::string& p : set.paths)
    members += " " + Quoted(std::filesystem::path(p).filename());
  const std::string command = "cd " + Quoted(national) + " && zip -q -X " + Quoted(zip) + members;
  if (std::system(command.c_str()) != 0) return fail("the zip command failed");
  for (const std::string& p : set.paths) std::filesystem::remove(p);  // the zip alone is read
  if (!Measure({"-o", table, "--no-index", zip}, &run))
    return fail("postcode-import failed on the zip");
  Bench("import.zip_mb", std::filesystem::file_size(zip) / 1e6, "MB");
  Bench("import.zip_seconds", run.seconds, "s");
  Bench("import.zip_rows_per_s", set.rows / run.seconds, "rows/s");
  Bench("import.zip_peak_rss_mb", run.peakMb, "MB");
  Bench("import.zip_cpu_seconds", run.cpuSeconds, "s");
  Bench("import.zip_rows_per_cpu_s", set.rows / run.cpuSeconds, "rows/s");
  Bench("import.disk_flush_mb_per_s", DiskFlushRate(folder), "MB/s");
  std::filesystem::remove_all(folder);
  return 0;
}
