#pragma once
// The core's record source over the window's table component: the table
// goes to a record (Recno) and reads it raw (ReadRecord), and the build
// walks it in its current order (GoTop, AtEnd, Skip), as its dataset does.
#include "postal/RecordSource.h"
#include "table/DbfTable.h"

namespace search {

class TTableRecords final : public postal::RecordSource {
 public:
  explicit TTableRecords(TDbfTable& table) : table_(table) {}

  int32_t RecordCount() override { return table_.RecCount(); }
  int32_t RecordSize() override { return table_.RecordSize(); }
  std::vector<postal::FieldPlace> Fields() override;
  void GoTop() override { table_.GoTop(); }
  bool AtEnd() override { return table_.AtEnd(); }
  void Skip() override { table_.Skip(1); }
  void Go(int32_t recno) override { table_.SetRecno(recno); }
  void Read(char* buffer) override { table_.ReadRecord(buffer); }

 private:
  TDbfTable& table_;
};

}  // namespace search
