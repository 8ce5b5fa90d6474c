#pragma once
// The bytes of one input, read in pieces: a file (or a pipe) here, a member
// of a zip archive in ZipArchive.h. Nothing is mapped, so a file that is cut
// short while it is read is an error to report, not a fault of the process.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace postal {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to size bytes into buf: how many, 0 at the end, -1 on a fault with
  // the reason in *why.
  virtual ssize_t Read(char* buf, size_t size, std::string* why) = 0;
  // The size the input announces (a regular file's, a zip member's); 0 when
  // it announces none (a pipe).
  virtual uint64_t ExpectedSize() const = 0;
};

class FileSource : public ByteSource {
 public:
  FileSource() = default;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  // Opens path for reading; a folder is refused.
  bool Open(const std::string& path, std::string* why);
  // At the end of a regular file, a file shorter than when it was opened,
  // or changed since, is a fault: it was written while it was read.
  ssize_t Read(char* buf, size_t size, std::string* why) override;
  uint64_t ExpectedSize() const override { return regular_ ? static_cast<uint64_t>(size_) : 0; }
  bool IsRegular() const { return regular_; }
  // The first bytes of a regular file, read without moving on (empty for a
  // pipe, whose bytes can be read only once).
  std::string Head(size_t size) const;
  // Makes a pipe readable again: its bytes go to an unnamed file in folder
  // (no more than a postal text file can hold: LineReader's limits stop the
  // copy a byte past either), which is then read instead.
  bool KeepPipe(const std::string& folder, std::string* why);
  // Back to the first byte of a regular file, for another reading of it; its
  // size and time are still those it had when it was opened.
  bool Rewind(std::string* why);

 private:
  int fd_ = -1;
  bool regular_ = false;
  off_t size_ = 0;
  struct timespec modified_ {};
  uint64_t read_ = 0;
};

// Reads another source ahead in a thread of its own, a few pieces at a
// time, so that the work of producing the bytes (inflating a zip's member)
// runs beside the work of reading them. The source is used by that thread
// alone until this object is gone.
class ReadAheadSource : public ByteSource {
 public:
  explicit ReadAheadSource(ByteSource* source);
  ReadAheadSource(const ReadAheadSource&) = delete;
  ReadAheadSource& operator=(const ReadAheadSource&) = delete;
  ~ReadAheadSource() override;

  ssize_t Read(char* buf, size_t size, std::string* why) override;
  uint64_t ExpectedSize() const override { return expected_; }

 private:
  struct Shared;
  std::unique_ptr<Shared> shared_;
  uint64_t expected_;
};

}  // namespace postal
