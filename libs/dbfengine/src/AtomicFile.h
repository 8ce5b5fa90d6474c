// The engine's one writer of files: a new file beside the target under a name
// no one can guess, synced, renamed over the target, and the folder synced,
// so that the target is the old file or the whole new one. A target that is
// not a regular file is refused; a symbolic link is followed to its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Io.h"

namespace dbe {

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the new file unless it was committed.
  ~AtomicFile();

  // Checks `target` and creates the new file beside it. False with a
  // message on failure.
  bool begin(const std::string& target, std::string& message);
  // Writes at `offset` of the new file.
  bool write(const void* data, size_t size, uint64_t offset, std::string& message);
  // Syncs and renames the new file over the target, then syncs the folder.
  bool commit(std::string& message);

 private:
  bool fail(const std::string& what, int error, std::string& message);

  IoFile file_;
  std::string target_;  // after following links
  std::string temp_;
  bool keepMode_ = false;
  unsigned mode_ = 0;
};

}  // namespace dbe
