#pragma once
// Whether a record holds an address query, and how: every word within one
// field (fields are separate texts), runs of digits only as whole runs, a
// number also in a range of the address that holds it, a province in any of
// its forms. Words match as the full-text library matches them (blanks,
// initial consonants, ASCII letters without case): a word that cannot run
// from one field into the next is asked of the whole record at once, any
// other of each field, with its runs of digits marked off so that a run can
// only meet a whole run. Numbers are compared as numbers, here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "postal/AddressQuery.h"
#include "postal/FieldCrossings.h"
#include "postal/IndexCalls.h"
#include "postal/NumberWords.h"
#include "postal/RecordSource.h"

namespace postal {

// A matched byte range [begin, end) of a record.
using ByteSpan = std::pair<int32_t, int32_t>;

// How a record holds a query, best first.
enum class MatchKind {
  kAsWritten,  // every number occurs as written
  kInRange,    // a range of the address holds a number
  kPlace,      // the place's own row: no number of its own, for any number of the place
};

// Text with every run of ASCII digits between '[' and ']', the last run left
// open when openEnd (a run being typed matches the start of a longer one).
// origin, when given, receives for each byte of the result the offset in
// text it stands for.
std::string MarkDigitRuns(std::string_view text, bool openEnd, std::vector<int32_t>* origin);
// The same into out, whose storage is kept from call to call.
void MarkDigitRunsInto(std::string_view text, bool openEnd, std::vector<int32_t>* origin,
                       std::string& out);

class AddressMatcher {
 public:
  // crossings: what the index knows of the table's fields (Unknown() asks
  // every word of each field).
  AddressMatcher(IndexCalls& calls, std::vector<FieldPlace> fields, const AddressQuery& query,
                 FieldCrossings crossings = FieldCrossings::Unknown());

  // How record (raw, RecordSize bytes and a zero) holds the query; nothing
  // when it does not.
  std::optional<MatchKind> Match(const char* record);
  // True when record is the place's own row for the query's words (a query
  // without numbers): it holds them, no field of its address carries a
  // number, and a field of its address ends with one of them.
  bool IsPlaceRow(const char* record);
  // The bytes of record (size bytes) that hold the query's words, ranges and
  // all, ascending; none when it does not match.
  std::vector<ByteSpan> Spans(const char* record, int32_t size);

 private:
  enum class WordRoad {
    kRecord,  // asked of the whole record with the other such words
    kField,   // asked of each field, digits marked
    kNumber,  // a number word: compared as a number here
  };
  struct Word {
    const QueryWord* query;
    WordRoad road;
    std::string marked;   // kField: the word with its digit runs marked
    bool digits = false;  // the word has a digit: fields are asked marked
    bool wide = false;    // the word has a double-byte character
  };
  struct Field {
    FieldPlace place;
    bool address = false;   // neither the code nor the dialling code
    std::string_view text;  // the field's bytes up to its padding, in the record
    bool wide = false;      // text has a double-byte character
    // Made when first asked for, per record, in storage kept from record to
    // record (a search asks thousands of candidates).
    mutable std::string marked, plain;
    mutable std::vector<NumberRange> ranges;
    mutable bool markedMade = false, plainMade = false, rangesMade = false;
    const std::string& Marked() const;
    const std::string& Plain() const;  // text with a zero after it
    const std::vector<NumberRange>& Ranges() const;
  };
  void Load(const char* record, int32_t size);
  std::optional<MatchKind> MatchLoaded(const char* record) const;
  bool FieldHolds(const Field& f, const Word& w) const;
  // Where the number word stands as written in text: the offset, or npos.
  size_t NumberAt(const Field& f, const Word& w) const;
  std::optional<MatchKind> WordMatch(const Word& w) const;

  IndexCalls& calls_;
  AddressQuery query_;
  std::vector<Field> fields_;
  std::vector<Word> words_;
  std::string recordText_;  // the kRecord words, one text
  bool rangesCount_;        // numbers may be found in ranges: the query has other words
};

}  // namespace postal
