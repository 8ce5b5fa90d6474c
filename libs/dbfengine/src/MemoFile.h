// Memo files beside a table: dBASE .DBT (III: text ended by 0x1A; IV: blocks
// with a length header) and FoxPro .FPT (blocks with type and length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dbe {

class MemoFile {
 public:
  MemoFile() = default;
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;
  ~MemoFile();

  // Maps `path`; FoxPro layout when `fpt`. `defaultBlock` serves when the
  // header gives no block size.
  bool open(const std::string& path, bool fpt, int defaultBlock, std::string& message);
  // Contents of the memo starting at `block`; false when the block lies
  // outside the file or its header is damaged.
  bool read(uint32_t block, std::string& out) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  const uint8_t* map_ = nullptr;
  size_t size_ = 0;
  bool fpt_ = false;
  size_t blockSize_ = 512;
};

}  // namespace dbe
