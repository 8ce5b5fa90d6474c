#include "libs/ftsindex/IndexBuilder.h"

#include <algorithm>
#include <numeric>

#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/IndexFile.h"

namespace fts {
namespace {
inline size_t Hash(Key k, size_t mask) {
  return static_cast<size_t>((uint64_t{k} * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}
}  // namespace

IndexBuilder::IndexBuilder() : unigrams_(65536, -1), pairs_(1 << 14, PairEntry{0, -1}) {}

void IndexBuilder::Grow() {
  std::vector<PairEntry> bigger(pairs_.size() * 2, PairEntry{0, -1});
  const size_t mask = bigger.size() - 1;
  for (const PairEntry& e : pairs_) {
    if (e.slot < 0) continue;
    size_t i = Hash(e.key, mask);
    while (bigger[i].slot >= 0) i = (i + 1) & mask;
    bigger[i] = e;
  }
  pairs_.swap(bigger);
}

IndexBuilder::Slot& IndexBuilder::SlotOf(Key key) {
  if (IsUnigram(key)) {
    int32_t& s = unigrams_[key >> 16];
    if (s < 0) {
      s = static_cast<int32_t>(slots_.size());
      slots_.push_back(Slot{key, 0, 0, {}});
    }
    return slots_[s];
  }
  const size_t mask = pairs_.size() - 1;
  size_t i = Hash(key, mask);
  while (pairs_[i].slot >= 0) {
    if (pairs_[i].key == key) return slots_[static_cast<size_t>(pairs_[i].slot)];
    i = (i + 1) & mask;
  }
  const auto s = static_cast<int32_t>(slots_.size());
  pairs_[i] = PairEntry{key, s};
  slots_.push_back(Slot{key, 0, 0, {}});
  Slot& slot = slots_[s];
  if (slots_.size() * 2 > pairs_.size()) Grow();
  return slot;
}

uint32_t IndexBuilder::Add(std::string_view record) {
  const uint32_t number = ++records_;
  ForEachRecordKey(record, [&](Key key) {
    Slot& slot = SlotOf(key);
    if (slot.last == number) return;  // a key counts once per record
    AppendVarint(slot.deltas, number - slot.last);
    slot.last = number;
    ++slot.count;
  });
  return number;
}

std::string IndexBuilder::Image() const {
  std::vector<uint32_t> order(slots_.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(),
            [&](uint32_t a, uint32_t b) { return slots_[a].key < slots_[b].key; });
  std::vector<KeyPostings> keys(slots_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const Slot& s = slots_[order[i]];
    keys[i].key = s.key;
    keys[i].values.reserve(s.count);
    const auto* p = reinterpret_cast<const uint8_t*>(s.deltas.data());
    const auto* end = p + s.deltas.size();
    uint32_t v = 0, d = 0;
    while (ReadVarint(p, end, d)) keys[i].values.push_back(v += d);
  }
  return BuildImage(records_, keys, tag_);
}

}  // namespace fts
