// UTF-8 to CP949 (the Windows Unified Hangul Code) through the C library's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calendar {

// The CP949 bytes of a UTF-8 text; nothing when the text is not valid UTF-8, holds a
// character that CP949 cannot encode, or the conversion is not available.
std::optional<std::string> Utf8ToCp949(std::string_view utf8);

}  // namespace calendar
