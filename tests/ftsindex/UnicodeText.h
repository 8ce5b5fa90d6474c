#pragma once
// CP949 and Unicode through iconv, for reference matchers written apart from
// the library's own byte handling.
#include <iconv.h>

#include <string>

namespace ftstest {

using Chars = std::u32string;

inline std::string IconvConvert(const std::string& in, const char* to, const char* from, bool* ok) {
  iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 4 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  *ok = cd != reinterpret_cast<iconv_t>(-1) &&
        iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

// CP949 to Unicode, ASCII letters in lower case; false for invalid CP949.
inline bool DecodeCp949(const std::string& cp949, Chars& out) {
  bool ok = false;
  const std::string utf32 = IconvConvert(cp949, "UTF-32LE", "CP949", &ok);
  out.clear();
  for (size_t i = 0; ok && i + 4 <= utf32.size(); i += 4) {
    char32_t c = 0;
    for (int k = 3; k >= 0; --k) c = c << 8 | static_cast<unsigned char>(utf32[i + k]);
    out.push_back(c >= U'A' && c <= U'Z' ? c + 32 : c);
  }
  return ok;
}

// Unicode to CP949; empty when a character has no CP949 form.
inline std::string EncodeCp949(const Chars& text) {
  std::string utf32;
  for (char32_t c : text)
    for (int k = 0; k < 4; ++k) utf32.push_back(static_cast<char>(c >> (8 * k)));
  bool ok = false;
  std::string cp949 = IconvConvert(utf32, "CP949", "UTF-32LE", &ok);
  return ok ? cp949 : std::string();
}

// The 19 initial consonants as compatibility jamo, in the order of the
// syllables (U+AC00 + 588 * i begins the i-th).
inline const Chars kInitialJamo = U"ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ";

inline bool IsSyllable(char32_t c) {
  return c >= 0xAC00 && c <= 0xD7A3;
}
inline char32_t InitialJamoOf(char32_t syllable) {
  return kInitialJamo[(syllable - 0xAC00) / 588];
}

}  // namespace ftstest
