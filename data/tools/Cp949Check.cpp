#include "Cp949Check.h"

#include <iconv.h>

#include <cstdio>

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

// glibc's CP949 table knows exactly which double-byte codes are assigned.
// One converter for the whole run; CP949 has no shift state to reset.
class StrictDecoder {
 public:
  StrictDecoder() : cd_(iconv_open("UTF-8", "CP949")) {}
  ~StrictDecoder() {
    if (usable()) iconv_close(cd_);
  }
  StrictDecoder(const StrictDecoder&) = delete;
  StrictDecoder& operator=(const StrictDecoder&) = delete;

  bool Assigned(std::string_view pair) {
    if (!usable()) return true;  // no table on this system: structure only
    char in[2] = {pair[0], pair[1]};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    const size_t r = iconv(cd_, &inp, &inLeft, &outp, &outLeft);
    return r != static_cast<size_t>(-1) && inLeft == 0;
  }

 private:
  bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

bool DecodesStrictly(std::string_view pair) {
  static StrictDecoder decoder;
  return decoder.Assigned(pair);
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
    if (!IsTrail(t) || !DecodesStrictly(text.substr(i, 2))) {
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

}  // namespace postal
