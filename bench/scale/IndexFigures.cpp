#include "bench/scale/IndexFigures.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/scale/ChildProcess.h"
#include "libs/dbfengine/dbfengine.h"
#include "libs/ftsindex/ftsindex.h"

namespace scalebench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOpenRuns = 5;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : -1;
}

double OwnPeakRssMb() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string IndexPath(const ScaleContext& c) {
  return c.folder + "/bench-scale.FTS";
}

// Child: the table through the engine, every record into a new index.
int BuildIndex(const std::string& tablePath, const std::string& indexPath) {
  const auto start = Clock::now();
  if (dbe_UseEx(tablePath.c_str(), "SCALE", 1, 3, 1) <= 0) {
    std::fprintf(stderr, "cannot open %s: %s\n", tablePath.c_str(), dbe_ErrorText());
    return 1;
  }
  ReportFigure("table_open_rss_mb", OwnPeakRssMb());
  std::vector<char> record(static_cast<size_t>(dbe_RecSize()) + 1, '\0');
  const int32_t h = FtsCreate(indexPath.c_str(), 20, 2, 1, 1);
  if (h <= 0) {
    std::fprintf(stderr, "FtsCreate %s: %d\n", indexPath.c_str(), h);
    return 1;
  }
  int32_t refused = 0;
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    dbe_GetRecord(record.data());
    if (FtsAdd(h, record.data()) < 0) ++refused;
  }
  const int32_t closed = FtsClose(h);
  dbe_Close();
  if (closed != 0 || refused != 0) {
    std::fprintf(stderr, "FtsClose %d, %d records refused\n", closed, refused);
    return 1;
  }
  ReportFigure("build_s", Seconds(start));
  return 0;
}

// Child: what a program that searches once does with the index alone.
int OpenAndQuery(const std::string& indexPath, const std::string& query) {
  const auto start = Clock::now();
  const int32_t h = FtsOpen(indexPath.c_str(), 20, 1);
  if (h <= 0) {
    std::fprintf(stderr, "FtsOpen %s: %d\n", indexPath.c_str(), h);
    return 1;
  }
  ReportFigure("open_ms", Seconds(start) * 1000);
  const int32_t set = FtsSet(h, query.c_str());
  int64_t walked = 0;
  if (set > 0)
    while (FtsNextRec(h) > 0) ++walked;
  ReportFigure("open_query_ms", Seconds(start) * 1000);
  ReportFigure("candidates", static_cast<double>(walked));
  FtsClose(h);
  return set >= 0 ? 0 : 1;
}

void Run(const ScaleContext& c) {
  const std::string index = IndexPath(c);
  const ChildRun build = RunChild("index-build", {c.tablePath, index});
  if (!build.ok) {
    std::fprintf(stderr, "bench-scale: the index build failed\n%s", build.output.c_str());
    return;
  }
  Bench("index_build_s", build.figures.at("build_s"), "s");
  // On a shared machine the wall time includes the others' share of it.
  Bench("index_build_cpu_s", build.cpuSeconds, "s");
  Bench("index_build_peak_mb", build.peakRssMb, "MB");
  Bench("index_build_table_open_rss_mb", build.figures.at("table_open_rss_mb"), "MB");
  const double indexBytes = FileBytes(index), tableBytes = FileBytes(c.tablePath);
  Bench("index_bytes", indexBytes, "bytes");
  Bench("table_bytes", tableBytes, "bytes");
  Bench("index_to_table_ratio", indexBytes / tableBytes, "x");

  // Several fresh processes, the files in the page cache: the median time,
  // the largest memory.
  std::vector<double> total, open, process;
  double peak = 0, candidates = 0;
  for (int i = 0; i < kOpenRuns; ++i) {
    const ChildRun run = RunChild("fts-open-query", {index, c.selectiveQuery});
    if (!run.ok) {
      std::fprintf(stderr, "bench-scale: open and search failed\n%s", run.output.c_str());
      return;
    }
    total.push_back(run.figures.at("open_query_ms"));
    open.push_back(run.figures.at("open_ms"));
    process.push_back(run.wallMs);
    peak = std::max(peak, run.peakRssMb);
    candidates = run.figures.at("candidates");
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  Bench("fts.open_ms", median(open), "ms");
  Bench("fts.open_query_ms", median(total), "ms");
  Bench("fts.open_query_process_ms", median(process), "ms");
  Bench("fts.open_query_rss_mb", peak, "MB");
  Bench("fts.open_query_candidates", candidates, "records");
}

int Child(const std::string& mode, const std::vector<std::string>& args) {
  if (mode == "index-build" && args.size() == 2) return BuildIndex(args[0], args[1]);
  if (mode == "fts-open-query" && args.size() == 2) return OpenAndQuery(args[0], args[1]);
  return -1;
}

}  // namespace

FigureGroup IndexFigures() {
  return FigureGroup{"index", Run, Child};
}

}  // namespace scalebench
