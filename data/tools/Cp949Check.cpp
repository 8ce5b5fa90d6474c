#include "Cp949Check.h"

#include <iconv.h>

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
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string in(utf8);
  std::string out(in.size() * 2 + 4, '\0');
  char* inp = in.data();
  char* outp = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return {};
  out.resize(out.size() - outLeft);
  return out;
}

std::string Utf8FromCp949(std::string_view cp949) {
  std::string out;
  iconv_t cd = iconv_open("UTF-8", "CP949");
  size_t i = 0;
  while (i < cp949.size()) {
    const size_t n = static_cast<unsigned char>(cp949[i]) < 0x80 || i + 1 == cp949.size() ? 1 : 2;
    char in[2] = {cp949[i], n == 2 ? cp949[i + 1] : '\0'};
    char buf[8];
    char* inp = in;
    char* outp = buf;
    size_t inLeft = n, outLeft = sizeof buf;
    if (cd != reinterpret_cast<iconv_t>(-1) &&
        iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && inLeft == 0) {
      out.append(buf, outp);
      i += n;
      continue;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(cp949[i]));
    out += hex;
    ++i;
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return out;
}

}  // namespace postal
