// A test I/O layer over the engine's default one: it counts the reads and
// writes of the files whose path ends with a given suffix and turns one of
// them into a fault (a failing read at the Nth call, a short read, a file
// that shrinks from the Nth read on, a failing write, a failing open).
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>

#include "libs/dbfengine/dbfengine.h"

namespace dbftest {

struct FaultPlan {
  enum class Kind { None, FailRead, ShortRead, Shrink, FailWrite, FailOpen };
  std::string suffix;  // watched files: their path ends so ("" for every file)
  Kind kind = Kind::None;
  long at = 0;           // the watched read (or write) that goes wrong, 1 = first
  int64_t shrinkTo = 0;  // Shrink: the size the file has from read `at` on

  // What the engine did with the watched files.
  long opens = 0, reads = 0, writes = 0;
  int64_t bytesRead = 0;

  bool shrunk() const { return kind == Kind::Shrink && reads >= at; }
};

class FaultyIo {
 public:
  explicit FaultyIo(FaultPlan& plan) {
    plan_ = &plan;
    installed_ = dbe_SetIo(&kIo) != 0;
  }
  ~FaultyIo() {
    dbe_SetIo(nullptr);
    plan_ = nullptr;
  }
  FaultyIo(const FaultyIo&) = delete;
  FaultyIo& operator=(const FaultyIo&) = delete;
  bool installed() const { return installed_; }

 private:
  struct Handle {
    void* inner;
    bool watched;
  };
  static const dbe_io& os() { return *dbe_DefaultIo(); }
  static Handle* of(void* f) { return static_cast<Handle*>(f); }
  static bool watches(const char* path) {
    const std::string p = path, s = plan_->suffix;
    return p.size() >= s.size() && p.compare(p.size() - s.size(), s.size(), s) == 0;
  }

  static void* open(const char* path, int how, int* error) {
    const bool watched = watches(path);
    if (watched) {
      ++plan_->opens;
      if (plan_->kind == FaultPlan::Kind::FailOpen) {
        *error = EACCES;
        return nullptr;
      }
    }
    void* inner = os().open(path, how, error);
    return inner ? new Handle{inner, watched} : nullptr;
  }
  static int64_t size(void* f, int* error) {
    const int64_t n = os().size(of(f)->inner, error);
    if (of(f)->watched && plan_->shrunk() && n > plan_->shrinkTo) return plan_->shrinkTo;
    return n;
  }
  static int64_t read(void* f, void* buffer, int64_t count, int64_t offset, int* error) {
    if (of(f)->watched) {
      const long n = ++plan_->reads;
      if (plan_->kind == FaultPlan::Kind::FailRead && n == plan_->at) {
        *error = EIO;
        return -1;
      }
      if (plan_->kind == FaultPlan::Kind::ShortRead && n == plan_->at) count /= 2;
      if (plan_->shrunk()) {
        if (offset >= plan_->shrinkTo) return 0;
        if (count > plan_->shrinkTo - offset) count = plan_->shrinkTo - offset;
      }
    }
    const int64_t got = os().read(of(f)->inner, buffer, count, offset, error);
    if (of(f)->watched && got > 0) plan_->bytesRead += got;
    return got;
  }
  static int write(void* f, const void* buffer, int64_t count, int64_t offset) {
    if (of(f)->watched && ++plan_->writes == plan_->at && plan_->kind == FaultPlan::Kind::FailWrite)
      return ENOSPC;
    return os().write(of(f)->inner, buffer, count, offset);
  }
  static int sync(void* f) { return os().sync(of(f)->inner); }
  static int lock(void* f, int exclusive) { return os().lock(of(f)->inner, exclusive); }
  static void close(void* f) {
    os().close(of(f)->inner);
    delete of(f);
  }
  static int rename(const char* from, const char* to) { return os().rename(from, to); }
  static int remove(const char* path) { return os().remove(path); }
  static int syncFolder(const char* path) { return os().sync_folder(path); }

  static inline FaultPlan* plan_ = nullptr;
  static inline const dbe_io kIo = {DBE_IO_VERSION, open,  size,   read,   write,     sync,
                                    lock,           close, rename, remove, syncFolder};
  bool installed_ = false;
};

}  // namespace dbftest
