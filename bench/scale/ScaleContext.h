#pragma once
// What every group of bench-scale's figures shares: the generated table, its
// folder and queries, and the one way figures are printed.
#include <cstddef>
#include <string>
#include <vector>

namespace scalebench {

struct ScaleContext {
  size_t rows = 0;
  unsigned seed = 0;
  std::string folder;     // holds POSTCODE.DBF and queries.txt
  std::string tablePath;  // folder/POSTCODE.DBF
  // CP949 search texts: one that few rows match, and a mix of what people
  // type (villages, roads, buildings, numbers, initial consonants).
  std::string selectiveQuery;
  std::vector<std::string> mixedQueries;
};

// Prints "BENCH scale.<name> <value> <unit>".
void Bench(const std::string& name, double value, const char* unit);

// One group of figures: run in the parent over the context; its child modes
// (work that must be measured in a fresh process) answer through Child,
// which returns -1 for a mode that is not its own.
struct FigureGroup {
  const char* name;
  void (*run)(const ScaleContext& context);
  int (*child)(const std::string& mode, const std::vector<std::string>& args);
};

}  // namespace scalebench
