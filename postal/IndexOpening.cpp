#include "postal/IndexOpening.h"

#include <sys/stat.h>

#include "libs/ftsindex/ftsindex.h"
#include "postal/TableTag.h"

namespace postal {
namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Closes a handle being built when the source raises, so that no half index
// stays open. What it writes holds fewer records than the table: it never
// answers for it, and the next opening builds the index again.
class BuildingHandle {
 public:
  explicit BuildingHandle(IndexCalls& calls) : calls_(calls) {}
  ~BuildingHandle() {
    if (!released_ && calls_.Handle() > 0) {
      calls_.Close();
      calls_.Forget();
    }
  }
  void Release() { released_ = true; }
  BuildingHandle(const BuildingHandle&) = delete;
  BuildingHandle& operator=(const BuildingHandle&) = delete;

 private:
  IndexCalls& calls_;
  bool released_ = false;
};

IndexOutcome Build(IndexCalls& calls, RecordSource& table, const std::string& indexPath,
                   const std::string& tablePath, char* record, IndexBuildObserver& observer) {
  IndexOutcome outcome;
  // Taken before the records are read: a change while they are names
  // another state of the table.
  const std::string tableTag = TableTag(tablePath);
  const int32_t created = calls.Create(indexPath.c_str());
  if (created <= 0) {
    // Without a new index every record would be refused one by one.
    calls.Forget();
    return {IndexState::kCannotCreate, created};
  }
  // Until the build is through, the tag names no table: a build cut short
  // never answers for one.
  calls.SetTag("");
  FieldCrossings crossings;
  {
    const std::vector<FieldPlace> fields = table.Fields();
    BuildingHandle building(calls);
    observer.Started(table.RecordCount());
    table.GoTop();
    while (!table.AtEnd()) {
      table.Read(record);
      crossings.Add(record, fields);
      const int32_t r = calls.Add(record);
      if (r < 0) ++outcome.refused;
      observer.Added(r);
      table.Skip();
    }
    table.GoTop();
    // Stored with the index, so that a later start knows which table it
    // answers for and what of its fields.
    calls.SetTag(IndexTag(tableTag, crossings).c_str());
    observer.Saving();
    building.Release();
  }
  const int32_t written = calls.Close();
  // A failed save leaves no new file: opening the name again would find an
  // older index, made for another table, or none.
  if (written < 0) {
    calls.Forget();
    outcome.state = IndexState::kCannotSave;
    outcome.error = written;
    return outcome;
  }
  const int32_t opened = calls.Open(indexPath.c_str());
  // The tag is the one just stored; the count tells a file replaced meanwhile.
  if (opened <= 0 || calls.NumRecs() != table.RecordCount()) {
    if (calls.Handle() > 0) calls.Close();
    calls.Forget();
    outcome.state = IndexState::kCannotOpen;
    outcome.error = opened <= 0 ? opened : FTS_ERR_FORMAT;
    return outcome;
  }
  outcome.state = IndexState::kBuilt;
  outcome.crossings = crossings;
  return outcome;
}

// Tells the observer that the build ended, also when the source raised.
class FinishedAtEnd {
 public:
  explicit FinishedAtEnd(IndexBuildObserver& observer) : observer_(observer) {
    observer_.Starting();
  }
  ~FinishedAtEnd() { observer_.Finished(); }
  FinishedAtEnd(const FinishedAtEnd&) = delete;
  FinishedAtEnd& operator=(const FinishedAtEnd&) = delete;

 private:
  IndexBuildObserver& observer_;
};

}  // namespace

std::optional<FieldCrossings> IndexAnswersFor(IndexCalls& calls, int32_t recordCount,
                                              const std::string& tablePath) {
  if (calls.Handle() <= 0 || calls.NumRecs() != recordCount) return std::nullopt;
  char stored[FTS_MAX_TAG + 1];
  if (calls.GetTag(stored, sizeof stored) < 0) return std::nullopt;
  return TagAnswersFor(stored, tablePath);
}

IndexOutcome OpenOrBuildIndex(IndexCalls& calls, RecordSource& table, const std::string& indexPath,
                              const std::string& tablePath, char* record,
                              IndexBuildObserver& observer) {
  if (FileExists(indexPath)) {
    calls.Open(indexPath.c_str());
    if (const auto crossings = IndexAnswersFor(calls, table.RecordCount(), tablePath)) {
      IndexOutcome opened{IndexState::kOpened};
      opened.crossings = *crossings;
      return opened;
    }
    // Truncated, corrupt, foreign, or made from another table or an earlier
    // state of this one: built again.
    if (calls.Handle() > 0) calls.Close();
    calls.Forget();
  }
  return BuildIndex(calls, table, indexPath, tablePath, record, observer);
}

IndexOutcome BuildIndex(IndexCalls& calls, RecordSource& table, const std::string& indexPath,
                        const std::string& tablePath, char* record, IndexBuildObserver& observer) {
  FinishedAtEnd finished(observer);
  return Build(calls, table, indexPath, tablePath, record, observer);
}

}  // namespace postal
