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
