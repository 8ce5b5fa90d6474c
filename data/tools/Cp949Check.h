#pragma once
// Validation of CP949 (Unified Hangul Code) text bytes.
#include <string>
#include <string_view>

namespace postal {

// True when text is a sequence of printable CP949 characters: ASCII 0x20..0x7E
// or an assigned double-byte character. Otherwise false, with a reason naming
// the byte offset of the first fault in *why.
bool IsValidCp949Text(std::string_view text, std::string* why);

// The CP949 bytes of a UTF-8 text (the tool's own constants); empty when the
// text has a character without a CP949 form.
std::string Cp949FromUtf8(std::string_view utf8);

// The UTF-8 form of CP949 text, for messages; a byte that does not convert
// shows as \xNN.
std::string Utf8FromCp949(std::string_view cp949);

}  // namespace postal
