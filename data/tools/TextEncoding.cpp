#include "TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "Cp949Table.h"

namespace postal {
namespace {

// Decodes the character at bytes[i] (well-formed or not); returns its length,
// 0 when the bytes there are no UTF-8 character.
size_t DecodeUtf8(std::string_view bytes, size_t i, char32_t* ch) {
  const auto b0 = static_cast<uint8_t>(bytes[i]);
  if (b0 < 0x80) {
    *ch = b0;
    return 1;
  }
  size_t length;
  char32_t c, min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, c = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, c = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() - i < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<uint8_t>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = c << 6 | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *ch = c;
  return length;
}

}  // namespace

size_t FirstInvalidCp949(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (i + 1 >= bytes.size() || !Cp949Assigned(b, static_cast<uint8_t>(bytes[i + 1]))) return i;
    i += 2;
  }
  return kValidText;
}

DetectedEncoding DetectEncoding(std::string_view bytes) {
  DetectedEncoding d;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    d.textStart = 3;
    const size_t bad = FirstInvalidUtf8(bytes.substr(3));
    if (bad != kValidText) d.invalidAt = bad + 3;
    return d;
  }
  const size_t utf8Bad = FirstInvalidUtf8(bytes);
  if (utf8Bad == kValidText) return d;
  d.encoding = TextEncoding::kCp949;
  const size_t cp949Bad = FirstInvalidCp949(bytes);
  if (cp949Bad == kValidText) return d;
  // The encoding that reads further is the one the file was meant to be in;
  // its first fault is the one to report.
  d.encoding = utf8Bad >= cp949Bad ? TextEncoding::kUtf8 : TextEncoding::kCp949;
  d.invalidAt = std::max(utf8Bad, cp949Bad);
  return d;
}

bool AppendCp949FromUtf8(std::string_view utf8, std::string* out, char32_t* missing) {
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    if (b < 0x80) {
      out->push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    char32_t ch = 0xFFFD;
    const size_t n = DecodeUtf8(utf8, i, &ch);
    const uint16_t code = n ? Cp949Code(ch) : 0;
    if (code == 0) {
      if (missing) *missing = ch;
      return false;
    }
    out->push_back(static_cast<char>(code >> 8));
    out->push_back(static_cast<char>(code & 0xFF));
    i += n;
  }
  return true;
}

std::string PrintableText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    char32_t ch = 0;
    const size_t n = b < 0x80 ? 1 : DecodeUtf8(utf8, i, &ch);
    if (n == 0 || b < 0x20 || b == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(b));
      out += hex;
      ++i;
      continue;
    }
    out.append(utf8, i, n);
    i += n;
  }
  return out;
}

std::string CodePointName(char32_t ch) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(ch));
  return buf;
}

}  // namespace postal
