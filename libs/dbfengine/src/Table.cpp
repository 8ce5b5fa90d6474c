#include "Table.h"

#include <strings.h>
#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dbfengine.h"

namespace dbe {

uint32_t fnv1a32(const uint8_t* data, size_t size, uint32_t h) {
  for (size_t i = 0; i < size; ++i) {
    h ^= data[i];
    h *= 16777619u;
  }
  return h;
}

namespace {

uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool knownVersion(uint8_t v) {
  if (v == 0x30 || v == 0x31 || v == 0x32) return true;  // Visual FoxPro
  const int level = v & 0x07;
  return level >= 2 && level <= 5;  // FoxBase, dBASE III+/IV/V, FoxPro
}

// Code pages whose text is double-byte (lead byte 0x81..0xFE, then a trail
// byte); 0x00 and 0x57 mean "the system's ANSI code page", CP949 here.
bool doubleByteCodePage(uint8_t cp) {
  return cp == 0x00 || cp == 0x57 || cp == 0x13 || cp == 0x4D || cp == 0x4E || cp == 0x4F ||
         (cp >= 0x78 && cp <= 0x7B);
}

// A shapefile-style .cpg file beside the table names the code page of a
// table whose header leaves it unset.
int cpgDoubleByte(const std::string& path) {
  std::string base = path;
  const size_t slash = base.rfind('/');
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.resize(dot);
  for (const char* ext : {".cpg", ".CPG"}) {
    IoFile file;
    int error = 0;
    if (!file.open(base + ext, DBE_IO_READ, error)) continue;
    char bytes[256];
    const int64_t n = file.read(bytes, sizeof bytes, 0, error);
    std::string text(bytes, n > 0 ? static_cast<size_t>(n) : 0);
    text = text.substr(0, text.find_first_of("\r\n"));
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const char* name : {"949", "936", "950", "932", "EUC", "KS", "UHC", "GBK", "BIG5"}) {
      if (text.find(name) != std::string::npos) return 1;
    }
    return 0;
  }
  return -1;
}

// About 128 KiB of whole records per block read ahead.
constexpr int32_t kBlockBytes = 128 * 1024;

}  // namespace

bool Table::open(const std::string& path, int mode, int& code, std::string& message) {
  path_ = path;
  int error = 0;
  if (!file_.open(path, DBE_IO_READ, error)) {
    code = DBE_E_OPEN;
    message = error == EISDIR   ? "a folder, not a table: " + path
              : error == ENODEV ? "not a regular file: " + path
                                : "cannot open table " + path + ": " + ioErrorText(error);
    return false;
  }
  if (const int held = file_.lock(mode == 2)) {
    code = held == EWOULDBLOCK ? DBE_E_LOCKED : DBE_E_OPEN;
    message = held != EWOULDBLOCK ? "cannot lock table " + path + ": " + ioErrorText(held)
              : mode == 2         ? "table is in use, cannot open exclusively: " + path
                                  : "table is open exclusively elsewhere: " + path;
    return false;
  }
  const int64_t size = file_.size(error);
  auto unreadable = [&](int why) {
    code = DBE_E_OPEN;
    message = "cannot read table " + path + ": " + ioErrorText(why);
    return false;
  };
  if (size < 0) return unreadable(error);
  size_ = static_cast<uint64_t>(size);
  // The fixed header first, then the field list up to the header's length.
  header_.resize(32);
  int64_t got = file_.read(header_.data(), header_.size(), 0, error);
  if (got < 0) return unreadable(error);
  if (got == 0 || !knownVersion(header_[0])) {
    code = DBE_E_NOT_DBF;
    message = got == 0 ? "not a DBF table (empty file, 0 bytes): " + path
                       : "not a DBF table (unknown version byte): " + path;
    return false;
  }
  if (got < 32) {
    code = DBE_E_TRUNCATED;
    message = "file ends inside the DBF header: " + path;
    return false;
  }
  const size_t headerLen = le16(header_.data() + 8);
  if (headerLen > 32) {
    header_.resize(headerLen);
    got = file_.read(header_.data() + 32, headerLen - 32, 32, error);
    if (got < 0) return unreadable(error);
    header_.resize(32 + static_cast<size_t>(got));
  }
  if (!parse(code, message)) return false;
  if (codePage_ == 0) {
    const int cpg = cpgDoubleByte(path);
    if (cpg >= 0) dbcs_ = cpg == 1;
  }
  perBlock_ = std::max<int32_t>(1, kBlockBytes / recSize_);
  return true;
}

