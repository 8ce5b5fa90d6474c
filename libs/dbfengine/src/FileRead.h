// Reading files into the engine's own memory. Tables and index files are read
// whole at open and memo blocks when asked for, so that no later read depends
// on the file staying as it was: another process may truncate or replace a
// file while it is open, which a mapping of the file would turn into SIGBUS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace dbe {

// Reads up to `size` bytes at `offset`, retrying short reads and EINTR.
// Answers the bytes read (fewer at the end of the file), or -1 with errno set.
long long readAt(int fd, void* to, size_t size, uint64_t offset);

// A file's bytes in memory of their own: an anonymous mapping, read-only once
// filled, on huge pages where the system gives them. A table is walked record
// by record; on 4 KiB pages that costs a TLB miss every few records, which a
// virtual machine makes dear (measured: 2-5 times slower than huge pages).
// Under AddressSanitizer plain heap memory instead, whose bounds it guards.
struct MemoryRelease {
  size_t size = 0;  // of the mapping; 0 for heap memory
  void operator()(uint8_t* p) const;
};
using FileBytes = std::unique_ptr<uint8_t[], MemoryRelease>;

// Reads the first `size` bytes of the file (its size at fstat) into new
// memory. `got` becomes the bytes actually read, fewer when the file shrank
// meanwhile. False on a read error or when memory runs out; `why` says which.
bool readWhole(int fd, size_t size, FileBytes& out, size_t& got, std::string& why);

}  // namespace dbe
