#include "Table.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>

#include <cstring>
#include <fstream>
#include <sstream>

#include "FileRead.h"
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
    std::ifstream in(base + ext);
    if (!in) continue;
    std::string text;
    std::getline(in, text);
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const char* name : {"949", "936", "950", "932", "EUC", "KS", "UHC", "GBK", "BIG5"}) {
      if (text.find(name) != std::string::npos) return 1;
    }
    return 0;
  }
  return -1;
}

}  // namespace

Table::~Table() {
  if (fd_ >= 0) close(fd_);  // also releases the lock
}

bool Table::open(const std::string& path, int mode, int& code, std::string& message) {
  path_ = path;
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    code = DBE_E_OPEN;
    message = "cannot open table " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    code = DBE_E_OPEN;
    message = "not a regular file: " + path;
    return false;
  }
  if (flock(fd_, (mode == 2 ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    code = DBE_E_LOCKED;
    message = std::string(mode == 2 ? "table is in use, cannot open exclusively: "
                                    : "table is open exclusively elsewhere: ") +
              path;
    return false;
  }
  // Read whole: a mapping would fault (SIGBUS) on any page beyond the end
  // of a file that another process truncates while it is open.
  std::string why;
  if (!readWhole(fd_, static_cast<size_t>(st.st_size), data_, size_, why)) {
    code = DBE_E_OPEN;
    message = "cannot read table " + path + ": " + why;
    return false;
  }
  if (size_ == 0 || !knownVersion(data_[0])) {
    code = DBE_E_NOT_DBF;
    message = "not a DBF table (unknown version byte): " + path;
    return false;
  }
  if (size_ < 32) {
    code = DBE_E_TRUNCATED;
    message = "file ends inside the DBF header: " + path;
    return false;
  }
  if (!parse(code, message)) return false;
  if (codePage_ == 0) {
    const int cpg = cpgDoubleByte(path);
    if (cpg >= 0) dbcs_ = cpg == 1;
  }
  return true;
}

bool Table::parse(int& code, std::string& message) {
  const uint8_t* h = data_.get();
  version_ = h[0];
  if (!knownVersion(version_)) {
    code = DBE_E_NOT_DBF;
    message = "not a DBF table (unknown version byte): " + path_;
    return false;
  }
  headerLen_ = le16(h + 8);
  recSize_ = le16(h + 10);
  encrypted_ = h[15] == 1;
  passwordCheck_ = le32(h + 16);
  codePage_ = h[29];
  dbcs_ = doubleByteCodePage(codePage_);
  if (headerLen_ < 33 || recSize_ < 1) {
    code = DBE_E_NOT_DBF;
    message = "not a DBF table (header or record size invalid): " + path_;
    return false;
  }
  if (static_cast<size_t>(headerLen_) > size_) {
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
  while (pos < headerLen_) {
    if (h[pos] == 0x0D) {
      terminated = true;
      break;
    }
    if (pos + 32 > headerLen_) break;
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
  const size_t present = (size_ - headerLen_) / recSize_;
  const size_t limit = 0x7FFFFFFE;
  size_t count = stored;
  if (count > present) {
    count = present;
    short_ = true;
  }
  if (count > limit) count = limit;
  recCount_ = static_cast<int32_t>(count);
  return true;
}

const Field* Table::field(const char* name) const {
  if (!name) return nullptr;
  for (const Field& f : fields_) {
    if (strcasecmp(f.name.c_str(), name) == 0) return &f;
  }
  return nullptr;
}

}  // namespace dbe
