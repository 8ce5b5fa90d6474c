#include "libs/ftsindex/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

namespace fts {
namespace {

constexpr size_t kRandomLetters = 12;
constexpr int kCreateAttempts = 8;

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

bool IsAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Twelve letters and digits from the system's random source.
std::string RandomLetters() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[kRandomLetters];
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // No random source: still different from every other name, though guessable.
    static std::atomic<uint64_t> counter{0};
    uint64_t v = static_cast<uint64_t>(::getpid()) << 40 ^
                 static_cast<uint64_t>(std::time(nullptr)) ^
                 counter.fetch_add(0x9E3779B97F4A7C15ull);
    for (unsigned char& b : bytes) {
      v = v * 6364136223846793005ull + 1442695040888963407ull;
      b = static_cast<unsigned char>(v >> 56);
    }
  }
  std::string letters;
  for (unsigned char b : bytes) letters.push_back(kLetters[b % 62]);
  return letters;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

int32_t ResolveTarget(const std::string& path, std::string& target) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return FTS_ERR_IO;
    target = path;  // a new file
    return 0;
  }
  if (S_ISREG(st.st_mode)) {
    target = path;
    return 0;
  }
  if (!S_ISLNK(st.st_mode)) return FTS_ERR_IO;
  // A link: the file it leads to, which must be a regular one.
  char resolved[PATH_MAX];
  if (!::realpath(path.c_str(), resolved) || ::stat(resolved, &st) != 0 || !S_ISREG(st.st_mode))
    return FTS_ERR_IO;
  target = resolved;
  return 0;
}

int32_t CreateTemporary(const fts_io* io, const std::string& path, IoFile& file,
                        std::string& name) {
  const std::string prefix = FolderOf(path) + "/" + TemporaryPrefix(path);
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    name = prefix + RandomLetters();
    if (file.Create(io, name) == 0) return 0;
  }
  name.clear();
  return FTS_ERR_IO;
}

bool FolderTakesFiles(const fts_io* io, const std::string& path) {
  IoFile file;
  std::string name;
  if (CreateTemporary(io, path, file, name) != 0) return false;
  io->remove(io, name.c_str());
  file.Close();
  return true;
}

int RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path), prefix = TemporaryPrefix(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    // Six letters as earlier builds named them, or twelve.
    const size_t letters = name.size() - std::min(name.size(), prefix.size());
    if ((letters != 6 && letters != kRandomLetters) || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    bool plain = true;
    for (size_t i = prefix.size(); i < name.size(); ++i) plain = plain && IsAlphanumeric(name[i]);
    if (!plain) continue;
    const std::string file = folder + "/" + name;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat held, named;
    // Unlocked: its writer is gone (the lock ends with the process).
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(file.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino && ::unlink(file.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

int32_t AtomicFile::Begin(const fts_io* io, const std::string& path) {
  Abort();
  io_ = io;
  path_ = path;
  if (ResolveTarget(path, target_) != 0) return FTS_ERR_IO;
  return CreateTemporary(io, target_, file_, temp_);
}

int32_t AtomicFile::Commit() {
  if (temp_.empty()) return FTS_ERR_IO;
  // Renamed while still open, and so locked, so that no other build takes
  // it for a leftover; the data are on disk before the name changes.
  std::string target;
  int32_t r = file_.Sync();
  if (r == 0 && (ResolveTarget(path_, target) != 0 || target != target_)) r = FTS_ERR_IO;
  if (r == 0 && io_->rename(io_, temp_.c_str(), target_.c_str()) != 0) r = FTS_ERR_IO;
  if (r != 0) {
    Abort();
    return r;
  }
  temp_.clear();
  return file_.Close();
}

void AtomicFile::Abort() {
  if (!temp_.empty()) io_->remove(io_, temp_.c_str());
  temp_.clear();
  file_.Close();
}

}  // namespace fts
