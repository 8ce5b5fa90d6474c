#pragma once
// The project's one CP949 codec (Microsoft's code page 949, the Unified
// Hangul Code that the tables are written in): the C library's iconv
// "CP949", and for callers that convert character by character, tables of
// the same converter's mapping made at first use. Free of Qt: the window
// converts its QString to UTF-8 and comes here, as the command-line tools do.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The offset of the first byte that does not belong to a well-formed UTF-8
// character (shortest form, no surrogates, at most U+10FFFF), or npos.
size_t FirstInvalidUtf8(std::string_view text);

enum class Cp949Encoding {
  kDone,      // every character converted
  kNotUtf8,   // the text is not well-formed UTF-8
  kNotCp949,  // a character that CP949 cannot hold
};

// UTF-8 to CP949. Unless kDone, *out is left empty.
Cp949Encoding EncodeCp949(std::string_view utf8, std::string* out);
// The same, empty for any text that does not convert whole.
std::string Cp949FromUtf8(std::string_view utf8);

// How the decoder writes a byte sequence that is no CP949 character.
enum class Cp949Invalid {
  kReplace,  // U+FFFD, once for the byte, or for the pair of bytes of that form
  kEscape,   // "\xNN" for the byte, the next read again (for messages that quote bad input)
};

// CP949 to UTF-8.
std::string Utf8FromCp949(std::string_view cp949, Cp949Invalid invalid = Cp949Invalid::kReplace);
// CP949 to UTF-8 when every byte sequence is a CP949 character (a lead byte
// cut off at the end counts as none); nothing otherwise.
std::optional<std::string> Utf8FromCp949Strict(std::string_view cp949);

// True when lead, trail is an assigned double-byte character.
bool Cp949Assigned(uint8_t lead, uint8_t trail);
// The CP949 code of a Unicode character: the byte itself below 0x80, lead << 8
// | trail for a double-byte character, 0 when CP949 has no such character.
uint16_t Cp949Code(char32_t ch);

// True when the converter is there (glibc always has it; a C library
// without gconv modules may not).
bool Cp949Available();

}  // namespace platform
