#include "libs/ftsindex/IndexFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/Crc32c.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

// Every key starts with a character code, which is never 0.
bool ValidKey(Key k) {
  return (k >> 16) != 0;
}

uint32_t ImageChecksum(std::string_view image) {
  // The checksum field itself counts as zero.
  const auto* p = reinterpret_cast<const uint8_t*>(image.data());
  const uint8_t zero[4] = {0, 0, 0, 0};
  uint32_t c = Crc32c(p, hdr::kChecksum);
  c = Crc32c(zero, 4, c);
  return Crc32c(p + hdr::kChecksum + 4, image.size() - hdr::kChecksum - 4, c);
}

}  // namespace

std::string BuildImage(uint32_t recordCount, const std::vector<KeyPostings>& keys,
                       const std::string& tag) {
  std::string dict, postings;
  dict.reserve(keys.size() * kEntrySize);
  for (const auto& k : keys) {
    const auto offset = static_cast<uint32_t>(postings.size());
    const Encoding enc = EncodePostings(k.values, recordCount, postings);
    Append32(dict, k.key);
    Append32(dict, static_cast<uint32_t>(k.values.size()));
    Append32(dict, offset);
    Append32(dict, static_cast<uint32_t>(postings.size() - offset));
    Append32(dict, enc);
  }
  std::string image(kHeaderSize, '\0');
  auto* h = reinterpret_cast<uint8_t*>(image.data());
  std::memcpy(h + hdr::kMagic, kMagic, 8);
  Store32(h + hdr::kVersion, kVersion);
  Store32(h + hdr::kHeaderSize, kHeaderSize);
  Store32(h + hdr::kRecordCount, recordCount);
  Store32(h + hdr::kKeyCount, static_cast<uint32_t>(keys.size()));
  const uint64_t postingsOffset = kHeaderSize + dict.size();
  Store64(h + hdr::kFileSize, postingsOffset + postings.size());
  Store64(h + hdr::kDictOffset, kHeaderSize);
  Store64(h + hdr::kPostingsOffset, postingsOffset);
  Store64(h + hdr::kPostingsSize, postings.size());
  h[hdr::kTagLength] = static_cast<uint8_t>(tag.size());
  std::memcpy(h + hdr::kTag, tag.data(), tag.size());
  image += dict;
  image += postings;
  const uint32_t crc = ImageChecksum(image);
  Store32(reinterpret_cast<uint8_t*>(image.data()) + hdr::kChecksum, crc);
  return image;
}

int32_t IndexFile::Load(const char* path) {
  // Non-blocking, so that a FIFO or device of that name cannot stall the open.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FTS_ERR_IO;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return FTS_ERR_IO;
  }
  auto readAt = [fd](char* to, size_t size, off_t at) {
    size_t done = 0;
    while (done < size) {
      const ssize_t got = ::pread(fd, to + done, size - done, at + static_cast<off_t>(done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    return done;
  };
  // The header first: a foreign or mislabelled file is refused before its
  // size is trusted for an allocation.
  const auto size = static_cast<uint64_t>(st.st_size);
  uint8_t header[kHeaderSize];
  if (size < kHeaderSize ||
      readAt(reinterpret_cast<char*>(header), kHeaderSize, 0) != kHeaderSize ||
      std::memcmp(header, kMagic, 8) != 0 || Load64(header + hdr::kFileSize) != size ||
      size > (uint64_t{1} << 40)) {
    ::close(fd);
    return FTS_ERR_FORMAT;
  }
  if (!image_.Allocate(static_cast<size_t>(size))) {
    ::close(fd);
    return FTS_ERR_FULL;
  }
  const size_t done = readAt(reinterpret_cast<char*>(image_.data()), image_.size(), 0);
  ::close(fd);
  if (done != image_.size()) return FTS_ERR_FORMAT;  // shrank while reading
  return ParseImage();
}

int32_t IndexFile::ParseImage() {
  entries_.clear();
  const auto* h = image_.data();
  const uint64_t size = image_.size();
  if (size < kHeaderSize || std::memcmp(h, kMagic, 8) != 0) return FTS_ERR_FORMAT;
  if (Load32(h + hdr::kVersion) != kVersion || Load32(h + hdr::kHeaderSize) != kHeaderSize)
    return FTS_ERR_FORMAT;
  const uint32_t records = Load32(h + hdr::kRecordCount);
  const uint32_t keys = Load32(h + hdr::kKeyCount);
  const uint64_t dictOffset = Load64(h + hdr::kDictOffset);
  const uint64_t postingsOffset = Load64(h + hdr::kPostingsOffset);
  const uint64_t postingsSize = Load64(h + hdr::kPostingsSize);
  if (records > 0x7FFFFFFFu || Load64(h + hdr::kFileSize) != size ||
      Load32(h + hdr::kReserved) != 0 || dictOffset != kHeaderSize ||
      postingsOffset != dictOffset + uint64_t{keys} * kEntrySize ||
      postingsSize != size - std::min(size, postingsOffset) || postingsOffset > size ||
      postingsSize > 0xFFFFFFFFu)
    return FTS_ERR_FORMAT;
  // The tag: its bytes, none of them zero, then zeros to the end of the header.
  const uint32_t tagLength = h[hdr::kTagLength];
  if (std::memchr(h + hdr::kTag, 0, tagLength) != nullptr ||
      std::any_of(h + hdr::kTag + tagLength, h + kHeaderSize, [](uint8_t b) { return b != 0; }))
    return FTS_ERR_FORMAT;
#ifndef FTS_FUZZING  // lets the fuzzer reach the structural checks below
  if (ImageChecksum(std::string_view(reinterpret_cast<const char*>(h), size)) !=
      Load32(h + hdr::kChecksum))
    return FTS_ERR_FORMAT;
#endif
  entries_.resize(keys);
  uint64_t expectOffset = 0;
  for (uint32_t i = 0; i < keys; ++i) {
    const uint8_t* e = h + dictOffset + uint64_t{i} * kEntrySize;
    DictEntry d{Load32(e), Load32(e + 4), Load32(e + 8), Load32(e + 12), Load32(e + 16)};
    if (!ValidKey(d.key) || (i > 0 && d.key <= entries_[i - 1].key)) return FTS_ERR_FORMAT;
    if (d.offset != expectOffset || d.length > postingsSize - d.offset) return FTS_ERR_FORMAT;
    expectOffset += d.length;
    entries_[i] = d;
    PostingRef ref{h + postingsOffset + d.offset, d.length, d.count, d.encoding, records};
    if (!ValidatePostings(ref)) return FTS_ERR_FORMAT;
  }
  if (expectOffset != postingsSize) return FTS_ERR_FORMAT;
  tag_.assign(reinterpret_cast<const char*>(h + hdr::kTag), tagLength);
  recordCount_ = records;
  postingsOffset_ = postingsOffset;
  return 0;
}

const DictEntry* IndexFile::Find(Key key) const {
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                   [](const DictEntry& e, Key k) { return e.key < k; });
  return it != entries_.end() && it->key == key ? &*it : nullptr;
}

PostingRef IndexFile::Postings(const DictEntry& e) const {
  return PostingRef{image_.data() + postingsOffset_ + e.offset, e.length, e.count, e.encoding,
                    recordCount_};
}

}  // namespace fts
