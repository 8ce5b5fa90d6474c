// An in-memory record source for the dataset base: records 1..n of one
// integer field VALUE (= 10 * record number), an optional set of visible
// records, and a counter of fetches, so that the window logic can be checked
// without the DBF engine.
#pragma once
#include <cstring>
#include <set>
#include <vector>

#include "dataset/DataSet.h"

class FakeDataSet : public TDataSet {
 public:
  explicit FakeDataSet(int records) : count_(records) {
    FieldDefs().Add("VALUE", ftInteger, 0, false, 1);
  }
  ~FakeDataSet() override { Close(); }

  std::set<int> visible;  // empty: every record
  int fetches = 0;
  int position() const { return pos_; }
  int recnoOfRow(int row) { return CellText(row, FindField("VALUE")).toInt() / 10; }
  int activeRecno() { return IsEmpty() ? 0 : recnoOfRow(ActiveRow()); }
  // Moves the source to record n and refetches, as a table's record-number
  // write does.
  void GoRecord(int n) {
    std::memcpy(ActiveBuffer() + 5, &n, 4);
    RefetchWindow(rfNone);
  }

 protected:
  bool Visible(int n) const {
    return n >= 1 && n <= count_ && (visible.empty() || visible.count(n));
  }
  int NextVisible(int from, int step) const {
    for (int n = from; n >= 1 && n <= count_; n += step)
      if (Visible(n)) return n;
    return 0;
  }
  TGetResult GetRecord(char* buffer, TGetMode mode, bool) override {
    ++fetches;
    int n = 0;
    switch (mode) {
      case FetchCurrent:
        n = Visible(pos_) ? pos_ : 0;
        break;
      case FetchNext:
        n = NextVisible(top_ ? 1 : pos_ + 1, 1);
        break;
      case FetchPrior:
        n = NextVisible(bottom_ ? count_ : pos_ - 1, -1);
        break;
    }
    top_ = bottom_ = false;
    if (n == 0) return mode == FetchPrior ? FetchBof : FetchEof;
    pos_ = n;
    InitRecord(buffer);
    buffer[0] = 1;
    const int32_t value = 10 * n;
    std::memcpy(buffer + 1, &value, 4);
    std::memcpy(buffer + 5, &n, 4);
    return FetchOk;
  }
  void PlaceBeforeFirst() override { top_ = true; }
  void PlaceAfterLast() override { bottom_ = true; }
  void PlaceOnRowRecord(char* buffer) override { std::memcpy(&pos_, buffer + 5, 4); }
  char* AllocRecordBuffer() override { return new char[10](); }
  void FreeRecordBuffer(char*& b) override {
    delete[] b;
    b = nullptr;
  }
  void InitRecord(char* b) override { std::memset(b, 0, 10); }
  void GetBookmarkData(const char* b, void* d) override { std::memcpy(d, b + 5, 4); }
  void SetBookmarkData(char* b, const void* d) override { std::memcpy(b + 5, d, 4); }
  TBookmarkFlag GetBookmarkFlag(const char* b) override { return TBookmarkFlag(b[9]); }
  void SetBookmarkFlag(char* b, TBookmarkFlag f) override { b[9] = char(f); }
  void InternalGotoBookmark(const void* d) override { std::memcpy(ActiveBuffer() + 5, d, 4); }
  void InternalOpen() override {
    if (FieldCount() == 0) {
      CreateFields();
      SetDefaultFields(true);
    }
    BindFields(true);
    SetBookmarkSize(4);
    open_ = true;
    top_ = true;
  }
  void InternalClose() override {
    BindFields(false);
    DestroyDefaultFields();
    open_ = false;
  }
  bool IsCursorOpen() const override { return open_; }
  void InternalRefresh() override {}
  bool CopyFieldValue(const TField*, void* target) override {
    const char* b = ActiveBuffer();
    if (!b || b[0] == 0) return false;
    if (target) std::memcpy(target, b + 1, 4);
    return true;
  }

 public:
  int ViewRecordCount() override { return visible.empty() ? count_ : int(visible.size()); }
  int ViewRecordNumber() override {
    SyncEngineToActiveRow();
    return pos_;
  }
  void SetViewRecordNumber(int n) override { GoRecord(n); }
  // Like a table: the source goes to the active buffer's record first.
  void RefetchWindow(int flags) override {
    if (Active() && ActiveBuffer()) std::memcpy(&pos_, ActiveBuffer() + 5, 4);
    TDataSet::RefetchWindow(flags);
  }
  bool IsSequenced() override { return visible.empty(); }

 private:
  int count_;
  int pos_ = 0;
  bool top_ = false, bottom_ = false, open_ = false;
};
