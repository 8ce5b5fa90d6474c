#pragma once
// The library's side of the I/O layer: the installed fts_io, and a file
// opened through it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "libs/ftsindex/ftsindex.h"

namespace fts {

// The installed I/O (the default one unless FtsSetIo chose another).
const fts_io* CurrentIo();
// FtsSetIo: 0 or FTS_ERR_ARG.
int32_t InstallIo(const fts_io* io);
const fts_io* DefaultIo();

// One open file of an fts_io; closed when destroyed. Results are 0 or the
// library's error codes.
class IoFile {
 public:
  IoFile() = default;
  ~IoFile();
  IoFile(IoFile&& other) noexcept;
  IoFile& operator=(IoFile&& other) noexcept;
  IoFile(const IoFile&) = delete;
  IoFile& operator=(const IoFile&) = delete;

  int32_t Open(const fts_io* io, const std::string& path);
  int32_t Create(const fts_io* io, const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }

  int32_t Size(uint64_t& size) const;
  // Exactly size bytes at offset: FTS_ERR_IO when the read fails,
  // FTS_ERR_FORMAT when the file ends before.
  int32_t ReadExact(uint64_t offset, void* to, size_t size) const;
  int32_t Write(uint64_t offset, const void* data, size_t size);
  int32_t Sync();
  // Closes the file; FTS_ERR_IO when that fails (it is closed all the same).
  int32_t Close();

 private:
  const fts_io* io_ = nullptr;
  void* file_ = nullptr;
};

}  // namespace fts
