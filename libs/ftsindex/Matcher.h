#pragma once
// Confirms a record against a search text (the modes of FtsVerify) and finds
// the characters of the record that matched it.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fts {

// A byte range [first, second) of a record.
using ByteSpan = std::pair<uint32_t, uint32_t>;

// A search text prepared once for many records.
//   mode 1: the text without spaces at either end, as one phrase, exact;
//   mode 2: the same, ASCII letters without case;
//   mode 3: every space-separated word, in any order, ASCII letters without
//           case; a word also matches where the record has blanks between
//           its characters, and an initial-consonant jamo of a word matches
//           every Hangul syllable with that initial (and the jamo itself).
// Every occurrence starts on a character boundary of the record.
class Matcher {
 public:
  // Returns false for a text that is not well-formed CP949 (it then matches
  // nothing).
  bool Prepare(std::string_view text, int mode);
  // True when the prepared text and mode are these (so Prepare can be skipped).
  bool IsPreparedFor(std::string_view text, int mode) const {
    return prepared_ && mode == mode_ && text == text_;
  }
  bool Matches(std::string_view record) const;
  // The bytes of every character that takes part in an occurrence of a word
  // (of the phrase), as ascending ranges that do not touch; empty when the
  // record does not match. The blanks a word skips are not part of them.
  void Spans(std::string_view record, std::vector<ByteSpan>& out) const;

 private:
  // One character of a word: a code (ASCII folded when folding), or with a
  // nonzero initial, every character with that initial consonant.
  struct PatternChar {
    uint16_t code;
    uint8_t initial;
  };
  using Word = std::vector<PatternChar>;

  uint16_t CodeAt(std::string_view record, size_t pos, size_t len) const;
  bool CharMatches(const PatternChar& p, uint16_t code) const;
  // Matches word at the character boundary pos; on success the end of the
  // occurrence is stored in end and, when marks is given, its characters
  // are marked there.
  bool MatchAt(std::string_view record, size_t pos, const Word& word, size_t& end,
               std::vector<uint8_t>* marks) const;
  // Visits the occurrences of word, leftmost first; stops when visit
  // answers false.
  template <typename Visit>
  void ForEachOccurrence(std::string_view record, const Word& word, Visit&& visit) const;

  bool prepared_ = false;
  bool valid_ = false;
  bool foldCase_ = false;
  bool skipBlanks_ = false;
  int mode_ = 0;
  std::string text_;
  std::vector<Word> words_;
};

// The answer of FtsVerify and FtsMatch for one record: 1 or 0, or
// FTS_ERR_ARG (mode) / FTS_ERR_TOO_LONG; prepares matcher when the text or
// mode changed.
int32_t Verify(Matcher& matcher, std::string_view record, std::string_view text, int mode);

}  // namespace fts