bool Table::parse(int& code, std::string& message) {
  const uint8_t* h = header_.data();
  version_ = h[0];
  if (!knownVersion(version_)) {
    code = DBE_E_NOT_DBF;
    message = "not a DBF table (unknown version byte): " + path_;
    return false;
  }
  const int headerLen = le16(h + 8);
  recSize_ = le16(h + 10);
  encrypted_ = h[15] == 1;
  passwordCheck_ = le32(h + 16);
  codePage_ = h[29];
  dbcs_ = doubleByteCodePage(codePage_);
  if (headerLen < 33 || recSize_ < 1) {
    code = DBE_E_NOT_DBF;
    message = "not a DBF table (header or record size invalid): " + path_;
    return false;
  }
  if (static_cast<size_t>(headerLen) > header_.size() || static_cast<uint64_t>(headerLen) > size_) {
    code = DBE_E_TRUNCATED;
    message = "file ends inside the DBF header: " + path_;
    return false;
  }
  // Field descriptors: 32 bytes each from offset 32 up to the 0x0D terminator.
  int pos = 32;
  int descCount = 0;
  bool terminated = false;
  std::vector<Field> all;
  std::vector<int> flags, highWidth;
  while (pos < headerLen) {
    if (h[pos] == 0x0D) {
      terminated = true;
      break;
    }
    if (pos + 32 > headerLen) break;
    const uint8_t* d = h + pos;
    Field f;
    for (int i = 0; i < 11 && d[i]; ++i) {
      f.name.push_back(static_cast<char>(toupper(d[i])));
    }
    f.type = static_cast<char>(toupper(d[11]));
    f.width = d[16];
    f.decimals = d[17];
    if (f.name.empty() || d[11] < 0x21 || d[11] > 0x7E) {
      code = DBE_E_CORRUPT;
      message = "invalid field descriptor " + std::to_string(descCount + 1) + ": " + path_;
      return false;
    }
    all.push_back(f);
    flags.push_back(d[18]);
    highWidth.push_back(d[17]);
    pos += 32;
    ++descCount;
  }
  if (!terminated || descCount == 0) {
    code = DBE_E_CORRUPT;
    message = "truncated or unterminated field list: " + path_;
    return false;
  }
  // Field widths must add up to the record size. Clipper stores character
  // fields wider than 255 with the decimals byte as high byte; try that too.
  auto total = [&](bool wide) {
    long sum = 1;
    for (size_t i = 0; i < all.size(); ++i) {
      long w = all[i].width;
      if (wide && all[i].type == 'C') w += 256L * highWidth[i];
      sum += w;
    }
    return sum;
  };
  bool wide = false;
  if (total(false) != recSize_) {
    if (total(true) == recSize_) {
      wide = true;
    } else {
      code = DBE_E_CORRUPT;
      message = "field widths do not add up to the record size: " + path_;
      return false;
    }
  }
  int offset = 1;
  for (size_t i = 0; i < all.size(); ++i) {
    Field f = all[i];
    if (wide && f.type == 'C') {
      f.width += 256 * highWidth[i];
      f.decimals = 0;
    }
    f.offset = offset;
    offset += f.width;
    if (f.width == 0) {
      code = DBE_E_CORRUPT;
      message = "field " + f.name + " has width 0: " + path_;
      return false;
    }
    // Visual FoxPro system fields (_NullFlags) stay out of the field list.
    const bool system = version_ >= 0x30 && version_ <= 0x32 && (flags[i] & 0x01);
    if (!system) fields_.push_back(f);
  }
  if (fields_.empty()) {
    code = DBE_E_CORRUPT;
    message = "table has no fields: " + path_;
    return false;
  }
  layoutHash_ = fnv1a32(h + 32, static_cast<size_t>(descCount) * 32);
  layoutHash_ = fnv1a32(h + 8, 4, layoutHash_);

  const uint32_t stored = le32(h + 4);
  headerCount_ = stored;
  const uint64_t present =
      (size_ - static_cast<uint64_t>(headerLen)) / static_cast<uint64_t>(recSize_);
  // Record numbers and the position after the last record are int32.
  const uint64_t limit = 0x7FFFFFFE;
  uint64_t count = stored;
  if (count > present) {
    count = present;
    short_ = true;
  }
  if (count > limit) count = limit;
  recCount_ = static_cast<int32_t>(count);
  return true;
}

