// Byte-text helpers shared by the expression language and the index: case
// mapping and search that respect double-byte (CP949) characters, numbers and
// dates in their xBase text forms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbe {

// Double-byte lead bytes are 0x81..0xFE; the byte after a lead is a trail
// byte and never changes case nor starts a match.
inline bool isLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

void upperInto(std::string& out, std::string_view in, bool dbcs);
void lowerInto(std::string& out, std::string_view in, bool dbcs);
// Position of `needle` in `hay` starting at a character boundary, or npos.
size_t findText(std::string_view hay, std::string_view needle, bool dbcs);

// Number from field text: leading blanks, sign, digits, point, exponent.
// Anything unparsable reads as 0.
double parseNumber(const char* s, size_t len);
// `value` as decimal text rounded half away from zero at `decimals` digits
// after the point (before it when negative): the rounding works on the
// number's shortest decimal form, the one that reads back as the same
// double, so 1.005 rounds to 1.01. Exactly max(decimals, 0) digits follow the
// point; no sign for a result of zero; "" for a number that is not finite.
std::string roundedDecimal(double value, int decimals);
// xBase STR(): right-aligned in `width` (1..255), `decimals` digits (0 up to
// the width); '*' when too wide.
void formatNumber(std::string& out, double value, int width, int decimals);

// Dates are Julian day numbers; 0 is the empty date. Valid dates lie from
// 0001-01-01 to 9999-12-31.
constexpr int32_t kFirstDay = 1721426;
constexpr int32_t kLastDay = 5373484;
int32_t julianDay(int year, int month, int day);  // 0 when invalid
void civilDate(int32_t jd, int& year, int& month, int& day);
int32_t parseDtos(const char* s, size_t len);   // "yyyymmdd", blank -> 0
void formatDtos(std::string& out, int32_t jd);  // 8 blanks for empty
void formatDtoc(std::string& out, int32_t jd);  // by date format/century
int32_t parseCtod(std::string_view text);       // by date format/epoch
int32_t today();

}  // namespace dbe
