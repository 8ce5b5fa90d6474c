#pragma once
// Posting lists: the ascending record numbers of one key, as Elias-Fano
// blocks of 128 or as a bitmap in chunks, each with a head that says where
// its blocks lie and holds their checksums (FORMAT.md).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "libs/ftsindex/EliasFano.h"
#include "libs/ftsindex/Format.h"
#include "libs/ftsindex/IndexKeys.h"

namespace fts {

class IndexFile;

// Bytes read from the file, kept from one use to the next: a search reuses
// the memory of the one before, neither cleared nor fresh from the system.
class ReadBuffer {
 public:
  uint8_t* Take(size_t size) {
    if (size > capacity_) {
      bytes_.reset(new uint8_t[size]);
      capacity_ = size;
    }
    return bytes_.get();
  }
  const uint8_t* data() const { return bytes_.get(); }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  size_t capacity_ = 0;
};

// A list as the key directory describes it.
struct ListInfo {
  Key key = 0;
  uint32_t count = 0;
  uint64_t offset = 0;  // within the postings area
  uint32_t length = 0;  // bytes, head included
  uint32_t headChecksum = 0;
  uint32_t encoding = kEliasFano;
};

// Replaces out with the smaller encoding of values (ascending, within
// 1..recordCount) and sets info's count, length, checksum and encoding.
void EncodeList(const std::vector<uint32_t>& values, uint32_t recordCount, std::string& out,
                ListInfo& info);

// The bytes of a list's head, and of a bitmap list in all: what the
// directory's entry must agree with. 0 for an encoding that does not exist.
uint64_t HeadBytes(const ListInfo& info, uint32_t recordCount);
// Blocks of an Elias-Fano list, chunks of a bitmap.
uint32_t ListParts(const ListInfo& info, uint32_t recordCount);
uint64_t BitmapListBytes(uint32_t recordCount);

// One list of an open index, read from the file as it is used: its head at
// Load, each block when it is first needed (or all of them at once), each
// part checked against its checksum and its layout when read. Results are 0
// or FTS_ERR_FORMAT / FTS_ERR_IO.
class PostingList {
 public:
  // Reads the list's head, or with whole the whole list at once; checks the
  // head. Each part is checked when first used (or by CheckParts).
  int32_t Load(const IndexFile& file, const ListInfo& info, bool whole);
  // Checks every part of a list loaded whole, so that Next cannot fail.
  int32_t CheckParts();

  // Appends every record number to out.
  int32_t AppendAll(std::vector<uint32_t>& out);
  // Whether value is in the list, for ascending values.
  int32_t Contains(uint32_t value, bool& found);
  // Keeps of values (ascending) those in the list: each block that may hold
  // one is decoded whole and merged with them, the others are not read.
  // Cheaper than Contains for each when the values are many to a block.
  int32_t KeepCommon(std::vector<uint32_t>& values);
  // The record numbers one after another, 0 after the last (whole lists).
  uint32_t Next();
  // The next record numbers, up to max of them, into out: how many (0
  // after the last).
  uint32_t NextMany(int32_t* out, uint32_t max);

 private:
  int32_t CheckHead();
  // Makes part p the current one, its checksum checked: its numbers decoded
  // into values_ or, without decode, a cursor on its first (Elias-Fano); its
  // bytes at chunk_ (bitmap).
  int32_t Enter(uint32_t p, bool decode = true);
  uint32_t First(uint32_t block) const;
  uint32_t PartEntries(uint32_t p) const;

  const IndexFile* file_ = nullptr;
  ListInfo info_;
  uint32_t records_ = 0;
  uint32_t parts_ = 0;
  ReadBuffer wholeBytes_, headBytes_, partBytes_;
  bool whole_ = false;  // loaded whole, into wholeBytes_
  const uint8_t* head_ = nullptr;
  size_t headSize_ = 0;
  // The current part.
  uint32_t current_ = 0xFFFFFFFF;
  uint32_t values_[kBlockSize];
  uint32_t entries_ = 0;
  uint32_t position_ = 0;   // of the next value in values_
  EliasFanoCursor cursor_;  // probes of a block not decoded
  const uint8_t* chunk_ = nullptr;
  uint32_t chunkBytes_ = 0;
  // Next over a bitmap: the word at wordAt_ - 8 with the bits given cleared.
  uint32_t taken_ = 0;
  uint64_t wordAt_ = 0;
  uint64_t word_ = 0;
};

}  // namespace fts
