// Memo files beside a table: dBASE .DBT (III: text ended by 0x1A; IV: blocks
// with a length header) and FoxPro .FPT (blocks with type and length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Io.h"

namespace dbe {

class MemoFile {
 public:
  MemoFile() = default;
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;
  ~MemoFile() = default;

  // Opens `path` and reads its header; FoxPro layout when `fpt`.
  // `defaultBlock` serves when the header gives no block size.
  bool open(const std::string& path, bool fpt, int defaultBlock, std::string& message);
  // Contents of the memo starting at `block`, read from the file now (the
  // file may have been cut since the open). Answers 0, DBE_E_CORRUPT when
  // the block lies outside the file or its header is damaged, or DBE_E_READ
  // when a read fails.
  int read(uint32_t block, std::string& out) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  IoFile file_;
  bool fpt_ = false;
  size_t blockSize_ = 512;
};

}  // namespace dbe
