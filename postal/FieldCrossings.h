#pragma once
// The full-text library reads a record as one text without its blanks, so a
// pair of characters of its index may run from the end of one field into the
// start of the next ("135-080" and "02" read "…08002"). Which kinds of
// characters meet that way is learnt from every record while the index is
// built and kept with it: a word whose characters never meet across fields
// in this table is taken as the index proves it, any other is confirmed by
// reading the record.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "postal/RecordSource.h"

namespace postal {

class FieldCrossings {
 public:
  FieldCrossings() = default;
  explicit FieldCrossings(uint16_t bits) : bits_(bits) {}
  // Every crossing possible: what an index without the knowledge must assume.
  static FieldCrossings Unknown() { return FieldCrossings(0xFFFF); }

  // Notes the crossings of one raw record laid out in fields.
  void Add(const char* record, const std::vector<FieldPlace>& fields);
  // True when two characters that follow one another in word (blanks left
  // out) may be the last of one field and the first of the next.
  bool MayCross(std::string_view word) const;

  uint16_t Bits() const { return bits_; }

 private:
  uint16_t bits_ = 0;  // bit 4 * class of the end + class of the start
};

}  // namespace postal
