#pragma once
// The command line of postcode-lookup.
#include <string>

namespace lookup {

enum class OutputFormat { kTsv, kCsv, kJson };

struct LookupOptions {
  OutputFormat format = OutputFormat::kTsv;
  long limit = 0;      // rows per query at most; 0: all
  bool batch = false;  // "-": one query a line on standard input
  std::string words;   // the words of the one query, joined by single spaces
  bool help = false;
  bool version = false;
};

// Reads argv into options. False with a message in *error for an unknown
// option, a bad limit, no words, or words together with "-".
bool ParseArguments(int argc, const char* const* argv, LookupOptions* options, std::string* error);

// The text of --help.
std::string UsageText();

}  // namespace lookup
