#include "LineReader.h"

#include <cstring>

namespace postal {
namespace {

constexpr size_t kPiece = 1 << 20;

std::string SizeName(uint64_t bytes) {
  if (bytes % (uint64_t{1} << 30) == 0) return std::to_string(bytes >> 30) + " GiB";
  if (bytes % (uint64_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

LineReader::LineReader(ByteSource* source, uint64_t maxBytes)
    : source_(source), maxBytes_(maxBytes), buf_(kPiece + kMaxLineBytes + 1) {}

bool LineReader::Fail(int line, std::string reason) {
  failed_ = true;
  error_ = ConvertError{line, std::move(reason)};
  return false;
}

bool LineReader::Next(std::string_view* line) {
  if (failed_) return false;
  for (;;) {
    const char* start = buf_.data() + begin_;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    const size_t length = lf ? static_cast<size_t>(lf - start) : end_ - begin_;
    if (length > kMaxLineBytes)
      return Fail(line_ + 1,
                  "a line of more than " + SizeName(kMaxLineBytes) + ": not a postal text file");
    if (lf || (eof_ && length > 0)) {
      *line = std::string_view(start, length);
      begin_ += length + (lf ? 1 : 0);
      ++line_;
      return true;
    }
    if (eof_) return false;
    // Keep the start of the unfinished line and read more after it.
    std::memmove(buf_.data(), start, length);
    begin_ = 0;
    end_ = length;
    std::string why;
    const ssize_t n = source_->Read(buf_.data() + end_, buf_.size() - end_, &why);
    if (n < 0) return Fail(0, why);
    if (n == 0) {
      eof_ = true;
      continue;
    }
    end_ += static_cast<size_t>(n);
    total_ += static_cast<uint64_t>(n);
    if (total_ > maxBytes_)
      return Fail(0, "more than " + SizeName(maxBytes_) + ": not a postal text file");
  }
}

}  // namespace postal
