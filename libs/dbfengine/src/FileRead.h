// Reading files into the engine's own memory. Tables and index files are read
// whole at open and memo blocks when asked for, so that no later read depends
// on the file staying as it was: another process may truncate or replace a
// file while it is open, which a mapping would turn into SIGBUS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace dbe {

// Reads up to `size` bytes at `offset`, retrying short reads and EINTR.
// Answers the bytes read (fewer at the end of the file), or -1 with errno set.
long long readAt(int fd, void* to, size_t size, uint64_t offset);

// Reads the first `size` bytes of the file (its size at fstat) into new
// memory. `got` becomes the bytes actually read, fewer when the file shrank
// meanwhile. False on a read error or when memory runs out; `why` says which.
bool readWhole(int fd, size_t size, std::unique_ptr<uint8_t[]>& out, size_t& got, std::string& why);

}  // namespace dbe
