#include "search/ConfirmedMarks.h"

#include "search/Candidates.h"
#include "search/Fts.h"
#include "table/DbfTable.h"

namespace search {
namespace {

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
int MarkCandidates(TPostalParts& p, bool fromIndex, char* record) {
  TDbfTable& table = *p.Table1;
  int matches = 0;
  if (fromIndex && p.Fts1->FtsProven() == 1) {
    for (int32_t n; (n = p.Fts1->FtsNextRec()) > 0; ++matches) table.SetQueryBit(n, true);
    return matches;
  }
  TCandidates candidates(p, fromIndex);
  if (!record) {  // no record buffer: nothing can be confirmed
    while (candidates.Next() > 0) {
    }
    return 0;
  }
  const char* text = p.SearchText->data();
  SpeedModeOn direct(&table);
  for (int32_t n; (n = candidates.Next()) > 0;) {
    table.SetRecno(n);
    table.ReadRecord(record);
    if (candidates.Confirm(record, text)) {
      table.SetQueryBit(n, true);
      ++matches;
    }
  }
  return matches;
}

}  // namespace

int MarkConfirmed(TPostalParts& p, bool fromIndex) {
  TDbfTable& table = *p.Table1;
  char* record = p.RecordBuffer->empty() ? nullptr : p.RecordBuffer->data();
  int matches = 0;
  {
    NotificationsSuspended quiet(&table);
    const int32_t kept = table.SetOrder(0);
    try {
      table.GoTop();
      matches = MarkCandidates(p, fromIndex, record);
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
