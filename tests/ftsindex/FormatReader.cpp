#include "FormatReader.h"

#include <algorithm>

namespace ftstest {
namespace {

constexpr uint64_t kHeader = 512, kPage = 4096, kPerLeaf = 146, kPerInner = 1022;

uint64_t Get(const std::string& s, uint64_t at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

bool Fail(std::string* why, const std::string& what) {
  if (why) *why = what;
  return false;
}

}  // namespace

uint32_t Crc32cBitwise(const std::string& data) {
  uint32_t c = 0xFFFFFFFF;
  for (unsigned char b : data) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0x82F63B78 : c >> 1;
  }
  return ~c;
}

uint32_t Get32(const std::string& image, uint64_t at) {
  return static_cast<uint32_t>(Get(image, at, 4));
}

void Put32(std::string& image, uint64_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(v >> (8 * i));
}

void ResealHeader(std::string& image) {
  Put32(image, 508, Crc32cBitwise(image.substr(0, 508)));
}

FormatFile ReadFormatFile(const std::string& s) {
  FormatFile f;
  if (s.size() < kHeader || s.compare(0, 8, "PFFTSIDX") != 0) {
    f.error = "no header";
    return f;
  }
  f.version = Get32(s, 8);
  f.records = Get32(s, 16);
  f.keys = Get32(s, 20);
  f.postingsSize = Get(s, 40, 8);
  f.directoryOffset = Get(s, 48, 8);
  const unsigned tagLength = static_cast<unsigned char>(s[64]);
  f.tag = s.substr(65, tagLength);
  if (f.version != 3 || Get32(s, 12) != kHeader || Get(s, 24, 8) != s.size() ||
      Get(s, 32, 8) != kHeader || f.directoryOffset != kHeader + f.postingsSize ||
      Get32(s, 56) != kPage || Get32(s, 60) != 0 ||
      s.substr(65 + tagLength, 508 - 65 - tagLength) != std::string(508 - 65 - tagLength, '\0') ||
      Get32(s, 508) != Crc32cBitwise(s.substr(0, 508))) {
    f.error = "header";
    return f;
  }
  // The levels: leaves first, each level above ceil(pages below / 1022).
  std::vector<uint64_t> pages;
  if (f.keys > 0) {
    pages.push_back((f.keys + kPerLeaf - 1) / kPerLeaf);
    while (pages.back() > 1) pages.push_back((pages.back() + kPerInner - 1) / kPerInner);
  }
  f.levels = static_cast<uint32_t>(pages.size());
  uint64_t total = 0;
  for (uint64_t p : pages) total += p;
  if (s.size() != f.directoryOffset + total * kPage) {
    f.error = "directory size";
    return f;
  }
  uint64_t first = 0;           // of the level's pages
  std::vector<uint32_t> named;  // the keys the level above names
  for (size_t level = 0; level < pages.size(); ++level) {
    for (uint64_t i = 0; i < pages[level]; ++i) {
      const uint64_t at = f.directoryOffset + (first + i) * kPage;
      const uint64_t count = Get(s, at + 4, 2);
      const uint64_t below = level == 0 ? f.keys : pages[level - 1];
      const uint64_t per = level == 0 ? kPerLeaf : kPerInner;
      const uint64_t item = level == 0 ? 28 : 4;
      if (Get32(s, at) != Crc32cBitwise(s.substr(at + 4, kPage - 4)) ||
          count != std::min(per, below - i * per) || Get(s, at + 6, 2) != level ||
          s.substr(at + 8 + count * item, kPage - 8 - count * item) !=
              std::string(kPage - 8 - count * item, '\0')) {
        f.error = "page " + std::to_string(first + i);
        return f;
      }
      for (uint64_t k = 0; k < count; ++k) {
        const uint64_t e = at + 8 + k * item;
        if (level == 0) {
          FormatEntry entry{Get32(s, e),      Get32(s, e + 4),  Get(s, e + 8, 8),
                            Get32(s, e + 16), Get32(s, e + 20), Get32(s, e + 24)};
          f.entries.push_back(entry);
        } else if (Get32(s, e) != named[(i * kPerInner + k)]) {
          f.error = "an upper page names another key";
          return f;
        }
      }
    }
    // What the next level up must name: the first key of each of these pages.
    std::vector<uint32_t> firsts;
    for (uint64_t i = 0; i < pages[level]; ++i)
      firsts.push_back(Get32(s, f.directoryOffset + (first + i) * kPage + 8));
    named.swap(firsts);
    first += pages[level];
  }
  uint64_t expected = 0;
  for (size_t i = 0; i < f.entries.size(); ++i) {
    const FormatEntry& e = f.entries[i];
    if ((i > 0 && e.key <= f.entries[i - 1].key) || e.offset != expected) {
      f.error = "entries out of order";
      return f;
    }
    expected += e.length;
  }
  if (expected != f.postingsSize) f.error = "lists do not tile the postings";
  return f;
}

std::pair<uint64_t, uint64_t> PartBytes(const std::string& s, const FormatFile& f,
                                        const FormatEntry& e, uint32_t part) {
  const uint64_t list = kHeader + e.offset;
  if (e.encoding == 1) {
    const uint64_t bitmap = (uint64_t{f.records} + 7) / 8;
    const uint64_t head = (bitmap + 4095) / 4096 * 8;
    const uint64_t begin = list + head + uint64_t{part} * 4096;
    return {begin, std::min(begin + 4096, list + e.length)};
  }
  const uint64_t blocks = (e.count + 127) / 128, head = blocks * 12;
  const uint64_t begin = list + head + Get32(s, list + part * 12 + 4);
  const uint64_t end =
      part + 1 < blocks ? list + head + Get32(s, list + (part + 1) * 12 + 4) : list + e.length;
  return {begin, end};
}

bool DecodeList(const std::string& s, const FormatFile& f, const FormatEntry& e,
                std::vector<uint32_t>& out, std::string* why) {
  out.clear();
  const uint64_t list = kHeader + e.offset;
  if (e.encoding == 1) {
    const uint64_t bitmap = (uint64_t{f.records} + 7) / 8, chunks = (bitmap + 4095) / 4096;
    if (e.length != chunks * 8 + bitmap) return Fail(why, "bitmap length");
    if (Crc32cBitwise(s.substr(list, chunks * 8)) != e.headChecksum) return Fail(why, "head crc");
    for (uint32_t c = 0; c < chunks; ++c) {
      const auto [begin, end] = PartBytes(s, f, e, c);
      const std::string chunk = s.substr(begin, end - begin);
      if (Crc32cBitwise(chunk) != Get32(s, list + c * 8 + 4)) return Fail(why, "chunk crc");
      uint32_t ones = 0;
      for (uint64_t i = 0; i < chunk.size(); ++i)
        for (int b = 0; b < 8; ++b)
          if (static_cast<unsigned char>(chunk[i]) >> b & 1) {
            ++ones;
            out.push_back(static_cast<uint32_t>((begin - list - chunks * 8 + i) * 8 + b + 1));
          }
      if (ones != Get32(s, list + c * 8)) return Fail(why, "chunk count");
    }
  } else {
    const uint32_t blocks = (e.count + 127) / 128;
    if (Crc32cBitwise(s.substr(list, blocks * 12)) != e.headChecksum) return Fail(why, "head crc");
    for (uint32_t b = 0; b < blocks; ++b) {
      const auto [begin, end] = PartBytes(s, f, e, b);
      const std::string data = s.substr(begin, end - begin);
      if (Crc32cBitwise(data) != Get32(s, list + b * 12 + 8)) return Fail(why, "block crc");
      const uint32_t v0 = Get32(s, list + b * 12);
      const uint32_t m = std::min<uint32_t>(128, e.count - b * 128) - 1;
      out.push_back(v0);
      if (m == 0) {
        if (!data.empty()) return Fail(why, "data for a block of one");
        continue;
      }
      const unsigned l = static_cast<unsigned char>(data[0]);
      auto bit = [&](uint64_t k) -> uint64_t {
        return static_cast<unsigned char>(data[k / 8]) >> (k % 8) & 1;
      };
      const uint64_t lowBytes = (uint64_t{m} * l + 7) / 8;
      uint64_t position = (1 + lowBytes) * 8;  // bits from the block's start
      for (uint32_t i = 0; i < m; ++i) {
        uint64_t low = 0;
        for (unsigned k = 0; k < l; ++k) low |= bit(8 + uint64_t{i} * l + k) << k;
        while (position < data.size() * 8 && !bit(position)) ++position;
        if (position >= data.size() * 8) return Fail(why, "too few high bits");
        const uint64_t high = position - (1 + lowBytes) * 8 - i;
        ++position;
        out.push_back(static_cast<uint32_t>(v0 + (i + 1) + (high << l | low)));
      }
      const uint64_t last = out.back() - v0 - m;  // y(m - 1)
      if (data.size() != 1 + lowBytes + ((last >> l) + m + 7) / 8) return Fail(why, "block length");
    }
  }
  if (out.size() != e.count || !std::is_sorted(out.begin(), out.end()) ||
      std::adjacent_find(out.begin(), out.end()) != out.end() ||
      (!out.empty() && (out.front() < 1 || out.back() > f.records)))
    return Fail(why, "numbers");
  return true;
}

}  // namespace ftstest
