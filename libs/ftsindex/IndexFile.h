#pragma once
// The layout of the index file (see FORMAT.md) and its reader.
#include <cstdint>
#include <string>
#include <vector>

#include "libs/ftsindex/Cp949Text.h"
#include "libs/ftsindex/ImageBytes.h"
#include "libs/ftsindex/PostingList.h"

namespace fts {

constexpr char kMagic[8] = {'P', 'F', 'F', 'T', 'S', 'I', 'D', 'X'};
constexpr uint32_t kVersion = 2;
constexpr uint32_t kHeaderSize = 320;
constexpr uint32_t kMaxTag = 255;
constexpr uint32_t kEntrySize = 20;

// Header field offsets.
namespace hdr {
constexpr int kMagic = 0, kVersion = 8, kHeaderSize = 12, kRecordCount = 16, kKeyCount = 20,
              kFileSize = 24, kDictOffset = 32, kPostingsOffset = 40, kPostingsSize = 48,
              kChecksum = 56, kReserved = 60, kTagLength = 64, kTag = 65;
}

struct DictEntry {
  Key key;
  uint32_t count;
  uint32_t offset;  // within the postings area
  uint32_t length;
  uint32_t encoding;
};

// A validated index file held in memory.
class IndexFile {
 public:
  // Reads and validates the whole file; answers 0 or FTS_ERR_IO / FTS_ERR_FORMAT.
  int32_t Load(const char* path);

  uint32_t RecordCount() const { return recordCount_; }
  uint32_t KeyCount() const { return static_cast<uint32_t>(entries_.size()); }
  // The source tag the index was built with (empty when none was given).
  const std::string& Tag() const { return tag_; }
  // The entry of key, or null when the key is not indexed.
  const DictEntry* Find(Key key) const;
  PostingRef Postings(const DictEntry& e) const;

 private:
  // Validates the image read into image_; 0 or FTS_ERR_FORMAT.
  int32_t ParseImage();

  ImageBytes image_;
  std::string tag_;
  uint32_t recordCount_ = 0;
  uint64_t postingsOffset_ = 0;
  std::vector<DictEntry> entries_;
};

// Serialises a complete index: keys ascending with their record lists, and
// the source tag (at most kMaxTag bytes, no zero byte). Returns the file image.
struct KeyPostings {
  Key key;
  std::vector<uint32_t> values;
};
std::string BuildImage(uint32_t recordCount, const std::vector<KeyPostings>& keys,
                       const std::string& tag);

}  // namespace fts
