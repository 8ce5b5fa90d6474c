#include "AtomicFile.h"

#include <sys/random.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace dbe {

namespace {

// Letters for the new file's name, from the system's random source.
std::string randomLetters(size_t n) {
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[32];
  if (n > sizeof bytes) n = sizeof bytes;
  size_t got = 0;
  while (got < n) {
    const ssize_t r = getrandom(bytes + got, n - got, 0);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    // Without the random source (never on Linux), the address and time still
    // differ between runs; O_EXCL keeps even a guessed name safe.
    const unsigned v = i < got ? bytes[i] : static_cast<unsigned>(std::rand());
    out.push_back(kAlphabet[v % (sizeof kAlphabet - 1)]);
  }
  return out;
}

}  // namespace

AtomicFile::~AtomicFile() {
  if (!temp_.empty()) {
    file_.close();
    file_.io().remove(temp_.c_str());
  }
}

bool AtomicFile::fail(const std::string& what, int error, std::string& message) {
  message = "cannot write " + target_ + ": " + what + (error ? ": " + ioErrorText(error) : "");
  return false;
}

bool AtomicFile::begin(const std::string& target, std::string& message) {
  target_ = target;
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      // The file the link names is replaced, never the link.
      char resolved[PATH_MAX];
      if (!realpath(target.c_str(), resolved) || stat(resolved, &st) != 0)
        return fail("it is a symbolic link to nothing", 0, message);
      target_ = resolved;
    }
    if (!S_ISREG(st.st_mode))
      return fail(S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file", 0, message);
    keepMode_ = true;
    mode_ = st.st_mode & 07777;
  }
  const size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  int error = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string temp = folder + "." + name + ".tmp-" + randomLetters(12);
    if (file_.open(temp, DBE_IO_CREATE, error)) {
      temp_ = temp;
      if (keepMode_) chmod(temp_.c_str(), mode_);  // best effort: the content matters
      return true;
    }
    if (error != EEXIST) break;
  }
  return fail("cannot create a file beside it", error, message);
}

bool AtomicFile::write(const void* data, size_t size, uint64_t offset, std::string& message) {
  if (const int error = file_.write(data, size, offset))
    return fail("write failed", error, message);
  return true;
}

bool AtomicFile::commit(std::string& message) {
  if (const int error = file_.sync()) return fail("sync failed", error, message);
  file_.close();
  const dbe_io& io = file_.io();
  if (const int error = io.rename(temp_.c_str(), target_.c_str()))
    return fail("rename failed", error, message);
  temp_.clear();
  if (const int error = io.sync_folder(target_.c_str()))
    return fail("sync of its folder failed", error, message);
  return true;
}

}  // namespace dbe
