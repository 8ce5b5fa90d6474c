#include "libs/ftsindex/IndexBuilder.h"

#include <algorithm>
#include <cstring>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/IndexWriter.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

constexpr size_t kFirstSlots = size_t{1} << 10;
constexpr size_t kAhead = 12;  // keys whose entries are being fetched

inline size_t Hash(Key k, size_t mask) {
  return static_cast<size_t>((uint64_t{k} * 0x9E3779B97F4A7C15ull) >> 40) & mask;
}

// The record numbers of a list of varint deltas: exactly count of them, or
// false. Deltas below 128, the most of them, go eight bytes at a time.
bool DecodeDeltas(const std::vector<uint8_t>& deltas, uint32_t count,
                  std::vector<uint32_t>& values) {
  values.resize(count);
  uint32_t* out = values.data();
  uint32_t* const last = out + count;
  const uint8_t* p = deltas.data();
  const uint8_t* const end = p + deltas.size();
  uint32_t v = 0;
  while (p != end) {
    if (end - p >= 8 && last - out >= 8) {
      uint64_t eight;
      std::memcpy(&eight, p, 8);
      // No byte with its high bit set, and none 0 (no delta is).
      const uint64_t zero = (eight - 0x0101010101010101ull) & ~eight & 0x8080808080808080ull;
      if ((eight & 0x8080808080808080ull) == 0 && zero == 0) {
        for (int i = 0; i < 8; ++i) *out++ = v += static_cast<uint32_t>(eight >> (8 * i) & 0x7F);
        p += 8;
        continue;
      }
    }
    uint32_t d = 0;
    if (out == last || !ReadVarint(p, end, d) || d == 0) return false;
    *out++ = v += d;
  }
  return out == last;
}

}  // namespace

IndexBuilder::IndexBuilder(const fts_io* io, std::string path, size_t memoryBytes)
    : io_(io), path_(std::move(path)), slots_(kFirstSlots), arena_(memoryBytes) {}

void IndexBuilder::Grow() {
  std::vector<Slot> bigger(slots_.size() * 2);
  const size_t mask = bigger.size() - 1;
  for (const Slot& s : slots_) {
    if (s.key == 0) continue;
    size_t i = Hash(s.key, mask);
    while (bigger[i].key != 0) i = (i + 1) & mask;
    bigger[i] = s;
  }
  slots_.swap(bigger);
}

inline IndexBuilder::Slot& IndexBuilder::SlotOf(Key key) {
  const size_t mask = slots_.size() - 1;
  for (size_t i = Hash(key, mask);; i = (i + 1) & mask) {
    if (slots_[i].key == key) return slots_[i];
    if (slots_[i].key != 0) continue;
    if ((keys_ + 1) * 2 > slots_.size()) {  // at most half full
      Grow();
      return SlotOf(key);
    }
    ++keys_;
    slots_[i].key = key;
    return slots_[i];
  }
}

bool IndexBuilder::Settle(Slot& slot) {
  if (!arena_.Append(slot.chain, slot.recent, slot.pending)) return false;
  slot.bytes += slot.pending;
  slot.pending = 0;
  return true;
}

inline void IndexBuilder::Take(Slot& slot, uint32_t number) {
  uint32_t delta = number - slot.last;
  slot.last = number;
  ++slot.total;
  if (slot.pending + 5u > sizeof slot.recent && !Settle(slot)) {
    // The block is full: every list goes to a run, this one's recent bytes too.
    failed_ = Spill();
    if (failed_ != 0) return;
  }
  while (delta >= 0x80) {
    slot.recent[slot.pending++] = static_cast<uint8_t>(delta | 0x80);
    delta >>= 7;
  }
  slot.recent[slot.pending++] = static_cast<uint8_t>(delta);
}

