#include "postal/SearchText.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Cp949Codec.h"

namespace postal {

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsBlankByte);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  // Fields are padded with spaces: eight at a time first.
  static constexpr char kSpaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  while (text.size() >= 8 && std::memcmp(text.data() + text.size() - 8, kSpaces, 8) == 0)
    text.remove_suffix(8);
  while (!text.empty() && IsBlankByte(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimBlanks(std::string_view text) {
  text = TrimTrailingBlanks(text);
  while (!text.empty() && IsBlankByte(text.front())) text.remove_prefix(1);
  return text;
}

TextStatus MakeSearchText(std::string_view utf8, SearchText* text) {
  text->fill('\0');
  std::string bytes;
  switch (platform::EncodeCp949(utf8, &bytes)) {
    case platform::Cp949Encoding::kNotUtf8:
      return TextStatus::kNotUtf8;
    case platform::Cp949Encoding::kNotCp949:
      return TextStatus::kNotCp949;
    case platform::Cp949Encoding::kDone:
      break;
  }
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  const size_t room = text->size() - 1;
  std::string_view fill = bytes;
  // Blanks are single bytes, and no byte of a double-byte character is one.
  if (fill.size() > room) fill = TrimBlanks(fill);
  if (fill.size() > room) return TextStatus::kTooLong;
  std::memcpy(text->data(), fill.data(), fill.size());
  return IsBlankText(fill) ? TextStatus::kBlank : TextStatus::kReady;
}

}  // namespace postal
