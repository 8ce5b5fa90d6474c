#include "postal/TableTag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "libs/ftsindex/Crc32c.h"

namespace postal {
namespace {

constexpr char kCrossings[] = "cross";

// "key=value key=value ..." into a map.
std::map<std::string, std::string> Fields(const std::string& tag) {
  std::map<std::string, std::string> fields;
  std::istringstream in(tag);
  for (std::string word; in >> word;) {
    const size_t eq = word.find('=');
    if (eq != std::string::npos) fields[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return fields;
}

std::string StatText(const TableStat& s) {
  char text[128];
  std::snprintf(text, sizeof text,
                "size=%" PRIu64 " mtime=%" PRId64 " dev=%" PRIu64 " ino=%" PRIu64, s.size,
                s.mtimeNs, s.device, s.inode);
  return text;
}

// The checksum of every byte of the file, with its size; nothing when it
// cannot be read.
std::optional<std::pair<uint64_t, uint32_t>> Checksum(const std::string& tablePath) {
  const int fd = ::open(tablePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::vector<char> buf(1 << 18);  // small: each new page of it is a fault
  uint64_t size = 0;
  uint32_t crc = 0;
  for (;;) {
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    crc = fts::Crc32c(buf.data(), static_cast<size_t>(n), crc);
    size += static_cast<uint64_t>(n);
  }
  ::close(fd);
  return std::pair{size, crc};
}

}  // namespace

std::optional<TableStat> StatTable(const std::string& tablePath) {
  struct stat st;
  if (::stat(tablePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  TableStat s;
  s.size = static_cast<uint64_t>(st.st_size);
  s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.device = static_cast<uint64_t>(st.st_dev);
  s.inode = static_cast<uint64_t>(st.st_ino);
  return s;
}

std::string TableTag(const std::string& tablePath) {
  const auto before = StatTable(tablePath);
  const auto sum = Checksum(tablePath);
  if (!before || !sum || sum->first != before->size) return {};
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x", sum->second);
  return StatText(*before) + " crc32c=" + crc;
}

std::string IndexTag(const std::string& tableTag, const FieldCrossings& crossings) {
  char bits[8];
  std::snprintf(bits, sizeof bits, "%04x", crossings.Bits());
  return tableTag + " " + kCrossings + "=" + bits;
}

std::optional<FieldCrossings> TagAnswersFor(const std::string& storedTag,
                                            const std::string& tablePath) {
  const std::map<std::string, std::string> stored = Fields(storedTag);
  const auto value = [&](const char* key) -> std::string {
    const auto it = stored.find(key);
    return it == stored.end() ? std::string() : it->second;
  };
  const std::string bits = value(kCrossings), crc = value("crc32c");
  if (bits.size() != 4 || bits.find_first_not_of("0123456789abcdef") != std::string::npos ||
      crc.size() != 8)
    return std::nullopt;
  const auto now = StatTable(tablePath);
  if (!now) return std::nullopt;
  const FieldCrossings crossings(static_cast<uint16_t>(std::stoul(bits, nullptr, 16)));
  if (Fields(StatText(*now)) == std::map<std::string, std::string>{{"size", value("size")},
                                                                   {"mtime", value("mtime")},
                                                                   {"dev", value("dev")},
                                                                   {"ino", value("ino")}})
    return crossings;
  // Another time or another file: the same bytes still answer.
  if (value("size") != std::to_string(now->size)) return std::nullopt;
  const auto sum = Checksum(tablePath);
  char hex[16];
  if (!sum) return std::nullopt;
  std::snprintf(hex, sizeof hex, "%08x", sum->second);
  if (sum->first != now->size || crc != hex) return std::nullopt;
  return crossings;
}

}  // namespace postal
