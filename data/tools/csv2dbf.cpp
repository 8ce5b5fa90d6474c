// csv2dbf <source.csv> <POSTCODE.DBF>
//
// Turns Korea Post's postal-code list into the program's postal table. A
// malformed line is reported with its line number and no table is written.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "PostcodeDbf.h"
#include "SourceCsv.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  if (!platform::EnsureStandardStreams()) return 1;
  if (argc != 3) {
    std::fprintf(stderr, "usage: csv2dbf <source.csv> <output.dbf>\n");
    return 2;
  }
  const std::string source = argv[1], target = argv[2];
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "csv2dbf: %s: cannot be read\n", source.c_str());
    return 1;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    std::fprintf(stderr, "csv2dbf: %s: read error\n", source.c_str());
    return 1;
  }
  const std::string bytes = content.str();

  postal::ConvertError error;
  auto rows = postal::ParseSourceCsv(bytes, &error);
  std::optional<std::string> table;
  if (rows) table = postal::BuildPostcodeDbf(*rows, &error);
  if (!table) {
    std::fprintf(stderr, "csv2dbf: %s:%d: %s; no table written\n", source.c_str(), error.line,
                 error.reason.c_str());
    return 1;
  }
  std::string why;
  if (!platform::WriteFileAtomically(target, *table, &why)) {
    std::fprintf(stderr, "csv2dbf: %s\n", why.c_str());
    return 1;
  }
  std::printf("csv2dbf: %s: %zu records\n", target.c_str(), rows->size());
  return 0;
}
