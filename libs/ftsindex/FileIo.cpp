#include "libs/ftsindex/FileIo.h"

#include <atomic>
#include <utility>

namespace fts {
namespace {

std::atomic<const fts_io*> g_io{nullptr};

int32_t Checked(int32_t r) {
  return r == 0 ? 0 : FTS_ERR_IO;
}

}  // namespace

const fts_io* CurrentIo() {
  const fts_io* io = g_io.load(std::memory_order_acquire);
  return io ? io : DefaultIo();
}

int32_t InstallIo(const fts_io* io) {
  if (io && (io->version != FTS_IO_VERSION || !io->open || !io->create || !io->size || !io->read ||
             !io->write || !io->sync || !io->close || !io->rename || !io->remove))
    return FTS_ERR_ARG;
  g_io.store(io, std::memory_order_release);
  return 0;
}

IoFile::~IoFile() {
  Close();
}

IoFile::IoFile(IoFile&& other) noexcept
    : io_(std::exchange(other.io_, nullptr)), file_(std::exchange(other.file_, nullptr)) {}

IoFile& IoFile::operator=(IoFile&& other) noexcept {
  if (this != &other) {
    Close();
    io_ = std::exchange(other.io_, nullptr);
    file_ = std::exchange(other.file_, nullptr);
  }
  return *this;
}

int32_t IoFile::Open(const fts_io* io, const std::string& path) {
  Close();
  void* file = nullptr;
  if (io->open(io, path.c_str(), &file) != 0 || !file) return FTS_ERR_IO;
  io_ = io;
  file_ = file;
  return 0;
}

int32_t IoFile::Create(const fts_io* io, const std::string& path) {
  Close();
  void* file = nullptr;
  if (io->create(io, path.c_str(), &file) != 0 || !file) return FTS_ERR_IO;
  io_ = io;
  file_ = file;
  return 0;
}

int32_t IoFile::Size(uint64_t& size) const {
  size = 0;
  return file_ ? Checked(io_->size(file_, &size)) : FTS_ERR_IO;
}

int32_t IoFile::ReadExact(uint64_t offset, void* to, size_t size) const {
  if (!file_) return FTS_ERR_IO;
  if (size == 0) return 0;
  uint64_t got = 0;
  if (io_->read(file_, to, offset, size, &got) != 0 || got > size) return FTS_ERR_IO;
  return got == size ? 0 : FTS_ERR_FORMAT;  // the file ends before: cut short
}

int32_t IoFile::Write(uint64_t offset, const void* data, size_t size) {
  if (!file_) return FTS_ERR_IO;
  return size == 0 ? 0 : Checked(io_->write(file_, data, offset, size));
}

int32_t IoFile::Sync() {
  return file_ ? Checked(io_->sync(file_)) : FTS_ERR_IO;
}

int32_t IoFile::Close() {
  if (!file_) return 0;
  const int32_t r = Checked(io_->close(std::exchange(file_, nullptr)));
  io_ = nullptr;
  return r;
}

}  // namespace fts
