#pragma once
// The table of open indexes behind the handles of the C interface.
#include <cstdint>
#include <memory>

#include "libs/ftsindex/Index.h"

namespace fts {

// Stores index and returns its new handle (> 0), or FTS_ERR_FULL.
int32_t Register(std::unique_ptr<Index> index);
// The index of a live handle, or null. Lock-free: calls on one handle must
// not overlap with its release.
Index* Lookup(int32_t handle);
// Takes the index out of the table; null for a dead handle.
std::unique_ptr<Index> Release(int32_t handle);

}  // namespace fts
