#include "libs/ftsindex/SpillFile.h"

#include <algorithm>
#include <cstring>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/Bytes.h"

namespace fts {
namespace {

constexpr size_t kBufferBytes = size_t{1} << 20;

}  // namespace

int32_t SpillFile::Create(const fts_io* io, const std::string& path) {
  std::string name;
  if (const int32_t r = CreateTemporary(io, path, file_, name)) return r;
  // Only this build knows the file: it vanishes with it, however it ends.
  if (io->remove(io, name.c_str()) != 0) {
    file_.Close();
    return FTS_ERR_IO;
  }
  return 0;
}

void SpillFile::BeginRun() {
  runStart_ = size_;
}

int32_t SpillFile::Flush() {
  const int32_t r = file_.Write(size_ - pending_.size(), pending_.data(), pending_.size());
  pending_.clear();
  return r;
}

int32_t SpillFile::Append(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  pending_.insert(pending_.end(), p, p + size);
  size_ += size;
  return pending_.size() >= kBufferBytes ? Flush() : 0;
}

int32_t SpillFile::EndRun() {
  runs_.push_back(Run{runStart_, size_});
  return Flush();
}

SpillFile::Reader::Reader(const SpillFile& spill, size_t run)
    : file_(&spill.file_), at_(spill.runs_[run].begin), end_(spill.runs_[run].end) {}

bool SpillFile::Reader::Fill(size_t need) {
  if (buffer_.size() - begin_ >= need) return true;
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(begin_));
  begin_ = 0;
  const size_t want = static_cast<size_t>(
      std::min<uint64_t>(end_ - at_, std::max(need, kBufferBytes) - buffer_.size()));
  const size_t have = buffer_.size();
  buffer_.resize(have + want);
  if (const int32_t r = file_->ReadExact(at_, buffer_.data() + have, want)) {
    error_ = r;
    buffer_.resize(have);
    return false;
  }
  at_ += want;
  return buffer_.size() >= need;
}

bool SpillFile::Reader::Peek(uint32_t& slot) {
  if (error_ || !Fill(8)) return false;
  slot = Load32(buffer_.data() + begin_);
  return true;
}

int32_t SpillFile::Reader::Take(std::vector<uint8_t>& out) {
  if (!Fill(8)) return error_ ? error_ : FTS_ERR_FORMAT;
  const uint32_t bytes = Load32(buffer_.data() + begin_ + 4);
  if (!Fill(size_t{8} + bytes)) return error_ ? error_ : FTS_ERR_FORMAT;
  const uint8_t* p = buffer_.data() + begin_ + 8;
  out.insert(out.end(), p, p + bytes);
  begin_ += size_t{8} + bytes;
  return 0;
}

}  // namespace fts
