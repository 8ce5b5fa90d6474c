#pragma once
// Text between the shell (UTF-8) and the table, the index and the search text
// (CP949, the Windows Unified Hangul Code), through the C library's iconv.
#include <array>
#include <string>
#include <string_view>

namespace lookup {

// The search text as the finder's window fills it: CP949, zero-terminated,
// at most 255 bytes of text.
using SearchText = std::array<char, 256>;

enum class QueryStatus {
  kReady,       // the search text is filled
  kBlank,       // nothing but spaces and control characters: nothing to search
  kNotUtf8,     // the query is not well-formed UTF-8
  kNotInCp949,  // a character that CP949 cannot hold: no record can match
};

// The offset of the first byte that does not belong to a well-formed UTF-8
// character (shortest form, no surrogates, at most U+10FFFF), or npos.
size_t FirstInvalidUtf8(std::string_view text);

class Cp949Text {
 public:
  Cp949Text();
  ~Cp949Text();
  Cp949Text(const Cp949Text&) = delete;
  Cp949Text& operator=(const Cp949Text&) = delete;

  // False when the C library has no CP949 converter.
  bool Available() const;

  // Fills text from a query as the window does with its search box: the
  // whole query converted, cut at its first zero byte, then to 255 bytes at a
  // character boundary. Blanks around the words stay (the index splits at
  // them); a query of blanks only is kBlank.
  QueryStatus MakeSearchText(std::string_view utf8, SearchText* text);

  // The UTF-8 form of CP949 bytes; a byte sequence that is no CP949
  // character becomes U+FFFD.
  std::string ToUtf8(std::string_view cp949);

 private:
  void* toCp949_;
  void* fromCp949_;
};

}  // namespace lookup