std::string Table::lastUpdate() const {
  const int year = 1900 + header_[1], month = header_[2], day = header_[3];
  static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > days[month - 1]) return {};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && day == 29 && !leap) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
  return text;
}

bool Table::load(Block& b, int32_t first, int32_t count) {
  b.first = first;
  b.count = 0;
  b.complete = false;
  const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(recSize_);
  if (b.bytes.size() < bytes) b.bytes.resize(bytes);
  const uint64_t at = header_.size() + static_cast<uint64_t>(first - 1) * recSize_;
  int error = 0;
  const int64_t got = file_.read(b.bytes.data(), bytes, at, error);
  if (got < 0) {
    readError_ = "cannot read records of " + path_ + ": " + ioErrorText(error);
    return false;
  }
  b.count = static_cast<int32_t>(static_cast<uint64_t>(got) / static_cast<uint64_t>(recSize_));
  b.complete = b.count == count;
  if (!b.complete)
    readError_ = "the file no longer holds record " + std::to_string(first + b.count) + " of " +
                 path_ + " (cut while open)";
  return true;
}

const uint8_t* Table::single(int32_t n) {
  if (single_.index != n || !single_.complete) {
    single_.index = n;
    if (!load(single_, n, 1) || !single_.complete) {
      single_.index = -1;
      return nullptr;
    }
  }
  return single_.bytes.data();
}

void Table::dropReads() {
  for (Block& b : blocks_) b.index = -1;
  single_.index = -1;
  recent_ = nullptr;
}

const uint8_t* Table::record(int32_t n, bool ahead) {
  if (n < 1 || n > recCount_) return nullptr;
  const int32_t previous = last_;
  last_ = n;
  if (!ahead) return single(n);
  const int64_t index = (n - 1) / perBlock_;
  Block* hit = recent_ && recent_->index == index ? recent_ : nullptr;
  Block* oldest = &blocks_[0];
  if (!hit) {
    for (Block& b : blocks_) {
      if (b.index == index) hit = &b;
      if (b.used < oldest->used) oldest = &b;
    }
    recent_ = nullptr;  // the block of this record gets a new use below
  }
  // Outside the blocks kept, a block is read only for a walk, a record next
  // to the last one read; a jump reads its record alone.
  if (!hit && previous != 0 && n != previous + 1 && n != previous - 1) return single(n);
  // A block read short (the file was cut) is read again for what it lacks.
  if (!hit || (!hit->complete && n - hit->first >= hit->count)) {
    hit = hit ? hit : oldest;
    hit->index = index;
    const int32_t first = static_cast<int32_t>(index * perBlock_ + 1);
    if (!load(*hit, first, std::min(perBlock_, recCount_ - first + 1))) {
      hit->index = -1;
      recent_ = nullptr;
      return nullptr;
    }
  }
  if (recent_ != hit) hit->used = ++tick_;
  recent_ = hit;
  if (n - hit->first >= hit->count) return nullptr;
  return hit->bytes.data() + static_cast<size_t>(n - hit->first) * recSize_;
}

const Field* Table::field(const char* name) const {
  if (!name) return nullptr;
  for (const Field& f : fields_) {
    if (strcasecmp(f.name.c_str(), name) == 0) return &f;
  }
  return nullptr;
}

}  // namespace dbe
