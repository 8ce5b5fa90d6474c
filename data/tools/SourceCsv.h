#pragma once
// The Korea Post source list: CP949 text, one header line
// "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ", then one row per line, six fields
// separated by commas, no quoting, CRLF (or LF) line ends.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertError.h"

namespace postal {

struct SourceRow {
  std::string zipcode;  // "ddd-ddd"
  std::string sido;     // short province name
  std::string gugun;    // may be empty (세종)
  std::string dong;     // never empty
  std::string bunji;    // may be empty
  int seq = 0;          // 1 .. row count, each once
  int line = 0;         // line of the source, 1 for the header
};

inline constexpr char kSourceHeader[] = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ";

// Parses and checks the whole file. Rows come back in SEQ order. The first
// fault found ends the parse with its line number and nothing is returned.
std::optional<std::vector<SourceRow>> ParseSourceCsv(std::string_view bytes, ConvertError* error);

}  // namespace postal
