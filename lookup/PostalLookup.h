#pragma once
// The finder's search without its window: the postal table and its full-text
// index, opened under the folder rule of the finder, and the search that
// confirms every candidate of the index against its record.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/RuntimeLibraries.h"
#include "platform/RunFolders.h"

namespace lookup {

inline constexpr char kIndexFileName[] = "POSTCODE.FTS";

// One matching record: its fields as stored (CP949), trailing blanks removed.
struct PostalRow {
  int32_t recno = 0;
  std::string_view zipcode;
  std::string_view ddd;
  std::string_view address;
};

// The date in a table's header (its last update): "YYYY-MM-DD", or empty
// when the file cannot be read or the date is not a valid one.
std::string TableDate(const std::string& tablePath);

class PostalLookup {
 public:
  explicit PostalLookup(const platform::RunFolders& folders);
  ~PostalLookup();
  PostalLookup(const PostalLookup&) = delete;
  PostalLookup& operator=(const PostalLookup&) = delete;

  const std::string& TablePath() const { return tablePath_; }
  const std::string& IndexPath() const { return indexPath_; }

  // Loads both libraries from the program folder and opens the table
  // read-only. False with a message in *error.
  bool OpenTable(std::string* error);
  int32_t RecordCount() const { return recordCount_; }

  // Opens the index; when it is missing or does not answer for this table,
  // builds it first (note is told when a build starts, and of records the
  // build refused). False with a
  // message in *error when no usable index could be had.
  bool OpenIndex(const std::function<void(const std::string&)>& note, std::string* error);
  // True when the build was needed.
  bool Built() const { return built_; }

  // The records that match a CP949 search text, in record order: the index's
  // candidates, each confirmed against its raw record with the library's
  // "every word, any order" check. At most limit rows (0: all). Returns how
  // many rows were given to onRow.
  long Search(const char* text, long limit, const std::function<void(const PostalRow&)>& onRow);

 private:
  struct Field {
    int offset = 0;
    int width = 0;
  };
  bool FindField(const char* name, Field* field, std::string* error);
  bool IndexAnswersForTable();
  bool BuildIndex(const std::function<void(const std::string&)>& note, std::string* error);
  std::string_view FieldText(const Field& field) const;

  platform::RunFolders folders_;
  std::string tablePath_;
  std::string indexPath_;
  EngineCalls dbe_;
  FtsCalls fts_;
  int16_t area_ = 0;
  int32_t index_ = 0;
  int32_t recordCount_ = 0;
  std::string tableTag_;  // search/TableTag.h, read when the index is opened
  bool built_ = false;
  std::vector<char> record_;  // the raw record and its terminating zero byte
  Field zipcode_, ddd_, address_;
};

}  // namespace lookup
