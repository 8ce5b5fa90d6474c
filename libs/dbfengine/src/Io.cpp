#include "Io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cstdio>

namespace dbe {

namespace {

// A handle of the default layer is the descriptor plus one, so that 0 stays
// free for "no file".
int fdOf(void* file) {
  return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1;
}

void* osOpen(const char* path, int how, int* error) {
  int fd;
  if (how == DBE_IO_CREATE) {
    fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  } else {
    // Non-blocking, so that a FIFO named as a table does not wait for a
    // writer; it is refused below like any file that is not a regular one.
    fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
      struct stat st {};
      int why = 0;
      if (fstat(fd, &st) != 0)
        why = errno;
      else if (S_ISDIR(st.st_mode))
        why = EISDIR;
      else if (!S_ISREG(st.st_mode))
        why = ENODEV;
      if (why) {
        ::close(fd);
        *error = why;
        return nullptr;
      }
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
  }
  if (fd < 0) {
    *error = errno;
    return nullptr;
  }
  return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

int64_t osSize(void* file, int* error) {
  struct stat st {};
  if (fstat(fdOf(file), &st) != 0) {
    *error = errno;
    return -1;
  }
  return static_cast<int64_t>(st.st_size);
}

int64_t osRead(void* file, void* buffer, int64_t count, int64_t offset, int* error) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fdOf(file), static_cast<char*>(buffer) + done,
                              static_cast<size_t>(count - done), static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = errno;
      return -1;
    }
    if (n == 0) break;  // end of file
    done += n;
  }
  return done;
}

int osWrite(void* file, const void* buffer, int64_t count, int64_t offset) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pwrite(fdOf(file), static_cast<const char*>(buffer) + done,
                 static_cast<size_t>(count - done), static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += n;
  }
  return 0;
}

int osSync(void* file) {
  return fsync(fdOf(file)) == 0 ? 0 : errno;
}

int osLock(void* file, int exclusive) {
  if (flock(fdOf(file), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return 0;
  return errno == EWOULDBLOCK ? EWOULDBLOCK : errno;
}

void osClose(void* file) {
  ::close(fdOf(file));
}

int osRename(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 0 : errno;
}

int osRemove(const char* path) {
  return ::unlink(path) == 0 ? 0 : errno;
}

int osSyncFolder(const char* path) {
  std::string folder = path;
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return result;
}

const dbe_io kOsIo = {DBE_IO_VERSION, osOpen,  osSize,   osRead,   osWrite,     osSync,
                      osLock,         osClose, osRename, osRemove, osSyncFolder};

const dbe_io* g_io = &kOsIo;

}  // namespace

const dbe_io& defaultIo() {
  return kOsIo;
}

const dbe_io& currentIo() {
  return *g_io;
}

bool installIo(const dbe_io* io) {
  if (!io) {
    g_io = &kOsIo;
    return true;
  }
  if (io->version != DBE_IO_VERSION || !io->open || !io->size || !io->read || !io->write ||
      !io->sync || !io->close || !io->rename || !io->remove || !io->sync_folder)
    return false;
  g_io = io;
  return true;
}

std::string ioErrorText(int error) {
  return error ? std::strerror(error) : "unknown error";
}

bool IoFile::open(const std::string& path, int how, int& error) {
  close();
  io_ = &currentIo();
  error = 0;
  handle_ = io_->open(path.c_str(), how, &error);
  if (!handle_ && error == 0) error = EIO;
  return handle_ != nullptr;
}

void IoFile::close() {
  if (handle_) io_->close(handle_);
  handle_ = nullptr;
}

int64_t IoFile::size(int& error) const {
  error = 0;
  const int64_t n = io_->size(handle_, &error);
  if (n < 0 && error == 0) error = EIO;
  return n;
}

int64_t IoFile::read(void* to, size_t count, uint64_t offset, int& error) const {
  error = 0;
  const int64_t n =
      io_->read(handle_, to, static_cast<int64_t>(count), static_cast<int64_t>(offset), &error);
  if (n < 0 && error == 0) error = EIO;
  // A layer that answers more than was asked is taken at its word only up
  // to the buffer's end.
  return n > static_cast<int64_t>(count) ? static_cast<int64_t>(count) : n;
}

int IoFile::write(const void* from, size_t count, uint64_t offset) const {
  return io_->write(handle_, from, static_cast<int64_t>(count), static_cast<int64_t>(offset));
}

int IoFile::sync() const {
  return io_->sync(handle_);
}

int IoFile::lock(bool exclusive) const {
  return io_->lock ? io_->lock(handle_, exclusive ? 1 : 0) : 0;
}

}  // namespace dbe
