#pragma once
// The two encodings of Korea Post's text files, UTF-8 and CP949, told apart
// and converted to the CP949 bytes of the table.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Cp949Codec.h"

namespace postal {

enum class TextEncoding { kUtf8, kCp949 };

inline constexpr size_t kValidText = std::string_view::npos;

// The offset of the first byte that is not part of a well-formed character
// (UTF-8: shortest form, no surrogates, at most U+10FFFF, the codec's rule;
// CP949: ASCII or an assigned double-byte character); kValidText when the
// whole text is.
using platform::FirstInvalidUtf8;
size_t FirstInvalidCp949(std::string_view bytes);

// How a file is written: a UTF-8 byte-order mark decides for UTF-8 (and is
// skipped), otherwise whichever encoding holds the whole file, UTF-8 first.
struct DetectedEncoding {
  TextEncoding encoding = TextEncoding::kUtf8;
  size_t textStart = 0;           // 3 after a byte-order mark
  size_t invalidAt = kValidText;  // set when neither encoding holds the file
};
DetectedEncoding DetectEncoding(std::string_view bytes);

// Appends the CP949 form of well-formed UTF-8 text to out. A character that
// CP949 lacks ends the conversion: false, with that character in *missing.
bool AppendCp949FromUtf8(std::string_view utf8, std::string* out, char32_t* missing);

// The text as it may be shown on a terminal or in a message: well-formed
// UTF-8 characters as they are, control bytes (NUL, ESC, ...) and bytes of
// no UTF-8 character as \xNN.
std::string PrintableText(std::string_view utf8);

// "U+223C".
std::string CodePointName(char32_t ch);

}  // namespace postal
