#pragma once
// The full-text library as the core calls it: the calls on one index handle.
// The window reaches the library through its full-text component, the
// command line through the bound entry points; each gives the core this
// interface over its own road.
#include <cstdint>

namespace postal {

// FtsVerify's and FtsMatch's mode for a search: every word of the text, in
// any order, across blanks, initial consonants for their syllables, ASCII
// letters without case.
inline constexpr int32_t kVerifyEveryWord = 3;

class IndexCalls {
 public:
  virtual ~IndexCalls() = default;

  // The handle of the index open or being built; 0 or less when none.
  virtual int32_t Handle() const = 0;
  // Drops the handle (after it was closed, or when it cannot be used).
  virtual void Forget() = 0;

  // FtsCreate and FtsOpen with the finder's arguments; the result becomes the
  // handle.
  virtual int32_t Create(const char* fileName) = 0;
  virtual int32_t Open(const char* fileName) = 0;
  virtual int32_t Add(const char* record) = 0;
  virtual int32_t Set(const char* text) = 0;
  virtual int32_t NextRec() = 0;
  // FtsNextRecs: up to max candidates at once.
  virtual int32_t NextRecs(int32_t* recnos, int32_t max) = 0;
  virtual int32_t Proven() = 0;
  // FtsMatch in kVerifyEveryWord: the same check without an index.
  virtual int32_t Match(const char* record, const char* text) = 0;
  // FtsMatchSpans in kVerifyEveryWord.
  virtual int32_t MatchSpans(const char* record, int32_t size, const char* text, int32_t* spans,
                             int32_t maxSpans) = 0;
  virtual int32_t NumRecs() = 0;
  virtual int32_t Close() = 0;
  virtual int32_t SetTag(const char* tag) = 0;
  virtual int32_t GetTag(char* buffer, int32_t size) = 0;
};

}  // namespace postal
