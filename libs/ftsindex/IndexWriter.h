#pragma once
// Writes an index file: the posting lists in key order as they come, then
// the key directory and the header, through the library's one writer.
#include <cstdint>
#include <string>
#include <vector>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/IndexKeys.h"
#include "libs/ftsindex/PostingList.h"

namespace fts {

class IndexWriter {
 public:
  // Creates the temporary file beside path. 0 or FTS_ERR_IO.
  int32_t Begin(const fts_io* io, const std::string& path, uint32_t recordCount);
  // The next list: keys strictly ascending, values ascending in
  // 1..recordCount.
  int32_t AddList(Key key, const std::vector<uint32_t>& values);
  // Writes the directory and the header with tag, and renames the file into
  // place. 0 or FTS_ERR_IO.
  int32_t Finish(const std::string& tag);

 private:
  int32_t Put(const void* data, size_t size);
  int32_t Flush();
  // One directory page of `level` with items of itemSize bytes.
  int32_t PutPage(uint32_t level, const uint8_t* items, uint32_t count, uint32_t itemSize);

  AtomicFile file_;
  uint32_t records_ = 0;
  uint64_t postings_ = 0;  // bytes of lists so far
  uint64_t written_ = 0;   // file offset of buffer_'s first byte
  std::string buffer_, list_;
  std::vector<ListInfo> entries_;
};

}  // namespace fts
