#include "search/ConfirmedMarks.h"

#include "search/Fts.h"
#include "table/DbfTable.h"

namespace search {
namespace {

constexpr uint8_t kVerifyAllWords = 2;  // the library receives 3

// Suspends the table's notifications to its display controls for a scope.
class NotificationsSuspended {
 public:
  explicit NotificationsSuspended(TDbfTable* t) : t_(t) { t_->SuspendViewNotifications(); }
  ~NotificationsSuspended() { t_->ResumeViewNotifications(); }
  NotificationsSuspended(const NotificationsSuspended&) = delete;
  NotificationsSuspended& operator=(const NotificationsSuspended&) = delete;

 private:
  TDbfTable* t_;
};

// Reads go straight to the engine for a scope: the view is brought back to
// the engine's record once, at its end, not at every candidate.
class SpeedModeOn {
 public:
  explicit SpeedModeOn(TDbfTable* t) : t_(t), was_(t->SpeedMode()) { t_->SetSpeedMode(true); }
  ~SpeedModeOn() { t_->SetSpeedMode(was_); }
  SpeedModeOn(const SpeedModeOn&) = delete;
  SpeedModeOn& operator=(const SpeedModeOn&) = delete;

 private:
  TDbfTable* t_;
  bool was_;
};

// Marks the candidates; the order in force is natural.
int MarkCandidates(TDbfTable& table, TFts& fts, const char* text, char* record) {
  int matches = 0;
  if (fts.FtsProven() == 1) {
    for (int32_t n; (n = fts.FtsNextRec()) > 0; ++matches) table.SetQueryBit(n, true);
    return matches;
  }
  if (!record) {  // no record buffer: nothing can be confirmed
    while (fts.FtsNextRec() > 0) {
    }
    return 0;
  }
  SpeedModeOn direct(&table);
  for (int32_t n; (n = fts.FtsNextRec()) > 0;) {
    table.SetRecno(n);
    table.ReadRecord(record);
    if (fts.FtsVerify(record, text, kVerifyAllWords) == 1) {
      table.SetQueryBit(n, true);
      ++matches;
    }
  }
  return matches;
}

}  // namespace

int MarkConfirmed(TPostalParts& p) {
  TDbfTable& table = *p.Table1;
  char* record = p.RecordBuffer->empty() ? nullptr : p.RecordBuffer->data();
  int matches = 0;
  {
    NotificationsSuspended quiet(&table);
    const int32_t kept = table.SetOrder(0);
    try {
      table.GoTop();
      matches = MarkCandidates(table, *p.Fts1, p.SearchText->data(), record);
    } catch (...) {
      table.SetOrder(kept);
      throw;
    }
    table.SetOrder(kept);
  }
  table.GoTop();
  table.Refresh();
  return matches;
}

}  // namespace search
