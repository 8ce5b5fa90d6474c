#pragma once
// The pieces every address of the table is written from, as CP949 bytes:
// words joined by one blank, building and lot numbers, and the fixed words
// of the road address in Korean and in English.
#include <cstdint>
#include <string>
#include <string_view>

namespace postal {

// Where a building number lies (지하여부): on the ground, under it, or on a
// structure above it (the government's data write 2 for 공중).
enum class AddressLevel { kGround = 0, kUnderground = 1, kElevated = 2 };

struct AddressWords {
  std::string underground, elevated;  // "지하 ", "공중 " before the number
  std::string to;                     // "∼" (U+223C) between two numbers
  std::string odd, even;              // " (홀수)", " (짝수)" after a range
  std::string mountain;               // "산" before a lot number
  // The English forms, which are ASCII.
  std::string undergroundEn = "Jiha ", elevatedEn = "Gongjung ";
  std::string oddEn = " (odd)", evenEn = " (even)";
};
// In CP949, made once.
const AddressWords& Words();

// name and a blank, when name is not empty.
void AppendWord(std::string* out, std::string_view name);
// separator and part when part is not empty (the separator left out at the
// start of out).
void AppendPart(std::string* out, std::string_view part, std::string_view separator);
// main, and "-" sub when sub is not 0.
void AppendNumber(std::string* out, uint32_t main, uint32_t sub);
// "지하 " or "공중 " (or, in English, "Jiha " or "Gongjung ").
void AppendLevel(std::string* out, AddressLevel level, bool english);

}  // namespace postal
