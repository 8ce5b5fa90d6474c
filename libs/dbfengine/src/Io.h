// The I/O layer: the dbe_io table in force and a file opened through it.
// Every byte of every file the engine reads or writes passes through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dbfengine.h"

namespace dbe {

const dbe_io& defaultIo();
// The layer that files opened now use.
const dbe_io& currentIo();
// False (nothing changed) when `io` is incomplete or of another version.
bool installIo(const dbe_io* io);

// Text of an errno value from the layer ("unknown error" for 0).
std::string ioErrorText(int error);

// One file opened through the layer in force at its open; closed at the end
// of its life.
class IoFile {
 public:
  IoFile() = default;
  IoFile(const IoFile&) = delete;
  IoFile& operator=(const IoFile&) = delete;
  ~IoFile() { close(); }

  // `how` is DBE_IO_READ or DBE_IO_CREATE; false with `error` set.
  bool open(const std::string& path, int how, int& error);
  bool isOpen() const { return handle_ != nullptr; }
  void close();

  // Size now; -1 with `error` set.
  int64_t size(int& error) const;
  // Up to `count` bytes at `offset`: the bytes read (fewer where the file
  // ends), or -1 with `error` set.
  int64_t read(void* to, size_t count, uint64_t offset, int& error) const;
  // 0, or an errno value.
  int write(const void* from, size_t count, uint64_t offset) const;
  int sync() const;
  // 0, EWOULDBLOCK when held elsewhere, or another error; 0 when the layer
  // does not lock.
  int lock(bool exclusive) const;
  const dbe_io& io() const { return *io_; }

 private:
  const dbe_io* io_ = nullptr;
  void* handle_ = nullptr;
};

}  // namespace dbe
