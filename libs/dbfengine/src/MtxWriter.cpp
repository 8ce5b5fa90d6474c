#include "MtxWriter.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "AtomicFile.h"
#include "MtxFormat.h"

namespace dbe {

namespace {

struct BuiltTag {
  std::string name, key, condition;
  KeyType type = kKeyChar;
  uint8_t flags = 0;
  size_t keyLen = 0;
  std::vector<uint8_t> keys;     // keyLen bytes per candidate entry
  std::vector<uint32_t> recnos;  // per candidate entry
  std::vector<uint32_t> order;   // candidates in entry order, duplicates of unique tags left out
  // Where its parts go in the file.
  uint64_t textOffset = 0, checksOffset = 0, entriesOffset = 0;
  std::vector<uint32_t> checks;
};

bool validTagName(const std::string& n) {
  if (n.empty() || n.size() > 10) return false;
  for (char c : n)
    if (!(isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

uint64_t align8(uint64_t n) {
  return (n + 7) / 8 * 8;
}

bool buildTag(WorkArea& area, const dbe_tag_def& def, BuiltTag& out, int& code,
              std::string& message) {
  out.name = def.name ? def.name : "";
  for (char& c : out.name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  if (!validTagName(out.name)) {
    code = DBE_E_ARGUMENT;
    message = "invalid tag name '" + out.name + "'";
    return false;
  }
  out.key = def.key ? def.key : "";
  out.condition = def.condition ? def.condition : "";
  int c = 0;
  std::string m;
  Table& table = area.table();
  auto key = Expression::compile(out.key, &table, area.alias(), c, m);
  if (!key) {
    code = c == DBE_TYPE_MISMATCH ? DBE_E_TYPE : DBE_E_SYNTAX;
    message = "key of tag " + out.name + ": " + m;
    return false;
  }
  std::unique_ptr<Expression> cond;
  if (!out.condition.empty()) {
    cond = Expression::compile(out.condition, &table, area.alias(), c, m);
    if (!cond || cond->type() != Type::Logical) {
      code = cond ? DBE_E_TYPE : (c == DBE_TYPE_MISMATCH ? DBE_E_TYPE : DBE_E_SYNTAX);
      message = "condition of tag " + out.name + (cond ? ": not logical" : ": " + m);
      return false;
    }
  }
  out.type = keyTypeOf(key->type());
  out.flags = (def.unique ? kTagUnique : 0) | (def.descending ? kTagDescending : 0);

  // Keys of every record that meets the condition. Character keys are as
  // long as the longest value: texts first, padded once that is known.
  const int32_t n = area.recordCount();
  std::string texts;
  std::vector<uint32_t> lengths;
  size_t keyLen = static_cast<size_t>(fixedKeyLength(out.type));
  std::string fixed;
  Value v;
  const uint64_t failures = area.readFailures();
  for (int32_t r = 1; r <= n; ++r) {
    EvalContext ctx{area.scanRecord(r), r, table.doubleByte()};
    if (area.readFailures() != failures) {
      code = DBE_E_READ;
      message = area.table().readError();
      return false;
    }
    if (cond) {
      cond->eval(ctx, v);
      if (!v.l) continue;
    }
    if (out.type == kKeyChar) {
      key->eval(ctx, v);
      const size_t len = std::min<size_t>(v.len, kMtxMaxKey);
      texts.append(v.s, len);
      lengths.push_back(static_cast<uint32_t>(len));
      keyLen = std::max(keyLen, len);
    } else {
      encodeKey(*key, ctx, out.type, keyLen, fixed);
      out.keys.insert(out.keys.end(), fixed.begin(), fixed.end());
    }
    out.recnos.push_back(static_cast<uint32_t>(r));
  }
  if (keyLen == 0) keyLen = 1;
  if (out.type == kKeyChar) {
    out.keys.assign(out.recnos.size() * keyLen, ' ');
    size_t from = 0;
    for (size_t i = 0; i < lengths.size(); ++i) {
      std::memcpy(out.keys.data() + i * keyLen, texts.data() + from, lengths[i]);
      from += lengths[i];
    }
  }
  out.keyLen = keyLen;
  out.order.resize(out.recnos.size());
  std::iota(out.order.begin(), out.order.end(), 0u);
  const bool desc = out.flags & kTagDescending;
  auto keyOf = [&](uint32_t i) { return out.keys.data() + static_cast<size_t>(i) * keyLen; };
  std::sort(out.order.begin(), out.order.end(), [&](uint32_t a, uint32_t b) {
    return compareEntries(keyOf(a), out.recnos[a], keyOf(b), out.recnos[b], keyLen, desc) < 0;
  });
  if (out.flags & kTagUnique) {
    // The first record of each key stays.
    auto last = std::unique(out.order.begin(), out.order.end(), [&](uint32_t a, uint32_t b) {
      return std::memcmp(keyOf(a), keyOf(b), keyLen) == 0;
    });
    out.order.erase(last, out.order.end());
  }
  return true;
}

// Writes the entries of `t` block by block at their offset, noting each
// block's check.
bool writeEntries(AtomicFile& file, BuiltTag& t, std::string& message) {
  const size_t entrySize = t.keyLen + 4;
  const uint32_t perBlock = entriesPerBlock(entrySize);
  std::vector<uint8_t> block;
  block.reserve(static_cast<size_t>(perBlock) * entrySize);
  uint64_t at = t.entriesOffset;
  for (size_t i = 0; i < t.order.size();) {
    block.clear();
    for (uint32_t k = 0; k < perBlock && i < t.order.size(); ++k, ++i) {
      const uint32_t e = t.order[i];
      const uint8_t* key = t.keys.data() + static_cast<size_t>(e) * t.keyLen;
      block.insert(block.end(), key, key + t.keyLen);
      for (int b = 0; b < 4; ++b) block.push_back(static_cast<uint8_t>(t.recnos[e] >> (8 * b)));
    }
    t.checks.push_back(blockCheck(block.data(), block.size()));
    if (!file.write(block.data(), block.size(), at, message)) return false;
    at += block.size();
  }
  return true;
}

}  // namespace

bool writeIndex(WorkArea& area, const std::string& path, const dbe_tag_def* defs, int count,
                int& code, std::string& message) {
  if (!defs || count < 1 || count > kMtxMaxTags || path.empty()) {
    code = DBE_E_ARGUMENT;
    message = "index needs a path and 1 to 64 tags";
    return false;
  }
  if (!area.inClear()) {
    code = DBE_E_PASSWORD;
    message = "scrambled table: set its password before building an index";
    return false;
  }
  std::vector<BuiltTag> tags(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!buildTag(area, defs[i], tags[i], code, message)) return false;
    for (int j = 0; j < i; ++j) {
      if (tags[j].name == tags[i].name) {
        code = DBE_E_ARGUMENT;
        message = "duplicate tag " + tags[i].name;
        return false;
      }
    }
  }
  // Layout: header, directory, then per tag its texts and block checks (the
  // part checked at open), then the entries of each tag.
  uint64_t at = kMtxHeaderSize + static_cast<uint64_t>(count) * kMtxTagSize;
  for (BuiltTag& t : tags) {
    t.textOffset = at;
    at = align8(at + t.key.size() + t.condition.size());
    t.checksOffset = at;
    const uint32_t perBlock = entriesPerBlock(t.keyLen + 4);
    at = align8(at + 4 * ((t.order.size() + perBlock - 1) / perBlock));
  }
  const uint64_t metaEnd = at;
  for (BuiltTag& t : tags) {
    t.entriesOffset = at;
    at = align8(at + t.order.size() * (t.keyLen + 4));
  }
  const uint64_t fileSize = at;
  if (metaEnd > kMtxMaxMeta) {
    code = DBE_E_ARGUMENT;
    message = "index " + path + " would have too large a directory";
    return false;
  }

  code = DBE_E_WRITE;
  AtomicFile file;
  if (!file.begin(path, message)) return false;
  for (BuiltTag& t : tags) {
    if (!writeEntries(file, t, message)) return false;
    std::vector<uint8_t>().swap(t.keys);  // no longer needed: give the memory back
    std::vector<uint32_t>().swap(t.recnos);
  }
  std::string meta(static_cast<size_t>(metaEnd), '\0');
  for (int i = 0; i < count; ++i) {
    const BuiltTag& t = tags[static_cast<size_t>(i)];
    const size_t d = kMtxHeaderSize + static_cast<size_t>(i) * kMtxTagSize;
    std::memcpy(meta.data() + d, t.name.data(), t.name.size());
    meta[d + 12] = static_cast<char>(t.type);
    meta[d + 13] = static_cast<char>(t.flags);
    put16(meta, d + 14, static_cast<uint16_t>(t.keyLen));
    put32(meta, d + 16, static_cast<uint32_t>(t.order.size()));
    put32(meta, d + 20, static_cast<uint32_t>(t.key.size()));
    put32(meta, d + 24, static_cast<uint32_t>(t.condition.size()));
    put32(meta, d + 28, entriesPerBlock(t.keyLen + 4));
    put64(meta, d + 32, t.textOffset);
    put64(meta, d + 40, t.entriesOffset);
    put64(meta, d + 48, t.checksOffset);
    std::memcpy(meta.data() + t.textOffset, t.key.data(), t.key.size());
    std::memcpy(meta.data() + t.textOffset + t.key.size(), t.condition.data(), t.condition.size());
    for (size_t b = 0; b < t.checks.size(); ++b) put32(meta, t.checksOffset + 4 * b, t.checks[b]);
  }
  std::memcpy(meta.data(), kMtxMagic, 4);
  put16(meta, 4, kMtxVersion);
  put16(meta, 6, static_cast<uint16_t>(count));
  put32(meta, 8, static_cast<uint32_t>(area.recordCount()));
  put32(meta, 12, static_cast<uint32_t>(area.table().recordSize()));
  put32(meta, 16, area.table().layoutHash());
  put32(meta, 20,
        fnv1a32(reinterpret_cast<const uint8_t*>(meta.data()) + kMtxHeaderSize,
                meta.size() - kMtxHeaderSize));
  put64(meta, 24, fileSize);
  put64(meta, 32, metaEnd);
  // The last entries end on an 8-byte boundary: the file is as long as its
  // header says.
  static const char kPad[8] = {};
  const BuiltTag& last = tags.back();
  const uint64_t end = last.entriesOffset + last.order.size() * (last.keyLen + 4);
  if (!file.write(meta.data(), meta.size(), 0, message) ||
      (fileSize > end && !file.write(kPad, static_cast<size_t>(fileSize - end), end, message)) ||
      !file.commit(message))
    return false;
  code = 0;
  return true;
}

}  // namespace dbe
