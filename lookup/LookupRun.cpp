#include "lookup/LookupRun.h"

#include <cstdio>
#include <string>

#include "lookup/InputLines.h"
#include "lookup/RowWriter.h"
#include "platform/Cp949Codec.h"
#include "postal/PostalSearch.h"

namespace lookup {
namespace {

void Say(std::FILE* err, const std::string& message) {
  std::fprintf(err, "postcode-lookup: %s\n", message.c_str());
}

std::string Utf8(std::string_view cp949) {
  return platform::Utf8FromCp949(cp949);
}

class QueryRunner {
 public:
  QueryRunner(postal::PostalSearch& postal, RowWriter& writer, long limit)
      : postal_(postal), writer_(writer), limit_(limit) {}

  // The rows of one query; false with the reason in *why when it cannot be
  // searched.
  bool Run(std::string_view query, long line, long* rows, std::string* why) {
    *rows = 0;
    postal::SearchText search;
    switch (postal::MakeSearchText(query, &search)) {
      case postal::TextStatus::kNotUtf8:
        *why = "not UTF-8 text";
        return false;
      case postal::TextStatus::kTooLong:
        *why = "longer than 255 bytes in CP949; a shorter search text is needed";
        return false;
      case postal::TextStatus::kBlank:
      case postal::TextStatus::kNotCp949:  // in no record, as in the window
        return true;
      case postal::TextStatus::kReady:
        break;
    }
    *rows = postal_.Search(search, limit_, [&](const postal::PostalRow& row) {
      writer_.Row(line, Utf8(row.zipcode), Utf8(row.ddd), Utf8(row.address));
    });
    return true;
  }

 private:
  postal::PostalSearch& postal_;
  RowWriter& writer_;
  long limit_;
};

// A table whose file was cut inside its records is searched in what is left.
void WarnIfCut(postal::PostalSearch& postal, std::FILE* err) {
  const int32_t present = postal.RecordCount(), stated = postal.StatedRecordCount();
  if (stated > present)
    Say(err, "the table " + postal.TablePath() + " is cut short: " + std::to_string(present) +
                 " of the " + std::to_string(stated) + " records its header states are there");
}

int PrintVersion(postal::PostalSearch& postal, std::FILE* out, std::FILE* err) {
  std::fprintf(out, "postcode-lookup %s\n", PF_VERSION);
  std::string error;
  if (!postal.OpenTable(&error)) {
    Say(err, error);
    return kExitError;
  }
  const std::string date = postal.TableDate();
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
  postal::PostalSearch postal(folders);
  if (options.version) return PrintVersion(postal, out, err);

  if (!platform::Cp949Available()) {
    Say(err, "the C library cannot convert between UTF-8 and CP949");
    return kExitError;
  }
  std::string error;
  if (!postal.OpenTable(&error)) {
    Say(err, error);
    return kExitError;
  }
  WarnIfCut(postal, err);
  if (!postal.OpenIndex([err](const std::string& note) { Say(err, note); }, &error)) {
    Say(err, error);
    return kExitError;
  }

  RowWriter writer(options.format, options.batch, out);
  QueryRunner runner(postal, writer, options.limit);
  bool missed = false;  // a query found nothing
  bool failed = false;
  long rows = 0;
  if (!options.batch) {
    std::string why;
    if (!runner.Run(options.words, 0, &rows, &why)) {
      Say(err, "the search words: " + why);
      failed = true;
    }
    missed = rows == 0;
  } else {
    InputLines lines(in, kMaxLineBytes);
    for (InputLine line; lines.Next(&line);) {
      const std::string where = "line " + std::to_string(line.number) + ": ";
      std::string why;
      if (line.tooLong) {
        why = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
      } else if (line.hasZeroByte) {
        why = "holds a zero byte";
      } else if (!runner.Run(line.text, line.number, &rows, &why)) {
      } else if (rows == 0) {
        missed = true;
      }
      if (!why.empty()) {
        Say(err, where + why + ", not searched");
        failed = true;
        rows = 0;
      }
      // Every line of the list has its row, so that the answers keep its lines.
      if (rows == 0) writer.NotFound(line.number);
    }
    if (lines.Failed()) {
      Say(err, "the input could not be read");
      failed = true;
    }
  }
  if (postal.IndexFailed()) {
    // The rows are right (every record was read), the index is not: the
    // next run builds it again.
    Say(err, "the index " + postal.IndexPath() +
                 " could not be read; every record was searched instead. It is built again");
    std::remove(postal.IndexPath().c_str());
  }
  if (!writer.Finish()) {
    Say(err, "the rows could not be written");
    return kExitError;
  }
  if (failed) return kExitError;
  return missed ? kExitNoMatch : kExitMatched;
}

}  // namespace lookup
