#include "Cp949Check.h"

#include <cstdio>

#include "Cp949Table.h"

namespace postal {
namespace {

std::string AtOffset(const char* what, size_t offset) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s at byte %zu", what, offset + 1);
  return buf;
}

bool IsLead(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}

bool IsTrail(unsigned char b) {
  return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

}  // namespace

bool IsValidCp949Text(std::string_view text, std::string* why) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F) {
        if (why) *why = AtOffset("control character", i);
        return false;
      }
      continue;
    }
    if (!IsLead(b)) {
      if (why) *why = AtOffset("byte that starts no CP949 character", i);
      return false;
    }
    if (i + 1 >= text.size()) {
      if (why) *why = AtOffset("double-byte character cut short", i);
      return false;
    }
    const auto t = static_cast<unsigned char>(text[i + 1]);
    if (!IsTrail(t) || !Cp949Assigned(b, t)) {
      if (why) *why = AtOffset("invalid CP949 character", i);
      return false;
    }
    ++i;
  }
  return true;
}

std::string Cp949FromUtf8(std::string_view utf8) {
  return platform::Cp949FromUtf8(utf8);
}

std::string Utf8FromCp949(std::string_view cp949) {
  return platform::Utf8FromCp949(cp949, platform::Cp949Invalid::kEscape);
}

}  // namespace postal
