#pragma once
// The postal table made from the current data: one record per row read, in
// the order read, in a dBASE III table with the Korean code-page byte
// (PostcodeDbf.h) and the character fields
//
//   ZIPCODE C(7)  the five-digit postal code
//   DDD     C(4)  the dialling code
//   ETC     C(n)  the address, never narrower than the six-digit table's 83
//   JIBUN   C(n)  the lot address, when building rows were read
//   ENG     C(n)  the English address, when rows of a layout that carries
//                 English were read
//
// each n the bytes of the longest value (at least 1, at most 254). The widths
// are known only after the last row, so the rows are read twice: a first
// pass measures every record, a second writes the same records straight to
// the table. Nothing is kept in between but the widths, the count and the
// zones of the islands, so memory stays small whatever the data's size, and
// the table reaches the disk while the second pass runs.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PostcodeDbf.h"
#include "platform/AtomicWrite.h"

namespace postal {

// ETC is never narrower than the six-digit table's, so that the grid's
// column fits both alike.
inline constexpr int kMinEtcWidth = 83;

// One record; every text at most kMaxCharWidth bytes of CP949.
struct TableRow {
  std::string_view zipcode;  // five digits
  std::string_view ddd;      // at most 4 bytes
  std::string_view etc, jibun, eng;
};

class PostalTable {
 public:
  // The table has a JIBUN (an ENG) field, empty where a row has none.
  void CarryJibun() { jibun_ = true; }
  void CarryEng() { eng_ = true; }
  // The first pass: one record.
  void Measure(const TableRow& row);
  // Every record of this zone dials 032: it has a row on the islands of
  // 단원구, which dial through 인천.
  void MarkIslandZone(std::string_view zone);
  // What another table measured, as if measured here after this one's.
  void Merge(const PostalTable& other);

  size_t count() const { return count_; }
  // The fields as the table has them.
  std::vector<DbfField> Fields() const;
  size_t RecordSize() const;
  // The image: this header, the records, the end mark (kDbfEndOfFile).
  std::string Header(DbfDate date) const;
  uint64_t ImageSize() const;

  // The second pass: a run of the records measured (all of them, or one
  // file's), in the same order, handed to a sink in pieces of about a
  // mebibyte.
  class Writer {
   public:
    Writer(const PostalTable& table, const platform::ByteSink& sink, size_t records);
    // False when the sink fails (*why empty: the sink keeps its reason) or
    // when the row is not one that was measured (the input changed between
    // the passes).
    bool Add(const TableRow& row, std::string* why);
    // The last piece, once every record of the run was added.
    bool Finish(std::string* why);

   private:
    bool Flush();

    const PostalTable& table_;
    const platform::ByteSink& sink_;
    size_t offsets_[3] = {0, 0, 0}, widths_[3] = {0, 0, 0};
    size_t records_ = 0, recordSize_ = 0, perChunk_ = 0, inChunk_ = 0, written_ = 0;
    std::vector<char> chunk_;
  };

 private:
  size_t count_ = 0;
  size_t longest_[3] = {0, 0, 0};  // ETC, JIBUN, ENG
  bool jibun_ = false, eng_ = false;
  std::bitset<100000> islandZones_;
};

}  // namespace postal
