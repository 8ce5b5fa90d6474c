// bench-scale: the program's parts at the size of every building of Korea,
// on a generated table (6,000,000 rows by default) kept in a cache folder.
//
//   bench-scale [--rows N] [--seed S] [--data FOLDER] [--only GROUP]
//
// Prints BENCH scale.<name> <value> <unit> lines. Each group of figures lives
// in a file of its own (IndexFigures.cpp, ...) and is listed in Groups();
// work measured in a fresh process runs as "bench-scale --child <mode> ...".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/scale/IndexFigures.h"
#include "bench/scale/LookupFigures.h"
#include "bench/scale/ScaleContext.h"
#include "bench/scale/ScaleTable.h"
#include "bench/scale/WindowFigures.h"

namespace scalebench {

void Bench(const std::string& name, double value, const char* unit) {
  std::printf("BENCH scale.%s %.4g %s\n", name.c_str(), value, unit);
  std::fflush(stdout);
}

}  // namespace scalebench

namespace {

std::vector<scalebench::FigureGroup> Groups() {
  return {scalebench::IndexFigures(), scalebench::LookupFigures(), scalebench::WindowFigures()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
    const std::vector<std::string> args(argv + 3, argv + argc);
    for (const auto& g : Groups()) {
      if (!g.child) continue;
      const int r = g.child(argv[2], args);
      if (r >= 0) return r;
    }
    std::fprintf(stderr, "bench-scale: unknown child mode %s\n", argv[2]);
    return 2;
  }
  size_t rows = 6000000;
  unsigned seed = 1;
  std::string data = std::string(PF_BIN_DIR) + "/../bench-scale-data", only;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--rows"))
      rows = std::strtoul(argv[i + 1], nullptr, 10);
    else if (!std::strcmp(argv[i], "--seed"))
      seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    else if (!std::strcmp(argv[i], "--data"))
      data = argv[i + 1];
    else if (!std::strcmp(argv[i], "--only"))
      only = argv[i + 1];
  }
  scalebench::ScaleContext context;
  std::string why;
  if (rows == 0 || !scalebench::PrepareScaleTable(data, rows, seed, context, &why)) {
    std::fprintf(stderr, "bench-scale: %s\n", why.empty() ? "no rows" : why.c_str());
    return 1;
  }
  scalebench::Bench("rows", static_cast<double>(rows), "rows");
  for (const auto& g : Groups())
    if (only.empty() || only == g.name) g.run(context);
  return 0;
}
