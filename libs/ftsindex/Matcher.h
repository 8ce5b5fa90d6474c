#pragma once
// Confirms a record against a search text (the modes of FtsVerify).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fts {

// A search text prepared once for many records.
class Matcher {
 public:
  // mode 1: phrase, exact; 2: phrase, ASCII without case; 3: all words, ASCII
  // without case. Returns false for a text that is not well-formed CP949.
  bool Prepare(std::string_view text, int mode);
  // True when the prepared text and mode are these (so Prepare can be skipped).
  bool IsPreparedFor(std::string_view text, int mode) const {
    return prepared_ && mode == mode_ && text == text_;
  }
  bool Matches(std::string_view record);

 private:
  bool prepared_ = false;
  bool valid_ = false;
  bool foldCase_ = false;
  int mode_ = 0;
  std::string text_;
  std::vector<std::string> needles_;  // folded when foldCase_
  std::string folded_;                // scratch: the record folded
};

// The answer of FtsVerify and FtsMatch for one record: 1 or 0, or
// FTS_ERR_ARG (mode) / FTS_ERR_TOO_LONG; prepares matcher when the text or
// mode changed.
int32_t Verify(Matcher& matcher, std::string_view record, std::string_view text, int mode);

// True when needle occurs in hay starting on a character boundary of hay.
bool ContainsAtBoundary(std::string_view hay, std::string_view needle);

}  // namespace fts
