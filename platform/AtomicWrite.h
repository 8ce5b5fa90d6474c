#pragma once
// Writing a file so that readers see either the old file or the whole new one:
// the one writer of the program's files outside the two libraries (the
// settings file, the tables an import writes).
//
// The bytes go to a temporary file ".<name>.tmp-XXXXXX" beside the target
// (an unpredictable name, created exclusively), which its writer holds locked
// (flock) for as long as it exists; it is flushed to disk, renamed over the
// target, and the folder is flushed so that the rename survives a power loss.
// A temporary that no live writer holds is a leftover of one that was killed:
// the next write to that target removes it.
//
// A target that exists must be a regular file: a device, a FIFO, a socket or
// a folder is refused, and a symbolic link is followed to the file it names
// (a link to nothing is refused), so that the link stays a link. The new file
// keeps the mode (and, where allowed, the owner) of the file it replaces.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// What the replaced file leaves behind; each name is left out when empty.
struct Backups {
  std::string last;      // the replaced file, replacing an older one of that name
  std::string original;  // the replaced file as well, once: only when none is there yet
};

class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();  // removes a temporary that was not committed

  // Checks the target, removes the leftovers of killed writers of it and of
  // its backups, and creates the temporary. False with the reason in *why.
  bool Begin(const std::string& path, const Backups& backups, std::string* why);
  // Appends bytes to the temporary. A large file goes to the disk while it
  // is written, so that the flush at the end has little left to do.
  bool Write(std::string_view bytes, std::string* why);
  // Makes room for a file of size bytes at once, so that a disk too small
  // says so before the bytes are made.
  bool Reserve(uint64_t size, std::string* why);
  // Writes bytes at offset; several threads may write parts that do not
  // overlap at the same time (but not beside Write).
  bool WriteAt(uint64_t offset, std::string_view bytes, std::string* why);
  // Starts writing out the part of the file written at [offset, offset + size).
  void HandToDisk(uint64_t offset, uint64_t size);
  // Flushes the temporary, keeps the backups and renames it over the target.
  // On failure nothing has changed and the temporary is gone. When the
  // folder cannot be flushed after the rename the new file is in place all
  // the same: true, with that in *warning.
  bool Commit(std::string* why, std::string* warning = nullptr);
  // Removes the temporary; the target stays as it was.
  void Abandon();

  // The file that is replaced: the target, or the file its link names.
  const std::string& target() const { return target_; }
  // The folder of target().
  const std::string& folder() const { return folder_; }

 private:
  std::string target_, folder_, temp_;
  Backups backups_;
  int fd_ = -1;
  uint64_t written_ = 0, handedToDisk_ = 0;
  bool replaces_ = false;  // the target exists
};

// One whole file at once through an AtomicFile.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* why,
                         const Backups& backups = {});

// Receives the bytes of a file in pieces; false when they cannot be written.
using ByteSink = std::function<bool(std::string_view bytes)>;

// As WriteFileAtomically for a file too large to hold whole: produce hands
// the bytes to its sink in order and answers false when it fails. A producer
// that fails on its own (not through the sink) says why in *why itself.
bool WriteStreamAtomically(const std::string& path,
                           const std::function<bool(const ByteSink& sink)>& produce,
                           std::string* why, const Backups& backups = {},
                           std::string* warning = nullptr);

// Removes the temporaries of path that no live writer holds; answers how many.
int RemoveStaleTemporaries(const std::string& path);

// "a character device", "a FIFO", "a folder", ... for a file that is not a
// regular file; empty for a regular one.
std::string NonRegularKind(unsigned mode);

}  // namespace platform
