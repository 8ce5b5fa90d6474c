#include "platform/AtomicWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryPrefix(const std::string& path) {
  std::string prefix = ".";
  prefix += BaseOf(path);
  prefix += ".tmp-";
  return prefix;
}

bool Fail(std::string* why, const std::string& what, int error = errno) {
  if (why) *why = what + ": " + std::strerror(error);
  return false;
}

bool Refuse(std::string* why, const std::string& what) {
  if (why) *why = what;
  return false;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Creates "<folder>/.<name>.tmp-XXXXXX" for path, locked for as long as its
// descriptor is open; the descriptor, or -1 with errno set.
int CreateLockedTemporary(const std::string& path, std::string* tempPath) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string pattern = FolderOf(path) + "/" + TemporaryPrefix(path) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    *tempPath = name.data();
    if (fd < 0) return -1;
    // Between the create and the lock another writer may have taken the
    // file for a leftover and removed it: then the name leads elsewhere.
    struct stat mine, named;
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &mine) == 0 &&
        ::lstat(tempPath->c_str(), &named) == 0 && SameFile(mine, named))
      return fd;
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The file a write to path replaces: path itself, or the file its symbolic
// link names. Refuses anything that is not a regular file.
bool ResolveTarget(const std::string& path, std::string* target, struct stat* st, bool* exists,
                   std::string* why) {
  if (path.empty()) return Refuse(why, "no file name given");
  *target = path;
  *exists = false;
  if (::lstat(path.c_str(), st) != 0) {
    if (errno == ENOENT) return true;
    return Fail(why, path);
  }
  if (S_ISLNK(st->st_mode)) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
      if (errno == ENOENT) return Refuse(why, path + ": a symbolic link to a missing file");
      return Fail(why, path);
    }
    *target = resolved;
    if (::stat(resolved, st) != 0) return Fail(why, path);
  }
  const std::string kind = NonRegularKind(st->st_mode);
  if (!kind.empty()) {
    std::string what = path;
    if (*target != path) what += " (a link to " + *target + ")";
    return Refuse(why, what + ": " + kind + ", not a regular file; it is left alone");
  }
  *exists = true;
  return true;
}

// Copies the file at path into a new locked temporary for name; its path
// in *temp.
bool CopyToTemporary(const std::string& path, const std::string& name, std::string* temp,
                     std::string* why) {
  const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail(why, path);
  const int out = CreateLockedTemporary(name, temp);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    return Fail(why, *temp, error);
  }
  std::vector<char> buf(1 << 20);
  bool ok = true;
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) break;
    if (n < 0 || !WriteAll(out, std::string_view(buf.data(), static_cast<size_t>(n)))) {
      ok = false;
      error = errno;
      break;
    }
  }
  if (ok && ::fsync(out) != 0) {
    ok = false;
    error = errno;
  }
  ::close(in);
  ::close(out);
  if (!ok) {
    ::unlink(temp->c_str());
    return Fail(why, *temp, error);
  }
  return true;
}

// Keeps the file at path as backup, replacing an older backup: a second name
// for the same file where the file system allows it, else a copy.
bool KeepLast(const std::string& path, const std::string& backup, std::string* why) {
  std::string temp;
  const int fd = CreateLockedTemporary(backup, &temp);
  if (fd < 0) return Fail(why, temp);
  ::unlink(temp.c_str());
  ::close(fd);
  if (::link(path.c_str(), temp.c_str()) != 0 && !CopyToTemporary(path, backup, &temp, why))
    return false;
  if (::rename(temp.c_str(), backup.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Fail(why, backup, error);
  }
  return true;
}

// Keeps the file at path as original unless a file of that name exists.
bool KeepOriginal(const std::string& path, const std::string& original, std::string* why) {
  if (::link(path.c_str(), original.c_str()) == 0 || errno == EEXIST) return true;
  std::string temp;
  if (!CopyToTemporary(path, original, &temp, why)) return false;
  const bool linked = ::link(temp.c_str(), original.c_str()) == 0 || errno == EEXIST;
  const int error = errno;
  ::unlink(temp.c_str());
  return linked || Fail(why, original, error);
}

}  // namespace

std::string NonRegularKind(unsigned mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "a special file";
}

int RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path), prefix = TemporaryPrefix(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string file = folder + "/" + name;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat held, named;
    // Unlocked: its writer is gone (a lock ends with its process).
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(file.c_str(), &named) == 0 && SameFile(held, named) && ::unlink(file.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

AtomicFile::~AtomicFile() {
  Abandon();
}

bool AtomicFile::Begin(const std::string& path, const Backups& backups, std::string* why) {
  Abandon();
  struct stat st {};
  if (!ResolveTarget(path, &target_, &st, &replaces_, why)) return false;
  folder_ = FolderOf(target_);
  backups_ = backups;
  RemoveStaleTemporaries(target_);
  for (const std::string* backup : {&backups_.last, &backups_.original})
    if (!backup->empty()) RemoveStaleTemporaries(*backup);
  written_ = handedToDisk_ = 0;
  fd_ = CreateLockedTemporary(target_, &temp_);
  if (fd_ < 0) return Fail(why, temp_);
  // mkostemp makes the file private; a table is an ordinary readable file,
  // or as readable as the one it replaces.
  const mode_t mode = replaces_ ? st.st_mode & 07777 : 0644;
  if (::fchmod(fd_, mode) != 0) {
    const int error = errno;
    Abandon();
    return Fail(why, temp_, error);
  }
  if (replaces_ && ::fchown(fd_, st.st_uid, st.st_gid) != 0) {
    // Only root may give a file away; the group, where the writer is in it.
    const int ignored = ::fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
    (void)ignored;
  }
  return true;
}

bool AtomicFile::Write(std::string_view bytes, std::string* why) {
  if (fd_ < 0) return Refuse(why, "no file is being written");
  if (!WriteAll(fd_, bytes)) return Fail(why, temp_);
  written_ += bytes.size();
  constexpr uint64_t kHandOn = uint64_t{32} << 20;
  if (written_ - handedToDisk_ >= kHandOn) {
    HandToDisk(handedToDisk_, written_ - handedToDisk_);
    handedToDisk_ = written_;
  }
  return true;
}

bool AtomicFile::Reserve(uint64_t size, std::string* why) {
  if (fd_ < 0) return Refuse(why, "no file is being written");
  const int error = ::posix_fallocate(fd_, 0, static_cast<off_t>(size));
  // A file system that cannot reserve room finds out on each write instead.
  return error == 0 || error == EOPNOTSUPP || error == EINVAL || Fail(why, temp_, error);
}

bool AtomicFile::WriteAt(uint64_t offset, std::string_view bytes, std::string* why) {
  if (fd_ < 0) return Refuse(why, "no file is being written");
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(why, temp_, n == 0 ? EIO : errno);
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

void AtomicFile::HandToDisk(uint64_t offset, uint64_t size) {
  // Starts the writing out and returns; the flush in Commit still waits for
  // all of it.
  if (fd_ >= 0)
    ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(size),
                      SYNC_FILE_RANGE_WRITE);
}

bool AtomicFile::Commit(std::string* why, std::string* warning) {
  if (fd_ < 0) return Refuse(why, "no file is being written");
  if (::fsync(fd_) != 0) {
    const int error = errno;
    Abandon();
    return Fail(why, temp_, error);
  }
  // What is there now, just before it is replaced.
  struct stat st;
  bool exists = false;
  std::string now;
  if (!ResolveTarget(target_, &now, &st, &exists, why)) {
    Abandon();
    return false;
  }
  if (now != target_) {
    Abandon();
    return Refuse(why, target_ + ": became a symbolic link while it was written; it is left alone");
  }
  if (exists) {
    if ((!backups_.original.empty() && !KeepOriginal(target_, backups_.original, why)) ||
        (!backups_.last.empty() && !KeepLast(target_, backups_.last, why))) {
      Abandon();
      return false;
    }
  }
  // Renamed while still open and locked, so that no other writer takes it
  // for a leftover.
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Abandon();
    return Fail(why, target_, error);
  }
  ::close(fd_);
  fd_ = -1;
  temp_.clear();
  const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool flushed = dir >= 0 && (::fsync(dir) == 0 || errno == EINVAL);
  const int error = errno;
  if (dir >= 0) ::close(dir);
  if (!flushed && warning)
    *warning = folder_ +
               ": the new file is in place, but the folder could not be flushed to disk (" +
               std::strerror(error) + "); a power loss may still undo the change";
  return true;
}

void AtomicFile::Abandon() {
  if (fd_ < 0) return;
  ::unlink(temp_.c_str());
  ::close(fd_);
  fd_ = -1;
  temp_.clear();
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* why,
                         const Backups& backups) {
  return WriteStreamAtomically(
      path, [&](const ByteSink& sink) { return sink(bytes); }, why, backups);
}

bool WriteStreamAtomically(const std::string& path,
                           const std::function<bool(const ByteSink& sink)>& produce,
                           std::string* why, const Backups& backups, std::string* warning) {
  AtomicFile file;
  if (!file.Begin(path, backups, why)) return false;
  std::string sinkError;
  if (!produce([&](std::string_view bytes) { return file.Write(bytes, &sinkError); })) {
    if (!sinkError.empty() && why) *why = sinkError;
    return false;
  }
  return file.Commit(why, warning);
}

}  // namespace platform
