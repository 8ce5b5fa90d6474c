#pragma once
// The full-text index of the postal table: opened when it answers for the
// table as it is now, built from every record otherwise.
#include <cstdint>
#include <optional>
#include <string>

#include "postal/FieldCrossings.h"
#include "postal/IndexCalls.h"
#include "postal/RecordSource.h"

namespace postal {

// What a caller sees of a build while it runs.
class IndexBuildObserver {
 public:
  virtual ~IndexBuildObserver() = default;
  // A build is about to start (before FtsCreate).
  virtual void Starting() {}
  // The new index was created; count records follow.
  virtual void Started(int32_t count) { (void)count; }
  // After every FtsAdd, with its result (negative: the record was refused):
  // progress, and the caller's events may run here.
  virtual void Added(int32_t result) { (void)result; }
  // Every record was added and the table stands on its first record again;
  // the index is being saved and opened.
  virtual void Saving() {}
  // The build has ended, saved and opened or not.
  virtual void Finished() {}
};

enum class IndexState {
  kOpened,        // an index that answers for the table was opened
  kBuilt,         // it was built and opened
  kCannotCreate,  // FtsCreate failed: no index
  kCannotSave,    // the build could not be written: no index
  kCannotOpen,    // written, but it does not open or answer for the table
};

struct IndexOutcome {
  IndexState state = IndexState::kCannotCreate;
  int32_t error = 0;    // the library's error code of a failure
  int32_t refused = 0;  // records FtsAdd refused during a build
  // What the index knows of the table's fields; with no usable index, the
  // search reads every record and needs none of it.
  FieldCrossings crossings = FieldCrossings::Unknown();
  bool Usable() const { return state == IndexState::kOpened || state == IndexState::kBuilt; }
};

// The crossings the index open in calls keeps when it answers for the table
// of recordCount records at tablePath (postal/TableTag.h): built from that
// very file as it is now and holding exactly its records. Nothing otherwise.
std::optional<FieldCrossings> IndexAnswersFor(IndexCalls& calls, int32_t recordCount,
                                              const std::string& tablePath);

// Opens indexPath when the file exists and answers for the table of
// tablePath; otherwise
// (missing, corrupt, foreign, stale) builds it. Without a usable index the
// handle is dropped (calls.Handle() is 0). record is a buffer of RecordSize +
// 1 bytes whose last byte is zero.
IndexOutcome OpenOrBuildIndex(IndexCalls& calls, RecordSource& table, const std::string& indexPath,
                              const std::string& tablePath, char* record,
                              IndexBuildObserver& observer);

// The build: FtsCreate, every record from the table's first in its current
// order through FtsAdd, the table back on its first record, the tag with the
// crossings of the fields seen, FtsClose, FtsOpen. Errors of the record source propagate once the
// handle is given back.
IndexOutcome BuildIndex(IndexCalls& calls, RecordSource& table, const std::string& indexPath,
                        const std::string& tablePath, char* record, IndexBuildObserver& observer);

}  // namespace postal
