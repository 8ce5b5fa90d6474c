#pragma once
// The library's one writer: a file written beside its name under an
// unpredictable temporary name, flushed, and renamed over the name, so that
// readers see either the old file or the whole new one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "libs/ftsindex/FileIo.h"

namespace fts {

// The file a writer of path replaces: path itself when it is a regular file
// or names nothing yet, the file a symbolic link leads to (so the link
// stays). FTS_ERR_IO for anything else: a device, FIFO, socket or folder, a
// link to one of them or to nothing.
int32_t ResolveTarget(const std::string& path, std::string& target);

// The folder of path: "." for a bare name, "/" for one at the root.
std::string FolderOf(const std::string& path);

// Creates a new file ".<name>.tmp-XXXXXXXXXXXX" beside path (twelve random
// letters and digits) through io; its name in *name. 0 or FTS_ERR_IO.
int32_t CreateTemporary(const fts_io* io, const std::string& path, IoFile& file, std::string& name);

// True when a new file can be created in the folder of path (tried with a
// temporary file that is removed again).
bool FolderTakesFiles(const fts_io* io, const std::string& path);

// Removes the temporary files of path that no live writer holds (the
// default I/O locks them while they are open): leftovers of a process killed
// between creating and renaming one. Answers how many.
int RemoveStaleTemporaries(const std::string& path);

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { Abort(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks path (ResolveTarget) and creates the temporary file beside it.
  int32_t Begin(const fts_io* io, const std::string& path);
  int32_t Write(uint64_t offset, const void* data, size_t size) {
    return file_.Write(offset, data, size);
  }
  // Flushes and closes the temporary file, checks the name again and
  // renames the file over it. On failure the temporary file is removed and
  // the name left as it was. 0 or FTS_ERR_IO.
  int32_t Commit();
  // Removes the temporary file, if any.
  void Abort();

 private:
  const fts_io* io_ = nullptr;
  std::string path_, target_, temp_;
  IoFile file_;
};

}  // namespace fts
