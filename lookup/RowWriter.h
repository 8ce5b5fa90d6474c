#pragma once
// The rows of postcode-lookup on standard output: tab-separated (the
// default), comma-separated, or one JSON array.
#include <cstdio>
#include <string>
#include <string_view>

#include "lookup/Options.h"

namespace lookup {

class RowWriter {
 public:
  // withLine: every row starts with the number of the query's input line (a
  // list of queries, where a query without rows still gets a row saying so).
  // CSV starts with a line of column names.
  RowWriter(OutputFormat format, bool withLine, std::FILE* out);
  ~RowWriter();
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // One row; the three texts are UTF-8.
  void Row(long line, std::string_view zipcode, std::string_view ddd, std::string_view address);
  // The row of a query of the list that found nothing: the line number and
  // empty fields (TSV), "not found" in the status column (CSV) or key (JSON).
  void NotFound(long line);
  // Ends the output (the JSON array's closing bracket) and flushes it. False
  // when the output could not be written.
  bool Finish();

 private:
  void Field(std::string_view text);
  void JsonRow(long line, const std::string_view* values, bool found);
  void Flush();

  OutputFormat format_;
  bool withLine_;
  std::FILE* out_;
  std::string buffer_;
  bool anyRow_ = false;
  bool firstField_ = true;
  bool failed_ = false;
  bool finished_ = false;
};

}  // namespace lookup
