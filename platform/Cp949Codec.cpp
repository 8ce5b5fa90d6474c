#include "platform/Cp949Codec.h"

#include <iconv.h>

#include <bitset>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr char kCodeName[] = "CP949";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// One pair of converters per thread: iconv keeps state between calls, and
// opening one costs more than converting a line.
class Converters {
 public:
  Converters()
      : toCp949_(iconv_open(kCodeName, "UTF-8")), fromCp949_(iconv_open("UTF-8", kCodeName)) {}
  ~Converters() {
    if (toCp949_ != kNoConverter) iconv_close(toCp949_);
    if (fromCp949_ != kNoConverter) iconv_close(fromCp949_);
  }
  Converters(const Converters&) = delete;
  Converters& operator=(const Converters&) = delete;

  iconv_t ToCp949() const { return toCp949_; }
  iconv_t FromCp949() const { return fromCp949_; }

 private:
  iconv_t toCp949_;
  iconv_t fromCp949_;
};

Converters& ThreadConverters() {
  thread_local Converters converters;
  return converters;
}

// A lead and a trail byte of CP949's double-byte range, assigned or not.
bool IsPair(unsigned char lead, unsigned char trail) {
  return lead >= 0x81 && lead <= 0xFE &&
         ((trail >= 0x41 && trail <= 0x5A) || (trail >= 0x61 && trail <= 0x7A) || trail >= 0x81) &&
         trail != 0xFF;
}

struct Tables {
  std::bitset<65536> assigned;
  std::vector<uint16_t> fromUnicode = std::vector<uint16_t>(65536, 0);
};

// Decodes every double-byte candidate once through the converter.
const Tables& CharacterTables() {
  static const std::unique_ptr<Tables> tables = [] {
    auto t = std::make_unique<Tables>();
    iconv_t cd = iconv_open("UTF-32LE", kCodeName);
    if (cd == kNoConverter) return t;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        if (!IsPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[8];
        char* inp = in;
        char* outp = reinterpret_cast<char*>(out);
        size_t inLeft = 2, outLeft = sizeof out;
        const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        if (r == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 4) {
          iconv(cd, nullptr, nullptr, nullptr, nullptr);
          continue;
        }
        const char32_t ch =
            out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
        const auto code = static_cast<uint16_t>(lead << 8 | trail);
        t->assigned.set(code);
        // Should two codes decode alike, the encoder's choice is the first.
        if (ch >= 0x80 && ch < 0x10000 && t->fromUnicode[ch] == 0) t->fromUnicode[ch] = code;
      }
    }
    iconv_close(cd);
    return t;
  }();
  return *tables;
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

bool Cp949Available() {
  const Converters& c = ThreadConverters();
  return c.ToCp949() != kNoConverter && c.FromCp949() != kNoConverter;
}

Cp949Encoding EncodeCp949(std::string_view utf8, std::string* out) {
  out->clear();
  if (FirstInvalidUtf8(utf8) != std::string_view::npos) return Cp949Encoding::kNotUtf8;
  const iconv_t cd = ThreadConverters().ToCp949();
  if (cd == kNoConverter) return Cp949Encoding::kNotCp949;
  // CP949 never takes more bytes than UTF-8 for the same text.
  std::string bytes(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outp = bytes.data();
  size_t outLeft = bytes.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return Cp949Encoding::kNotCp949;
  }
  bytes.resize(bytes.size() - outLeft);
  *out = std::move(bytes);
  return Cp949Encoding::kDone;
}

std::string Cp949FromUtf8(std::string_view utf8) {
  std::string out;
  EncodeCp949(utf8, &out);
  return out;
}

std::string Utf8FromCp949(std::string_view cp949, Cp949Invalid invalid) {
  std::string out;
  out.reserve(cp949.size() * 3 / 2 + 4);
  const iconv_t cd = ThreadConverters().FromCp949();
  char* in = const_cast<char*>(cp949.data());
  size_t inLeft = cp949.size();
  char buffer[1024];
  if (cd != kNoConverter) iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    if (cd != kNoConverter) {
      char* outp = buffer;
      size_t outLeft = sizeof buffer;
      const size_t r = iconv(cd, &in, &inLeft, &outp, &outLeft);
      out.append(buffer, sizeof buffer - outLeft);
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // No CP949 character here (or no converter: nothing is).
    // One replacement for a pair of that form; an escape for each byte, the
    // next one read again (it may begin a character of its own).
    const auto b0 = static_cast<unsigned char>(in[0]);
    const size_t skip = invalid == Cp949Invalid::kReplace && inLeft > 1 &&
                                IsPair(b0, static_cast<unsigned char>(in[1]))
                            ? 2
                            : 1;
    if (invalid == Cp949Invalid::kReplace) {
      out += "\xEF\xBF\xBD";
    } else {
      for (size_t k = 0; k < skip; ++k) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(in[k]));
        out += hex;
      }
    }
    in += skip;
    inLeft -= skip;
  }
  return out;
}

std::optional<std::string> Utf8FromCp949Strict(std::string_view cp949) {
  const iconv_t cd = ThreadConverters().FromCp949();
  if (cd == kNoConverter) return std::nullopt;
  std::string out;
  out.reserve(cp949.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(cp949.data());
  size_t inLeft = cp949.size();
  char buffer[1024];
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    char* outp = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(cd, &in, &inLeft, &outp, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      return std::nullopt;
    }
  }
  return out;
}

bool Cp949Assigned(uint8_t lead, uint8_t trail) {
  return CharacterTables().assigned.test(static_cast<size_t>(lead << 8 | trail));
}

uint16_t Cp949Code(char32_t ch) {
  if (ch < 0x80) return static_cast<uint16_t>(ch);
  if (ch >= 0x10000) return 0;
  return CharacterTables().fromUnicode[ch];
}

}  // namespace platform
