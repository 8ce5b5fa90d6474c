#pragma once
// The postal table and its full-text index for a program without a window:
// both run-time libraries loaded from the program's folder, the table opened
// under the folder rule of the finder, the index opened when it answers for
// the table and built otherwise, and the search of a UTF-8 query.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RunFolders.h"
#include "postal/AddressMatcher.h"
#include "postal/EngineTable.h"
#include "postal/FieldCrossings.h"
#include "postal/LibraryIndex.h"
#include "postal/SearchText.h"

namespace postal {

// One matching record: its fields as stored (CP949), trailing blanks removed.
struct PostalRow {
  int32_t recno = 0;
  MatchKind kind = MatchKind::kAsWritten;
  std::string_view zipcode;
  std::string_view ddd;
  std::string_view address;
};

class PostalSearch {
 public:
  explicit PostalSearch(const platform::RunFolders& folders);
  // A table and index named outright (an import's new table), with the
  // libraries of the program in programFolder.
  PostalSearch(const std::string& programFolder, std::string tablePath, std::string indexPath);
  ~PostalSearch();
  PostalSearch(const PostalSearch&) = delete;
  PostalSearch& operator=(const PostalSearch&) = delete;

  const std::string& TablePath() const { return tablePath_; }
  const std::string& IndexPath() const { return indexPath_; }

  // Loads both libraries and opens the table read-only. False with the
  // reason in *error (also when it lacks ZIPCODE, DDD or ETC).
  bool OpenTable(std::string* error);
  int32_t RecordCount();
  // The record count the header states: more than RecordCount when the file
  // was cut inside its records.
  int32_t StatedRecordCount();
  // The date of the table's last update, "YYYY-MM-DD"; empty when unknown
  // (or no table is open).
  std::string TableDate() const;

  // Opens the index; when it is missing or does not answer for this table,
  // builds it first (note is told when a build starts, and of records the
  // build refused). False with the reason in *error when no usable index
  // could be had.
  bool OpenIndex(const std::function<void(const std::string&)>& note, std::string* error);
  // True when the index had to be built.
  bool Built() const { return built_; }

  // The records that match a search text, best first (every number as
  // written, then in a range, then the place's own row) and in record order
  // within each, at most limit (0: all); onRow gets each. Answers how many
  // rows it got.
  long Search(const SearchText& text, long limit,
              const std::function<void(const PostalRow&)>& onRow);
  // True once a search found the index unreadable (it then read every
  // record instead): the index is to be built again.
  bool IndexFailed() const { return indexFailed_; }

 private:
  platform::RunFolders folders_;
  std::string tablePath_;
  std::string indexPath_;
  std::unique_ptr<EngineTable> table_;
  std::unique_ptr<LibraryIndex> index_;
  bool built_ = false;
  bool indexFailed_ = false;
  FieldCrossings crossings_ = FieldCrossings::Unknown();
  std::vector<char> record_;  // the raw record and its terminating zero byte
  FieldPlace zipcode_, ddd_, address_;
};

// The library's FTS_ERR_* code as words.
std::string IndexErrorText(int32_t code);

}  // namespace postal
