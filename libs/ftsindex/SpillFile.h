#pragma once
// The runs of a build that outgrew its memory: the lists of each run
// written one after another to a temporary file beside the index, whose name
// is removed as soon as it is made, and read back run by run for the merge.
// A run holds, in key order, for each list: its slot (4 bytes), its length
// (4 bytes) and its bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "libs/ftsindex/FileIo.h"

namespace fts {

class SpillFile {
 public:
  bool Active() const { return file_.IsOpen(); }
  // Creates the file beside path. 0 or FTS_ERR_IO.
  int32_t Create(const fts_io* io, const std::string& path);
  void BeginRun();
  int32_t Append(const void* data, size_t size);
  int32_t EndRun();
  size_t Runs() const { return runs_.size(); }

  // One run read from its start.
  class Reader {
   public:
    Reader(const SpillFile& spill, size_t run);
    // The slot of the next list; false at the end of the run.
    bool Peek(uint32_t& slot);
    // Appends the next list's bytes to out. 0 or FTS_ERR_IO / FTS_ERR_FORMAT.
    int32_t Take(std::vector<uint8_t>& out);
    // 0 unless a read failed.
    int32_t Error() const { return error_; }

   private:
    bool Fill(size_t need);

    const IoFile* file_;
    uint64_t at_, end_;  // file offsets of the next read and of the run's end
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;  // the unread bytes of buffer_ start here
    int32_t error_ = 0;
  };

 private:
  int32_t Flush();

  IoFile file_;
  uint64_t size_ = 0;  // bytes written, pending ones included
  uint64_t runStart_ = 0;
  std::vector<uint8_t> pending_;
  struct Run {
    uint64_t begin, end;
  };
  std::vector<Run> runs_;
};

}  // namespace fts
