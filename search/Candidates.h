#pragma once
// The records a search run visits and how each is confirmed: with a usable
// index, its candidates for the search text, confirmed by FtsVerify; without
// one (it could not be built, saved or opened), every record of the table in
// turn, confirmed by the library's FtsMatch with the same matching. The run
// then still finds exactly the records that contain the text, only slower.
#include <cstdint>

#include "search/PostalParts.h"

namespace search {

// True when the search can ask the index: one is open in Fts1.
bool IndexUsable(const TPostalParts& parts);

// What the index says of SearchText before the candidates are visited.
enum class TIndexAnswer {
  NoKey,        // a word has no key in the index (FtsSet -13)
  NoData,       // no record holds every key (FtsSet 0)
  Candidates,   // the index names candidates: visit them
  EveryRecord,  // no usable index, or it failed: visit every record
};
// Asks the index (FtsSet) when one is usable.
TIndexAnswer AskIndex(TPostalParts& parts);

class TCandidates {
 public:
  // fromIndex: the index's candidates of the last FtsSet; otherwise every
  // record 1..RecCount of the table.
  TCandidates(TPostalParts& parts, bool fromIndex);

  bool FromIndex() const { return fromIndex_; }
  // The next record number to visit; 0 or less when there is none.
  int32_t Next();
  // True when record (RecordSize bytes and a zero) contains the search text.
  bool Confirm(const char* record, const char* text);

 private:
  TPostalParts& p_;
  bool fromIndex_;
  int32_t next_ = 1;
  int32_t last_ = 0;
};

}  // namespace search
