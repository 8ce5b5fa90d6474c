#include "libs/ftsindex/Handles.h"

#include <atomic>
#include <mutex>

#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

// handle = generation * FTS_MAX_OPEN + slot + 1, so a closed handle's slot can
// be reused without the old handle ever naming the new index.
constexpr int32_t kGenerations = 0x7FFFFFFF / FTS_MAX_OPEN - 1;

struct Slot {
  std::atomic<int32_t> handle{0};
  std::atomic<Index*> index{nullptr};
  int32_t generation = 0;
};

Slot g_slots[FTS_MAX_OPEN];
std::mutex g_mutex;  // guards registering and releasing

}  // namespace

int32_t Register(std::unique_ptr<Index> index) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (int32_t s = 0; s < FTS_MAX_OPEN; ++s) {
    Slot& slot = g_slots[s];
    if (slot.index.load(std::memory_order_relaxed) != nullptr) continue;
    if (slot.generation >= kGenerations) continue;  // every handle of this slot used up
    const int32_t handle = slot.generation * FTS_MAX_OPEN + s + 1;
    ++slot.generation;
    slot.index.store(index.release(), std::memory_order_relaxed);
    slot.handle.store(handle, std::memory_order_release);
    return handle;
  }
  return FTS_ERR_FULL;
}

Index* Lookup(int32_t handle) {
  if (handle <= 0) return nullptr;
  const Slot& slot = g_slots[(handle - 1) % FTS_MAX_OPEN];
  if (slot.handle.load(std::memory_order_acquire) != handle) return nullptr;
  return slot.index.load(std::memory_order_relaxed);
}

std::unique_ptr<Index> Release(int32_t handle) {
  if (handle <= 0) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  Slot& slot = g_slots[(handle - 1) % FTS_MAX_OPEN];
  if (slot.handle.load(std::memory_order_relaxed) != handle) return nullptr;
  slot.handle.store(0, std::memory_order_release);
  return std::unique_ptr<Index>(slot.index.exchange(nullptr));
}

}  // namespace fts
