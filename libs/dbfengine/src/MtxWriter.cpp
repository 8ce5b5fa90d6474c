#include "MtxWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

#include "MtxFormat.h"

namespace dbe {

namespace {

struct BuiltTag {
  std::string name, key, condition;
  KeyType type = kKeyChar;
  uint8_t flags = 0;
  size_t keyLen = 0;
  std::string entries;  // keyLen bytes + 4-byte record number, sorted
  uint32_t count = 0;
};

bool validTagName(const std::string& n) {
  if (n.empty() || n.size() > 10) return false;
  for (char c : n)
    if (!(isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
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

  // Keys of every record that meets the condition.
  const int32_t n = area.recordCount();
  std::vector<std::string> keys;
  std::vector<uint32_t> recnos;
  size_t keyLen = static_cast<size_t>(fixedKeyLength(out.type));
  std::string text;
  Value v;
  for (int32_t r = 1; r <= n; ++r) {
    EvalContext ctx{area.record(r), r, table.doubleByte()};
    if (cond) {
      cond->eval(ctx, v);
      if (!v.l) continue;
    }
    if (out.type == kKeyChar) {
      key->eval(ctx, v);
      text.assign(v.s, std::min<size_t>(v.len, kMtxMaxKey));
    } else {
      encodeKey(*key, ctx, out.type, keyLen, text);
    }
    if (out.type == kKeyChar) keyLen = std::max(keyLen, text.size());
    keys.push_back(text);
    recnos.push_back(static_cast<uint32_t>(r));
  }
  if (keyLen == 0) keyLen = 1;
  for (std::string& k : keys) k.resize(keyLen, ' ');
  std::vector<uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  const bool desc = out.flags & kTagDescending;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return compareEntries(reinterpret_cast<const uint8_t*>(keys[a].data()), recnos[a],
                          reinterpret_cast<const uint8_t*>(keys[b].data()), recnos[b], keyLen,
                          desc) < 0;
  });
  out.keyLen = keyLen;
  out.entries.reserve(order.size() * (keyLen + 4));
  const std::string* last = nullptr;
  for (uint32_t i : order) {
    if ((out.flags & kTagUnique) && last && *last == keys[i]) continue;
    out.entries += keys[i];
    char rn[4];
    for (int b = 0; b < 4; ++b) rn[b] = static_cast<char>(recnos[i] >> (8 * b));
    out.entries.append(rn, 4);
    ++out.count;
    last = &keys[i];
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
  // Header, directory, expression texts, then the entries of each tag.
  std::string file(kMtxHeaderSize + count * kMtxTagSize, '\0');
  for (int i = 0; i < count; ++i) {
    BuiltTag& t = tags[i];
    const size_t d = kMtxHeaderSize + i * kMtxTagSize;
    std::memcpy(file.data() + d, t.name.data(), t.name.size());
    file[d + 12] = static_cast<char>(t.type);
    file[d + 13] = static_cast<char>(t.flags);
    put16(file, d + 14, static_cast<uint16_t>(t.keyLen));
    put32(file, d + 16, t.count);
    put32(file, d + 20, static_cast<uint32_t>(t.key.size()));
    put32(file, d + 24, static_cast<uint32_t>(t.condition.size()));
    put64(file, d + 32, file.size());
    file += t.key;
    file += t.condition;
    while (file.size() % 8) file.push_back('\0');
    put64(file, d + 40, file.size());
    file += t.entries;
    while (file.size() % 8) file.push_back('\0');
  }
  std::memcpy(file.data(), kMtxMagic, 4);
  put16(file, 4, kMtxVersion);
  put16(file, 6, static_cast<uint16_t>(count));
  put32(file, 8, static_cast<uint32_t>(area.recordCount()));
  put32(file, 12, static_cast<uint32_t>(area.table().recordSize()));
  put32(file, 16, area.table().layoutHash());
  put64(file, 24, file.size());
  put32(file, 20,
        fnv1a32(reinterpret_cast<const uint8_t*>(file.data()) + kMtxHeaderSize,
                file.size() - kMtxHeaderSize));

  const std::string tmp = path + ".tmp" + std::to_string(getpid());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0;
  size_t done = 0;
  while (ok && done < file.size()) {
    const ssize_t w = ::write(fd, file.data() + done, file.size() - done);
    if (w < 0 && errno == EINTR) continue;
    ok = w > 0;
    if (ok) done += static_cast<size_t>(w);
  }
  if (fd >= 0) ok = (fsync(fd) == 0) && ok, ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int err = errno;
    ::unlink(tmp.c_str());
    code = DBE_E_WRITE;
    message = "cannot write index " + path + ": " + std::strerror(err);
    return false;
  }
  return true;
}

}  // namespace dbe
