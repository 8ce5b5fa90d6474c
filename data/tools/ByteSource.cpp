#include "ByteSource.h"

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "LineReader.h"

namespace postal {

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileSource::Open(const std::string& path, std::string* why) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  int error = 0;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0)
    error = errno;
  else if (S_ISDIR(st.st_mode))
    error = EISDIR;
  if (error != 0) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    *why = std::strerror(error);
    return false;
  }
  regular_ = S_ISREG(st.st_mode);
  size_ = st.st_size;
  modified_ = st.st_mtim;
  read_ = 0;
  if (regular_) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

std::string FileSource::Head(size_t size) const {
  std::string head(size, '\0');
  ssize_t n = -1;
  if (fd_ >= 0 && regular_) {
    do n = ::pread(fd_, head.data(), size, 0);
    while (n < 0 && errno == EINTR);
  }
  head.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return head;
}

namespace {

// An unnamed file in folder, which goes with its last descriptor; -1 with
// errno set.
int CreateUnnamedFile(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  // A file system without unnamed files: a name removed at once.
  std::string name = folder + "/.postal-input-XXXXXX";
  const int named = ::mkostemp(name.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(name.c_str());
  return named;
}

}  // namespace

bool FileSource::KeepPipe(const std::string& folder, std::string* why) {
  if (regular_) return true;
  const int copy = CreateUnnamedFile(folder);
  if (copy < 0) {
    *why = folder + ": " + std::strerror(errno) + " (where a pipe's bytes are kept)";
    return false;
  }
  std::vector<char> buf(1 << 20);
  uint64_t total = 0;
  size_t line = 0;  // bytes since the last line end
  for (;;) {
    const ssize_t n = Read(buf.data(), buf.size(), why);
    if (n < 0) {
      ::close(copy);
      return false;
    }
    if (n == 0) break;
    for (ssize_t at = 0; at < n;) {
      const ssize_t written = ::write(copy, buf.data() + at, static_cast<size_t>(n - at));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        *why = folder + ": " + std::strerror(written < 0 ? errno : EIO) +
               " (where a pipe's bytes are kept)";
        ::close(copy);
        return false;
      }
      at += written;
    }
    total += static_cast<uint64_t>(n);
    const void* lf = ::memrchr(buf.data(), '\n', static_cast<size_t>(n));
    line = lf ? static_cast<size_t>(buf.data() + n - static_cast<const char*>(lf) - 1)
              : line + static_cast<size_t>(n);
    if (total > kMaxTextBytes || line > kMaxLineBytes) break;  // the reader refuses it
  }
  ::close(fd_);
  fd_ = copy;
  struct stat st;
  if (::fstat(fd_, &st) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
    *why = std::strerror(errno);
    return false;
  }
  regular_ = true;
  size_ = st.st_size;
  modified_ = st.st_mtim;
  read_ = 0;
  return true;
}

bool FileSource::Rewind(std::string* why) {
  if (fd_ < 0 || !regular_ || ::lseek(fd_, 0, SEEK_SET) != 0) {
    *why = fd_ < 0 ? "not open" : std::strerror(regular_ ? errno : ESPIPE);
    return false;
  }
  read_ = 0;
  return true;
}

ssize_t FileSource::Read(char* buf, size_t size, std::string* why) {
  if (fd_ < 0) {
    *why = "not open";
    return -1;
  }
  ssize_t n;
  do n = ::read(fd_, buf, size);
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    *why = std::strerror(errno);
    return -1;
  }
  read_ += static_cast<uint64_t>(n);
  if (n > 0 || !regular_) return n;
  struct stat st;
  if (read_ < static_cast<uint64_t>(size_)) {
    *why = "cut short while it was read (" + std::to_string(read_) + " of " +
           std::to_string(size_) + " bytes)";
    return -1;
  }
  if (::fstat(fd_, &st) != 0 || st.st_size != size_ || st.st_mtim.tv_sec != modified_.tv_sec ||
      st.st_mtim.tv_nsec != modified_.tv_nsec) {
    *why = "changed while it was read";
    return -1;
  }
  return 0;
}

struct ReadAheadSource::Shared {
  static constexpr size_t kPieces = 4, kPieceBytes = size_t{1} << 20;
  struct Piece {
    std::vector<char> bytes = std::vector<char>(kPieceBytes);
    size_t size = 0;
  };
  ByteSource* source;
  Piece pieces[kPieces];
  std::mutex mutex;
  std::condition_variable changed;
  size_t produced = 0, consumed = 0;  // pieces, counted from the start
  size_t offset = 0;                  // into the piece being consumed
  bool done = false, failed = false, stop = false;
  std::string why;
  std::thread thread;

  void Produce() {
    for (;;) {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return stop || produced - consumed < kPieces; });
      if (stop) return;
      Piece& piece = pieces[produced % kPieces];
      lock.unlock();
      std::string error;
      const ssize_t n = source->Read(piece.bytes.data(), piece.bytes.size(), &error);
      lock.lock();
      if (n <= 0) {
        done = true;
        failed = n < 0;
        why = std::move(error);
        changed.notify_all();
        return;
      }
      piece.size = static_cast<size_t>(n);
      ++produced;
      changed.notify_all();
    }
  }
};

ReadAheadSource::ReadAheadSource(ByteSource* source)
    : shared_(std::make_unique<Shared>()), expected_(source->ExpectedSize()) {
  shared_->source = source;
  shared_->thread = std::thread([s = shared_.get()] { s->Produce(); });
}

ReadAheadSource::~ReadAheadSource() {
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->stop = true;
  }
  shared_->changed.notify_all();
  shared_->thread.join();
}

ssize_t ReadAheadSource::Read(char* buf, size_t size, std::string* why) {
  Shared& s = *shared_;
  std::unique_lock<std::mutex> lock(s.mutex);
  s.changed.wait(lock, [&] { return s.consumed < s.produced || s.done; });
  if (s.consumed == s.produced) {
    if (!s.failed) return 0;
    *why = s.why;
    return -1;
  }
  Shared::Piece& piece = s.pieces[s.consumed % Shared::kPieces];
  lock.unlock();  // the producer leaves this piece alone until it is consumed
  const size_t n = std::min(size, piece.size - s.offset);
  std::memcpy(buf, piece.bytes.data() + s.offset, n);
  lock.lock();
  s.offset += n;
  if (s.offset == piece.size) {
    s.offset = 0;
    ++s.consumed;
    s.changed.notify_all();
  }
  return static_cast<ssize_t>(n);
}

}  // namespace postal
