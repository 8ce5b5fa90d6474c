#include "libs/ftsindex/IndexWriter.h"

#include <cstring>

#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/Crc32c.h"
#include "libs/ftsindex/Format.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

constexpr size_t kBufferBytes = size_t{1} << 20;

}  // namespace

int32_t IndexWriter::Begin(const fts_io* io, const std::string& path, uint32_t recordCount) {
  records_ = recordCount;
  postings_ = 0;
  entries_.clear();
  buffer_.clear();
  written_ = kHeaderSize;  // the header comes last, when everything is known
  return file_.Begin(io, path);
}

int32_t IndexWriter::Flush() {
  const int32_t r = file_.Write(written_, buffer_.data(), buffer_.size());
  written_ += buffer_.size();
  buffer_.clear();
  return r;
}

int32_t IndexWriter::Put(const void* data, size_t size) {
  if (buffer_.size() + size > kBufferBytes && !buffer_.empty())
    if (const int32_t r = Flush()) return r;
  if (size >= kBufferBytes) {
    const int32_t r = file_.Write(written_, data, size);
    written_ += size;
    return r;
  }
  buffer_.append(static_cast<const char*>(data), size);
  return 0;
}

int32_t IndexWriter::AddList(Key key, const std::vector<uint32_t>& values) {
  ListInfo info;
  info.key = key;
  info.offset = postings_;
  EncodeList(values, records_, list_, info);
  postings_ += info.length;
  entries_.push_back(info);
  return Put(list_.data(), list_.size());
}

int32_t IndexWriter::PutPage(uint32_t level, const uint8_t* items, uint32_t count,
                             uint32_t itemSize) {
  uint8_t page[kPageSize] = {};
  Store16(page + page::kCount, static_cast<uint16_t>(count));
  Store16(page + page::kLevel, static_cast<uint16_t>(level));
  std::memcpy(page + kPageHead, items, size_t{count} * itemSize);
  Store32(page + page::kChecksum, Crc32c(page + 4, kPageSize - 4));
  return Put(page, kPageSize);
}

int32_t IndexWriter::Finish(const std::string& tag) {
  const uint64_t dictionary = kHeaderSize + postings_;
  // The leaves: the entries in key order.
  std::vector<Key> firsts;
  std::vector<uint8_t> items;
  for (size_t i = 0; i < entries_.size(); i += kEntriesPerLeaf) {
    const size_t n = std::min<size_t>(kEntriesPerLeaf, entries_.size() - i);
    items.assign(n * kEntrySize, 0);
    for (size_t k = 0; k < n; ++k) {
      const ListInfo& e = entries_[i + k];
      uint8_t* p = items.data() + k * kEntrySize;
      Store32(p + entry::kKey, e.key);
      Store32(p + entry::kCount, e.count);
      Store64(p + entry::kOffset, e.offset);
      Store32(p + entry::kLength, e.length);
      Store32(p + entry::kHeadChecksum, e.headChecksum);
      Store32(p + entry::kEncoding, e.encoding);
    }
    firsts.push_back(entries_[i].key);
    if (const int32_t r = PutPage(0, items.data(), static_cast<uint32_t>(n), kEntrySize)) return r;
  }
  // Each level above names the first key of every page below, up to one page.
  for (uint32_t level = 1; firsts.size() > 1; ++level) {
    std::vector<Key> above;
    for (size_t i = 0; i < firsts.size(); i += kChildrenPerPage) {
      const size_t n = std::min<size_t>(kChildrenPerPage, firsts.size() - i);
      items.assign(n * 4, 0);
      for (size_t k = 0; k < n; ++k) Store32(items.data() + k * 4, firsts[i + k]);
      above.push_back(firsts[i]);
      if (const int32_t r = PutPage(level, items.data(), static_cast<uint32_t>(n), 4)) return r;
    }
    firsts.swap(above);
  }
  if (const int32_t r = Flush()) return r;

  uint8_t h[kHeaderSize] = {};
  std::memcpy(h + hdr::kMagic, kMagic, 8);
  Store32(h + hdr::kVersion, kVersion);
  Store32(h + hdr::kHeaderSize, kHeaderSize);
  Store32(h + hdr::kRecordCount, records_);
  Store32(h + hdr::kKeyCount, static_cast<uint32_t>(entries_.size()));
  Store64(h + hdr::kFileSize, written_);
  Store64(h + hdr::kPostingsOffset, kHeaderSize);
  Store64(h + hdr::kPostingsSize, postings_);
  Store64(h + hdr::kDictionaryOffset, dictionary);
  Store32(h + hdr::kPageSize, kPageSize);
  h[hdr::kTagLength] = static_cast<uint8_t>(tag.size());
  std::memcpy(h + hdr::kTag, tag.data(), tag.size());
  Store32(h + hdr::kChecksum, Crc32c(h, hdr::kChecksum));
  if (const int32_t r = file_.Write(0, h, kHeaderSize)) return r;
  return file_.Commit();
}

}  // namespace fts
