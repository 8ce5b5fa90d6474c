#pragma once
// One search of the postal table for a search text read as an address
// (postal/AddressQuery.h): the index names candidates for the words, the
// core confirms each against its record (postal/AddressMatcher.h). A number
// also finds the rows whose range holds it; a text whose reference in
// brackets matches nothing is searched without it; a text with a number
// that no row holds finds the place's own row.
#include <cstdint>
#include <functional>
#include <vector>

#include "postal/AddressMatcher.h"
#include "postal/FieldCrossings.h"
#include "postal/IndexCalls.h"
#include "postal/RecordSource.h"
#include "postal/SearchText.h"

namespace postal {

// What the index says of a search text before any record is read.
enum class IndexAnswer {
  kNoKey,        // a word has no key in the index (FtsSet -13)
  kNoData,       // no record holds every key (FtsSet 0)
  kCandidates,   // the index names candidates: they were visited
  kEveryRecord,  // no usable index, or it failed: every record was visited
};

// A record that matches: its number, how it matches, and its raw bytes when
// they were read (null when the index proved it without reading).
struct AddressMatch {
  int32_t recno = 0;
  MatchKind kind = MatchKind::kAsWritten;
  const char* record = nullptr;
};

struct SearchOutcome {
  // What the index said when nothing was visited (kNoKey, kNoData);
  // kCandidates or kEveryRecord once records were visited.
  IndexAnswer answer = IndexAnswer::kNoKey;
  int32_t matches = 0;
  bool visited = false;  // records were visited (beforeVisit was called)
  // The index could not be read (damaged, or its file cut): every record was
  // confirmed instead, and the index should be built again.
  bool indexFailed = false;
};

struct SearchRequest {
  const SearchText* text = nullptr;
  char* record = nullptr;  // RecordSize + 1 bytes, the last zero
  // Called once before the first record is visited (the window suspends its
  // display and selects the natural order there); never when the index has
  // no candidate.
  std::function<void()> beforeVisit;
  // Called for every match in record order; false stops the search.
  std::function<bool(const AddressMatch&)> onMatch;
  // Read every match, even those the index has proven.
  bool readEveryMatch = false;
  // When set (and readEveryMatch is not), the matches the index proves come
  // here many at a time, in record order, instead of through onMatch; false
  // stops the search. A search of one syllable may prove a million.
  std::function<bool(const int32_t* recnos, size_t count)> onProvenMatches;
};

class AddressSearch {
 public:
  // crossings: what the open index knows of the table's fields.
  AddressSearch(IndexCalls& calls, RecordSource& table, FieldCrossings crossings);

  SearchOutcome Run(const SearchRequest& request);

 private:
  struct Pass;
  SearchOutcome RunPass(const AddressQuery& query, bool placeRows, const SearchRequest& request,
                        bool* setUp);

  IndexCalls& calls_;
  RecordSource& table_;
  FieldCrossings crossings_;
  std::vector<FieldPlace> fields_;
};

// The bytes of a record (size bytes) that matched a search text, for the
// highlighting: the words, and for a number found in a range, the range.
std::vector<ByteSpan> MatchedSpans(IndexCalls& calls, const std::vector<FieldPlace>& fields,
                                   const char* record, int32_t size, const SearchText& text);

}  // namespace postal
