#include "QuerySet.h"

namespace dbe {

void QuerySet::clear() {
  ++version_;
  kind_ = Kind::None;
  count_ = 0;
  marked_ = false;
  records_ = 0;
  words_.clear();
  words_.shrink_to_fit();
  expression.clear();
}

void QuerySet::reset(int32_t recordCount, Kind kind) {
  ++version_;
  kind_ = kind;
  records_ = recordCount < 0 ? 0 : recordCount;
  count_ = 0;
  marked_ = false;
  words_.assign(static_cast<size_t>(records_) / 64 + 1, 0);
  expression.clear();
}

void QuerySet::set(int32_t recno, bool value) {
  if (recno < 1 || recno > records_) return;
  marked_ = marked_ || value;
  uint64_t& w = words_[static_cast<uint32_t>(recno) >> 6];
  const uint64_t bit = uint64_t{1} << (recno & 63);
  if (((w & bit) != 0) == value) return;
  w ^= bit;
  ++version_;
  count_ += value ? 1 : -1;
}

int32_t QuerySet::next(int32_t from) const {
  if (from < 1) from = 1;
  if (from > records_) return 0;
  size_t i = static_cast<uint32_t>(from) >> 6;
  uint64_t w = words_[i] & (~uint64_t{0} << (from & 63));
  while (w == 0) {
    if (++i >= words_.size()) return 0;
    w = words_[i];
  }
  const int32_t r = static_cast<int32_t>(i * 64 + __builtin_ctzll(w));
  return r <= records_ ? r : 0;
}

int32_t QuerySet::prev(int32_t from) const {
  if (from > records_) from = records_;
  if (from < 1) return 0;
  size_t i = static_cast<uint32_t>(from) >> 6;
  const int shift = 63 - (from & 63);
  uint64_t w = (words_[i] << shift) >> shift;
  while (w == 0) {
    if (i == 0) return 0;
    w = words_[--i];
  }
  const int32_t r = static_cast<int32_t>(i * 64 + 63 - __builtin_clzll(w));
  return r >= 1 ? r : 0;
}

}  // namespace dbe
