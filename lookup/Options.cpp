#include "lookup/Options.h"

#include <charconv>
#include <string_view>

namespace lookup {
namespace {

bool ParseLimit(std::string_view text, long* limit) {
  long value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < 1) return false;
  *limit = value;
  return true;
}

}  // namespace

bool ParseArguments(int argc, const char* const* argv, LookupOptions* options, std::string* error) {
  LookupOptions o;
  bool optionsEnd = false;
  bool anyWord = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        optionsEnd = true;
      } else if (arg == "--tsv") {
        o.format = OutputFormat::kTsv;
      } else if (arg == "--csv") {
        o.format = OutputFormat::kCsv;
      } else if (arg == "--json") {
        o.format = OutputFormat::kJson;
      } else if (arg == "--help" || arg == "-h") {
        o.help = true;
      } else if (arg == "--version") {
        o.version = true;
      } else if (arg == "--limit" || arg.starts_with("--limit=")) {
        std::string_view value;
        if (arg == "--limit") {
          if (i + 1 >= argc) {
            *error = "--limit needs a number";
            return false;
          }
          value = argv[++i];
        } else {
          value = arg.substr(8);
        }
        if (!ParseLimit(value, &o.limit)) {
          *error = "--limit takes a whole number of at least 1, not '" + std::string(value) + "'";
          return false;
        }
      } else {
        *error = "unknown option '" + std::string(arg) + "'";
        return false;
      }
      continue;
    }
    if (!optionsEnd && arg == "-") {
      o.batch = true;
      continue;
    }
    if (anyWord) o.words += ' ';
    o.words += arg;
    anyWord = true;
  }
  if (!o.help && !o.version) {
    if (o.batch && anyWord) {
      *error = "give either search words or '-' for queries on standard input, not both";
      return false;
    }
    if (!o.batch && !anyWord) {
      *error = "no search words given";
      return false;
    }
  }
  *options = o;
  return true;
}

std::string UsageText() {
  return R"(Usage: postcode-lookup [--tsv|--csv|--json] [--limit N] WORDS...
       postcode-lookup [--tsv|--csv|--json] [--limit N] -

Finds Korean postal codes by any part of an address, as the postal-code
finder's window does: every word must occur in the address, in any order; a
number finds the row whose range holds it ("테헤란로 130" finds 테헤란로
102∼152 (짝수)), a province may be written in any of its forms (서울,
서울시, 서울특별시), and an address whose number no row holds finds the
place's own row. Prints the matching rows (postal code, dialling code,
address) as UTF-8, best first: rows where every number occurs as written,
then rows whose range holds it, then the place's own row; table order
within each.

With '-', reads one query a line from standard input (UTF-8) and starts each
row with the query's line number. Every line gets at least one row: a line
that matched nothing (or could not be searched) gets its line number and
empty fields (in CSV a status column, in JSON a "status" key, saying "not
found"), so that the answers keep the lines of an address list.

Options:
  --tsv        tab-separated rows (the default)
  --csv        comma-separated rows, quoted where needed, after a line of
               column names
  --json       one JSON array of objects
  --limit N    at most N rows for each query (--limit 1: the best row)
  --help       this text
  --version    the version, and the date and size of the table in use
  --           the arguments that follow are search words

Exit status: 0 when every query matched, 1 when one or more matched
nothing, 2 on an error (a query that could not be searched included).

Files: the table POSTCODE.DBF and its index POSTCODE.FTS, the same as the
finder's. An installed program reads a table imported into
~/.local/share/postcode-finder/ before the shipped one and keeps the index in
~/.cache/postcode-finder/; the index is built there when missing or out of
date.
)";
}

}  // namespace lookup
