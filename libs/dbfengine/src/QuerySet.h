// The query set of a work area: one bit per record. Searches for the next or
// previous member scan whole 64-bit words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dbe {

class QuerySet {
 public:
  enum class Kind { None, Marks, Expression };

  // No set: every record visible.
  void clear();
  // An empty set of `kind` for records 1..recordCount.
  void reset(int32_t recordCount, Kind kind);
  Kind kind() const { return kind_; }
  // A set from an expression is in force even when empty; one built from
  // marks from its first mark on, also when every mark has been removed
  // again (it then shows no record), until the next reset or clear.
  bool inForce() const { return kind_ == Kind::Expression || (kind_ == Kind::Marks && marked_); }

  void set(int32_t recno, bool value);
  bool test(int32_t recno) const {
    return (words_[static_cast<uint32_t>(recno) >> 6] >> (recno & 63)) & 1;
  }
  int32_t count() const { return count_; }
  // Changes with every change of the set, so that derived lists can tell
  // when they are out of date.
  uint64_t version() const { return version_; }
  // First member >= from / last member <= from; 0 when none.
  int32_t next(int32_t from) const;
  int32_t prev(int32_t from) const;

  std::string expression;  // text of the query that built the set

 private:
  Kind kind_ = Kind::None;
  int32_t records_ = 0;
  int32_t count_ = 0;
  bool marked_ = false;  // a mark was set since the last reset
  uint64_t version_ = 0;
  std::vector<uint64_t> words_;
};

}  // namespace dbe
