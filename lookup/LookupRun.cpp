#include "lookup/LookupRun.h"

#include <string>

#include "lookup/PostalLookup.h"
#include "lookup/QueryText.h"
#include "lookup/RowWriter.h"

namespace lookup {
namespace {

void Say(std::FILE* err, const std::string& message) {
  std::fprintf(err, "postcode-lookup: %s\n", message.c_str());
}

// Reads one line without its line end (LF or CRLF). False at the end of the
// input. A line longer than kMaxLineBytes is read to its end but kept short,
// with *tooLong set.
bool ReadLine(std::FILE* in, std::string* line, bool* tooLong) {
  line->clear();
  *tooLong = false;
  char chunk[4096];
  bool any = false;
  while (std::fgets(chunk, sizeof chunk, in)) {
    any = true;
    const std::string_view part(chunk, std::char_traits<char>::length(chunk));
    if (line->size() + part.size() <= kMaxLineBytes + 1)
      line->append(part);
    else
      *tooLong = true;
    if (!part.empty() && part.back() == '\n') break;
  }
  if (!any) return false;
  if (!line->empty() && line->back() == '\n') line->pop_back();
  if (!line->empty() && line->back() == '\r') line->pop_back();
  if (line->size() > kMaxLineBytes) *tooLong = true;
  return true;
}

class QueryRunner {
 public:
  QueryRunner(PostalLookup& postal, Cp949Text& text, RowWriter& writer, long limit)
      : postal_(postal), text_(text), writer_(writer), limit_(limit) {}

  // The rows of one query; false when the query is not UTF-8.
  bool Run(std::string_view query, long line, long* rows) {
    *rows = 0;
    SearchText search;
    switch (text_.MakeSearchText(query, &search)) {
      case QueryStatus::kNotUtf8:
        return false;
      case QueryStatus::kBlank:
      case QueryStatus::kNotInCp949:  // in no record, as in the window
        return true;
      case QueryStatus::kReady:
        break;
    }
    *rows = postal_.Search(search.data(), limit_, [&](const PostalRow& row) {
      writer_.Row(line, text_.ToUtf8(row.zipcode), text_.ToUtf8(row.ddd),
                  text_.ToUtf8(row.address));
    });
    return true;
  }

 private:
  PostalLookup& postal_;
  Cp949Text& text_;
  RowWriter& writer_;
  long limit_;
};

int PrintVersion(PostalLookup& postal, std::FILE* out, std::FILE* err) {
  std::fprintf(out, "postcode-lookup %s\n", PF_VERSION);
  std::string error;
  if (!postal.OpenTable(&error)) {
    Say(err, error);
    return kExitError;
  }
  const std::string date = TableDate(postal.TablePath());
  std::fprintf(out, "table %s, dated %s, %ld records\n", postal.TablePath().c_str(),
               date.empty() ? "unknown" : date.c_str(), static_cast<long>(postal.RecordCount()));
  return std::fflush(out) == 0 ? kExitMatched : kExitError;
}

}  // namespace

int RunLookup(const LookupOptions& options, const platform::RunFolders& folders, std::FILE* in,
              std::FILE* out, std::FILE* err) {
  if (options.help) {
    std::fputs(UsageText().c_str(), out);
    return std::fflush(out) == 0 ? kExitMatched : kExitError;
  }
  PostalLookup postal(folders);
  if (options.version) return PrintVersion(postal, out, err);

  Cp949Text text;
  if (!text.Available()) {
    Say(err, "the C library cannot convert between UTF-8 and CP949");
    return kExitError;
  }
  std::string error;
  if (!postal.OpenTable(&error) ||
      !postal.OpenIndex([err](const std::string& note) { Say(err, note); }, &error)) {
    Say(err, error);
    return kExitError;
  }

  RowWriter writer(options.format, options.batch, out);
  QueryRunner runner(postal, text, writer, options.limit);
  bool matched = false;
  bool failed = false;
  long rows = 0;
  if (!options.batch) {
    if (!runner.Run(options.words, 0, &rows)) {
      Say(err, "the search words are not UTF-8 text");
      failed = true;
    }
    matched = rows > 0;
  } else {
    std::string line;
    bool tooLong = false;
    for (long number = 1; ReadLine(in, &line, &tooLong); ++number) {
      if (tooLong) {
        Say(err, "line " + std::to_string(number) + ": longer than " +
                     std::to_string(kMaxLineBytes) + " bytes, skipped");
        failed = true;
        continue;
      }
      if (!runner.Run(line, number, &rows)) {
        Say(err, "line " + std::to_string(number) + ": not UTF-8 text, skipped");
        failed = true;
      }
      matched = matched || rows > 0;
    }
    if (std::ferror(in)) {
      Say(err, "the input could not be read");
      failed = true;
    }
  }
  if (!writer.Finish()) {
    Say(err, "the rows could not be written");
    return kExitError;
  }
  if (failed) return kExitError;
  return matched ? kExitMatched : kExitNoMatch;
}

}  // namespace lookup