uint32_t IndexBuilder::Add(std::string_view record) {
  const uint32_t number = ++records_;
  if (failed_ != 0) return number;  // the build is lost: FtsClose says so
  // The record's keys first, so that their entries are fetched from memory
  // a few keys ahead of their use rather than one after another.
  recordKeys_.clear();
  ForEachRecordKey(record, [&](Key key) { recordKeys_.push_back(key); });
  const size_t n = recordKeys_.size();
  for (size_t i = 0; i < n && i < kAhead; ++i)
    __builtin_prefetch(&slots_[Hash(recordKeys_[i], slots_.size() - 1)]);
  for (size_t i = 0; i < n; ++i) {
    if (i + kAhead < n)
      __builtin_prefetch(&slots_[Hash(recordKeys_[i + kAhead], slots_.size() - 1)]);
    Slot& slot = SlotOf(recordKeys_[i]);
    if (slot.last != number) Take(slot, number);  // once per record
    if (failed_ != 0) break;
  }
  return number;
}

std::vector<const IndexBuilder::Slot*> IndexBuilder::KeyOrder() const {
  std::vector<const Slot*> order;
  order.reserve(keys_);
  for (const Slot& s : slots_)
    if (s.key != 0) order.push_back(&s);
  std::sort(order.begin(), order.end(),
            [](const Slot* a, const Slot* b) { return a->key < b->key; });
  return order;
}

int32_t IndexBuilder::Spill() {
  if (!spill_.Active()) {
    // Beside the file the index will replace.
    std::string target;
    if (ResolveTarget(path_, target) != 0) return FTS_ERR_IO;
    if (const int32_t r = spill_.Create(io_, target)) return r;
  }
  spill_.BeginRun();
  for (const Slot* s : KeyOrder()) {
    Slot& slot = const_cast<Slot&>(*s);
    if (slot.bytes + slot.pending == 0) continue;
    uint8_t head[8];
    Store32(head, slot.key);
    Store32(head + 4, slot.bytes + slot.pending);
    int32_t r = spill_.Append(head, sizeof head);
    arena_.ForEachPiece(slot.chain, [&](const uint8_t* data, size_t size) {
      if (r == 0) r = spill_.Append(data, size);
    });
    if (r == 0) r = spill_.Append(slot.recent, slot.pending);
    if (r != 0) return r;
    slot.chain = PostingArena::Chain();
    slot.bytes = 0;
    slot.pending = 0;
  }
  arena_.Clear();
  return spill_.EndRun();
}

int32_t IndexBuilder::Write() {
  if (failed_ != 0 || !Usable()) return FTS_ERR_IO;
  IndexWriter writer;
  if (const int32_t r = writer.Begin(io_, path_, records_)) return r;
  std::vector<SpillFile::Reader> runs;
  for (size_t r = 0; r < spill_.Runs(); ++r) runs.emplace_back(spill_, r);
  std::vector<uint8_t> deltas;
  std::vector<uint32_t> values;
  for (const Slot* slot : KeyOrder()) {
    // A key's deltas run on from one run to the next: its bytes from every
    // run that has them, in order, then those still in memory.
    deltas.clear();
    for (SpillFile::Reader& run : runs) {
      Key next = 0;
      if (run.Peek(next) && next == slot->key)
        if (run.Take(deltas) != 0) return FTS_ERR_IO;
      if (run.Error()) return FTS_ERR_IO;
    }
    arena_.ForEachPiece(slot->chain, [&](const uint8_t* data, size_t size) {
      deltas.insert(deltas.end(), data, data + size);
    });
    deltas.insert(deltas.end(), slot->recent, slot->recent + slot->pending);
    // A key's record numbers are as many as it took and end where it ended;
    // otherwise the temporary file changed under the build.
    if (!DecodeDeltas(deltas, slot->total, values) || values.empty() || values.back() != slot->last)
      return FTS_ERR_IO;
    if (const int32_t r = writer.AddList(slot->key, values)) return r;
  }
  return writer.Finish(tag_);
}

}  // namespace fts
