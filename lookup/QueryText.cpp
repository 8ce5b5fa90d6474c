#include "lookup/QueryText.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lookup {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t Converter(void* cd) {
  return static_cast<iconv_t>(cd);
}

bool IsLeadByte(unsigned char c) {
  return c >= 0x81;
}

// A lead and a trail byte of CP949's double-byte range, assigned or not.
bool IsPair(unsigned char lead, unsigned char trail) {
  return lead >= 0x81 && lead <= 0xFE &&
         ((trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) || trail >= 0x81) &&
         trail != 0xFF;
}

}  // namespace

size_t FirstInvalidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;  // no overlong forms
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;  // at most U+10FFFF
    } else {
      return i;
    }
    if (i + len > n || s[i + 1] < lo || s[i + 1] > hi) return i;
    for (size_t k = 2; k < len; ++k)
      if (s[i + k] < 0x80 || s[i + k] > 0xBF) return i;
    i += len;
  }
  return std::string_view::npos;
}

Cp949Text::Cp949Text()
    : toCp949_(iconv_open("CP949", "UTF-8")), fromCp949_(iconv_open("UTF-8", "CP949")) {}

Cp949Text::~Cp949Text() {
  if (Converter(toCp949_) != kNoConverter) iconv_close(Converter(toCp949_));
  if (Converter(fromCp949_) != kNoConverter) iconv_close(Converter(fromCp949_));
}

bool Cp949Text::Available() const {
  return Converter(toCp949_) != kNoConverter && Converter(fromCp949_) != kNoConverter;
}

QueryStatus Cp949Text::MakeSearchText(std::string_view utf8, SearchText* text) {
  text->fill('\0');
  if (FirstInvalidUtf8(utf8) != std::string_view::npos) return QueryStatus::kNotUtf8;
  if (std::all_of(utf8.begin(), utf8.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= 0x20; }))
    return QueryStatus::kBlank;

  // CP949 never takes more bytes than UTF-8 for the same text.
  std::string out(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outp = out.data();
  size_t outLeft = out.size();
  iconv(Converter(toCp949_), nullptr, nullptr, nullptr, nullptr);
  if (iconv(Converter(toCp949_), &in, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
    return QueryStatus::kNotInCp949;
  out.resize(out.size() - outLeft);

  // The text ends at its first zero byte, as the library reads it; then it is
  // cut to what the buffer holds without splitting a character.
  out.resize(std::min(out.size(), out.find('\0')));
  const size_t room = text->size() - 1;
  size_t i = 0;
  while (i < out.size()) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(out[i])) ? 2 : 1;
    if (i + width > room) break;
    i += width;
  }
  std::memcpy(text->data(), out.data(), i);
  return QueryStatus::kReady;
}

std::string Cp949Text::ToUtf8(std::string_view cp949) {
  std::string out;
  out.reserve(cp949.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(cp949.data());
  size_t inLeft = cp949.size();
  char buffer[1024];
  iconv(Converter(fromCp949_), nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    char* outp = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(Converter(fromCp949_), &in, &inLeft, &outp, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // No CP949 character here: one replacement for the byte, or for the
    // pair of bytes when they have the form of one.
    out += "\xEF\xBF\xBD";
    const size_t skip =
        inLeft > 1 && IsPair(static_cast<unsigned char>(in[0]), static_cast<unsigned char>(in[1]))
            ? 2
            : 1;
    in += skip;
    inLeft -= skip;
    iconv(Converter(fromCp949_), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace lookup
