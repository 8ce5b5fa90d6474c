// One open table with its alias, password, index orders, query set and
// position. Navigation visits only visible records: members of the query set
// in force, not deleted when the deleted setting is on, in the current order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Expr.h"
#include "MemoFile.h"
#include "MtxIndex.h"
#include "QuerySet.h"
#include "Settings.h"
#include "Table.h"

namespace dbe {

class WorkArea {
 public:
  WorkArea(std::unique_ptr<Table> table, std::string alias);

  Table& table() { return *table_; }
  // Forgets every record read so far, the descrambled one too: the next
  // read comes from the file.
  void dropReads() {
    clearRecno_ = 0;
    table_->dropReads();
  }
  const std::string& alias() const { return alias_; }
  int32_t recordCount() const { return count_; }

  // ---- records
  // Record r (1..count) in clear, read as the read-ahead setting says; blank
  // for anything else and for a record the file no longer holds (recording
  // DBE_E_READ). Valid until the next read.
  const uint8_t* record(int32_t r) { return read(r, settings().readCache); }
  // The same for scans over every record, which always read ahead.
  const uint8_t* scanRecord(int32_t r) { return read(r, true); }
  // Reads that failed so far.
  uint64_t readFailures() const { return readFailures_; }
  const uint8_t* current() { return eof_ ? blank_.data() : record(recno_); }
  EvalContext context() {
    return EvalContext{current(), eof_ ? count_ + 1 : recno_, table_->doubleByte()};
  }
  // False for a scrambled table without its password: records read as stored.
  bool inClear() const { return descramble_ || !table_->encrypted(); }
  // Password: answers false when the table is scrambled and it does not fit.
  bool setPassword(const std::string& password);

  // The memo file beside the table, nullptr when there is none.
  const MemoFile* memo() const { return memo_.get(); }
  void setMemo(std::unique_ptr<MemoFile> m) { memo_ = std::move(m); }

  // ---- position
  int32_t recno() const { return recno_; }
  bool eof() const { return eof_; }
  bool bof() const { return bof_; }
  void goTop();
  void goBottom();
  void skip(int32_t n);
  void go(int32_t recno);
  // Deletion flags are stored in clear, also in scrambled tables.
  bool deleted(int32_t r, bool ahead) {
    const uint8_t* p = stored(r, ahead);
    return p && p[0] == '*';
  }
  bool visible(int32_t r) {
    if (r < 1 || r > count_) return false;
    if (query_.inForce() && !query_.test(r)) return false;
    return !settings().deleted || !deleted(r, settings().readCache);
  }
  int32_t visibleCount();

  // ---- orders
  int orderCount() const { return static_cast<int>(orders_.size()); }
  int order() const { return order_; }
  Tag* tag(int order) {
    return order >= 1 && order <= orderCount() ? orders_[order - 1].tag : nullptr;
  }
  const std::string& indexPath(int order) const { return orders_[order - 1].file->path(); }
  bool setOrder(int order);
  // Answers the first order of the file, 0 on failure (code and message set).
  int openIndex(const std::string& path, int& code, std::string& message);
  void closeIndexes();
  double orderPosition();
  void setOrderPosition(double f);
  bool seek(const std::string& key);

  // ---- query set
  QuerySet& query() { return query_; }
  // Compiles and evaluates; false with code/message on a bad expression.
  bool runQuery(const std::string& expression, int& code, std::string& message);

  // ---- expressions, compiled once per distinct text in a row
  Expression* compile(const std::string& text, int& code, std::string& message);

 private:
  const uint8_t* read(int32_t r, bool ahead);
  // Record r as stored; nullptr (recording DBE_E_READ) when it cannot be read.
  const uint8_t* stored(int32_t r, bool ahead);
  // Entry of record r in the current order, or where its key would stand.
  int64_t entryOf(int32_t r, bool& held);
  void setEof(bool alsoBof);
  void standOnRecord(int32_t r);  // physical order
  void standOnEntry(int64_t p);   // current order
  int32_t nextVisible(int32_t r);
  int32_t prevVisible(int32_t r);
  int64_t nextVisibleEntry(int64_t p);
  int64_t prevVisibleEntry(int64_t p);
  void locateInOrder();
  // With a sparse query set in the current order: the sorted entries of its
  // members, so that skips jump between them; nullptr otherwise.
  const std::vector<int64_t>* sparseEntries();

  struct Order {
    MtxFile* file;
    Tag* tag;
  };

  std::unique_ptr<Table> table_;
  std::string alias_;
  int32_t count_;
  std::vector<uint8_t> blank_;
  std::vector<uint8_t> clear_;
  int32_t clearRecno_ = 0;
  uint64_t key_ = 0;
  bool descramble_ = false;

  std::unique_ptr<MemoFile> memo_;
  std::vector<std::unique_ptr<MtxFile>> files_;
  std::vector<Order> orders_;
  int order_ = 0;
  QuerySet query_;

  int32_t recno_ = 1;
  bool eof_ = false, bof_ = false;
  int64_t entry_ = 0;     // with an order: entry of recno_, or where it would be
  bool onEntry_ = false;  // recno_ is the record of entry_

  uint64_t readFailures_ = 0;
  std::vector<int64_t> sparse_;
  uint64_t sparseVersion_ = 0;
  int sparseOrder_ = -1;

  std::string cachedText_;
  std::unique_ptr<Expression> cached_;
  std::string keyBuf_;
};

}  // namespace dbe
