// The default I/O layer: the operating system's files through pread and
// pwrite. Nothing is mapped, so a file cut short under an open index gives
// short reads, never SIGBUS.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/FileIo.h"

namespace fts {
namespace {

struct PosixFile {
  int fd;
};

int Fd(void* file) {
  return static_cast<PosixFile*>(file)->fd;
}

int32_t Wrap(int fd, void** file) {
  auto* f = new (std::nothrow) PosixFile{fd};
  if (!f) {
    ::close(fd);
    return FTS_ERR_IO;
  }
  *file = f;
  return 0;
}

int32_t Open(const fts_io*, const char* path, void** file) {
  // Non-blocking, so that a FIFO or device of that name cannot stall the open.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FTS_ERR_IO;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return FTS_ERR_IO;
  }
  return Wrap(fd, file);
}

int32_t Create(const fts_io*, const char* path, void** file) {
  const int fd = ::open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return FTS_ERR_IO;
  // Locked for as long as it is open. Between the create and the lock
  // another build may have taken the file for a leftover and removed it:
  // then the name no longer leads here.
  struct stat mine, named;
  if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &mine) != 0 || ::lstat(path, &named) != 0 ||
      mine.st_dev != named.st_dev || mine.st_ino != named.st_ino ||
      ::fchmod(fd, 0644) != 0) {  // an index is an ordinary readable file
    ::close(fd);
    return FTS_ERR_IO;
  }
  return Wrap(fd, file);
}

int32_t Size(void* file, uint64_t* size) {
  struct stat st;
  if (::fstat(Fd(file), &st) != 0) return FTS_ERR_IO;
  *size = static_cast<uint64_t>(st.st_size);
  return 0;
}

int32_t Read(void* file, void* buffer, uint64_t offset, uint64_t size, uint64_t* got) {
  auto* to = static_cast<char*>(buffer);
  uint64_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(Fd(file), to + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FTS_ERR_IO;
    if (n == 0) break;  // the end of the file
    done += static_cast<uint64_t>(n);
  }
  *got = done;
  return 0;
}

int32_t Write(void* file, const void* data, uint64_t offset, uint64_t size) {
  const auto* from = static_cast<const char*>(data);
  uint64_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pwrite(Fd(file), from + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return FTS_ERR_IO;
    done += static_cast<uint64_t>(n);
  }
  return 0;
}

int32_t Sync(void* file) {
  return ::fsync(Fd(file)) == 0 ? 0 : FTS_ERR_IO;
}

int32_t Close(void* file) {
  const int r = ::close(Fd(file));
  delete static_cast<PosixFile*>(file);
  return r == 0 ? 0 : FTS_ERR_IO;
}

int32_t Rename(const fts_io*, const char* from, const char* to) {
  if (::rename(from, to) != 0) return FTS_ERR_IO;
  // The rename itself survives a power loss once the folder is on disk.
  const int dir = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return FTS_ERR_IO;
  const bool synced = ::fsync(dir) == 0 || errno == EINVAL;  // a file system without it
  ::close(dir);
  return synced ? 0 : FTS_ERR_IO;
}

int32_t Remove(const fts_io*, const char* path) {
  return ::unlink(path) == 0 ? 0 : FTS_ERR_IO;
}

const fts_io kPosixIo = {FTS_IO_VERSION, nullptr, Open,  Create, Size,  Read,
                         Write,          Sync,    Close, Rename, Remove};

}  // namespace

const fts_io* DefaultIo() {
  return &kPosixIo;
}

}  // namespace fts
