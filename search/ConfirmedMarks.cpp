#include "search/ConfirmedMarks.h"

#include <optional>
#include <vector>

#include "platform/BusyCursor.h"
#include "search/FtsCalls.h"
#include "search/TableRecords.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// Reads go straight to the engine for a scope: the view is brought back to
// the engine's record once, at its end, not at every candidate. Candidates
// come in record order, so the engine reads them ahead a block at a time.
class SpeedModeOn {
 public:
  explicit SpeedModeOn(TDbfTable* t) : t_(t), was_(t->SpeedMode()), cacheWas_(t->ReadCache()) {
    t_->SetSpeedMode(true);
    t_->SetReadCache(true);
  }
  ~SpeedModeOn() {
    t_->SetReadCache(cacheWas_);
    t_->SetSpeedMode(was_);
  }
  SpeedModeOn(const SpeedModeOn&) = delete;
  SpeedModeOn& operator=(const SpeedModeOn&) = delete;

 private:
  TDbfTable* t_;
  bool was_;
  bool cacheWas_;
};

// Marking then unmarking the first record leaves a set of marks in force
// that holds none (a cleared set would show every record).
void EmptyQuerySet(TDbfTable& t) {
  if (t.RecCount() < 1) return;
  t.SetQueryBit(1, true);
  t.SetQueryBit(1, false);
}

}  // namespace

postal::SearchOutcome MarkMatches(TPostalParts& p, bool busyCursor) {
  TDbfTable& table = *p.Table1;
  postal::SearchOutcome outcome;
  if (p.RecordBuffer->empty()) return outcome;  // no table: nothing can be read
  {
    std::optional<platform::BusyCursor> busy;
    std::optional<NotificationsSuspended> quiet;
    std::optional<SpeedModeOn> direct;
    std::optional<int32_t> kept;
    TFtsCalls calls(*p.Fts1);
    TTableRecords records(table);
    postal::AddressSearch search(calls, records,
                                 p.Crossings ? *p.Crossings : postal::FieldCrossings::Unknown());
    postal::SearchRequest request;
    request.text = p.SearchText;
    request.record = p.RecordBuffer->data();
    request.beforeVisit = [&] {
      if (busyCursor) busy.emplace();
      quiet.emplace(&table);
      kept = table.SetOrder(0);
      table.GoTop();
      direct.emplace(&table);
    };
    // Marked in one call at the end: a search may confirm a million.
    std::vector<int32_t> matched;
    request.onMatch = [&](const postal::AddressMatch& m) {
      matched.push_back(m.recno);
      return true;
    };
    request.onProvenMatches = [&](const int32_t* recnos, size_t count) {
      matched.insert(matched.end(), recnos, recnos + count);
      return true;
    };
    try {
      outcome = search.Run(request);
      table.SetQueryBits(matched, true);
    } catch (...) {
      direct.reset();
      if (kept) table.SetOrder(*kept);
      throw;
    }
    direct.reset();
    if (outcome.matches == 0) {
      if (!quiet) quiet.emplace(&table);
      EmptyQuerySet(table);
    }
    if (kept) table.SetOrder(*kept);
  }
  table.GoTop();
  table.Refresh();
  return outcome;
}

void ShowNoRows(TPostalParts& p) {
  TDbfTable& table = *p.Table1;
  {
    NotificationsSuspended quiet(&table);
    EmptyQuerySet(table);
  }
  table.GoTop();
  table.Refresh();
}

}  // namespace search
