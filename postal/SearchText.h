#pragma once
// The search text: what the user typed, as the CP949 bytes the full-text
// library and the table speak, in a 256-byte zero-terminated buffer.
#include <array>
#include <string_view>

namespace postal {

// CP949, zero-terminated, so at most 255 bytes of text.
using SearchText = std::array<char, 256>;

enum class TextStatus {
  kReady,     // the search text holds the text
  kBlank,     // only spaces and control characters (the search text holds them)
  kNotUtf8,   // not well-formed UTF-8: nothing was understood
  kNotCp949,  // a character that CP949 cannot hold: no record can hold it either
  kTooLong,   // over 255 bytes even without the blanks at its ends
};

// True for the bytes that trimming removes: spaces and control characters.
inline bool IsBlankByte(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}
// True when text holds nothing but blanks.
bool IsBlankText(std::string_view text);
// The text without blanks at its end, or at both ends.
std::string_view TrimTrailingBlanks(std::string_view text);
std::string_view TrimBlanks(std::string_view text);

// Fills text from UTF-8 as typed: converted whole to CP949 and cut at its
// first zero byte (the library reads no further). The blanks around the words
// stay (the library cuts words at them) unless the text is over 255 bytes;
// without them it must fit, or it is refused rather than cut (words cut off
// its end would widen the search). Unless kReady or kBlank, text is left
// empty.
TextStatus MakeSearchText(std::string_view utf8, SearchText* text);

}  // namespace postal
