#pragma once
// The lines of an input, read in pieces of a mebibyte, so that memory stays
// small whatever the input's size. Postal text files have short lines and
// are at most a few hundred megabytes; an input that passes either limit
// below is no such file (/dev/zero, a FIFO that never ends) and is refused
// there, instead of being read until memory runs out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ByteSource.h"
#include "ConvertError.h"

namespace postal {

inline constexpr size_t kMaxLineBytes = 64 * 1024;
inline constexpr uint64_t kMaxTextBytes = uint64_t{4} << 30;

class LineReader {
 public:
  explicit LineReader(ByteSource* source, uint64_t maxBytes = kMaxTextBytes);

  // The next line without its LF (a CR before it stays); false at the end of
  // the input or on a fault (then failed() and error()). The view holds
  // until the next call.
  bool Next(std::string_view* line);
  // The number of the line last returned, 1 for the first.
  int line() const { return line_; }
  bool failed() const { return failed_; }
  // The fault with its line (0: the input as a whole).
  const ConvertError& error() const { return error_; }
  uint64_t bytesRead() const { return total_; }
  // The bytes of the lines returned so far, their line ends included.
  uint64_t offset() const { return total_ - (end_ - begin_); }

 private:
  bool Fail(int line, std::string reason);

  ByteSource* source_;
  uint64_t maxBytes_;
  std::vector<char> buf_;
  size_t begin_ = 0, end_ = 0;
  uint64_t total_ = 0;
  int line_ = 0;
  bool eof_ = false, failed_ = false;
  ConvertError error_;
};

}  // namespace postal
