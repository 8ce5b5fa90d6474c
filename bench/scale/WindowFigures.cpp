#include "bench/scale/WindowFigures.h"

#include <cstdio>
#include <filesystem>

#include "bench/scale/ChildProcess.h"
#include "platform/Cp949Codec.h"

namespace scalebench {
namespace {

constexpr size_t kSearches = 10;

// Search words from the rows, one- and two-syllable words among them: the
// queries of the table's mixed list that are road names, roads with their
// numbers, building names and the first two syllables of a road.
std::vector<std::string> TypedTexts(const ScaleContext& c) {
  std::vector<std::string> texts = {"서", "서울", "강남"};
  for (size_t round = 0; round < 3; ++round)
    for (size_t kind : {1, 2, 3, 5}) {
      const size_t i = round * 8 + kind;
      if (i < c.mixedQueries.size()) texts.push_back(platform::Utf8FromCp949(c.mixedQueries[i]));
    }
  return texts;
}

void Run(const ScaleContext& c) {
  const std::string window = SiblingProgram("bench-scale-window");
  const std::string index = c.folder + "/POSTCODE.FTS";
  if (!std::filesystem::exists(index)) {
    std::fprintf(stderr, "bench-scale: building %s in the window\n", index.c_str());
    RunProgram({window, {"--build-index", c.folder}, {}, {}});
    if (!std::filesystem::exists(index)) {
      std::fprintf(stderr, "bench-scale: the window built no index\n");
      return;
    }
  }
  std::vector<std::string> args = {c.folder};
  for (size_t i = 0; i < kSearches && i < c.mixedQueries.size(); ++i)
    args.push_back(platform::Utf8FromCp949(c.mixedQueries[i]));
  args.push_back("--");
  for (const std::string& t : TypedTexts(c)) args.push_back(t);
  const ChildRun run = RunProgram({window, args, {}, {}});
  if (!run.ok) {
    std::fprintf(stderr, "bench-scale: the window failed (%d)\n%s", run.exitStatus,
                 run.output.c_str());
    return;
  }
  Bench("window.start_ms", run.figures.at("start_ms"), "ms");
  Bench("window.private_mb", run.figures.at("private_mb"), "MB");
  Bench("window.after_typing_private_mb", run.figures.at("after_typing_private_mb"), "MB");
  Bench("window.peak_rss_mb", run.peakRssMb, "MB");
  Bench("keystrokes", run.figures.at("keystrokes"), "keys");
  Bench("keystroke_median_ms", run.figures.at("keystroke_median_ms"), "ms");
  Bench("keystroke_p95_ms", run.figures.at("keystroke_p95_ms"), "ms");
  Bench("keystroke_max_ms", run.figures.at("keystroke_max_ms"), "ms");
}

}  // namespace

FigureGroup WindowFigures() {
  return FigureGroup{"window", Run, nullptr};
}

}  // namespace scalebench
