#pragma once
// Numbers of addresses: the number a user types (a lot, a building, a block
// of flats, underground or on a mountain) and the ranges of numbers that
// the postal tables write, so that a number finds the row whose range holds
// it. Text is CP949.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace postal {

// A number as a word of a search: [지하][산]main[-sub][동|번지|번], or a
// Latin letter with 동 ("B동").
struct NumberWord {
  bool underground = false;  // 지하: only an underground range holds it
  bool mountain = false;     // 산: only a mountain lot range holds it
  bool block = false;        // 동: only a range of blocks holds it
  int64_t main = -1;         // -1 for a letter block
  int64_t sub = -1;          // -1: none
  char letter = 0;           // the letter of a letter block, upper case
};

// The word as a number word; nothing for any other word ("개포1동", "177길").
std::optional<NumberWord> ParseNumberWord(std::string_view word);

// A range of numbers in an address: "601∼720", "101∼151 (홀수)",
// "2-1∼20-3", "123-(1∼5)", "100∼120-(5)", "12-(3)", "5-2", "산1∼30",
// "지하 12∼30 (짝수)", "(17∼40동)", "(3동)", "(A∼D동)", a single number too.
struct NumberRange {
  enum class Parity { kAll, kOdd, kEven };
  bool underground = false;
  bool mountain = false;
  bool block = false;
  bool letters = false;  // a range of letter blocks (lo and hi are letters)
  bool single = false;   // one number, no range sign: a building's or a lot's own
  Parity parity = Parity::kAll;
  int64_t loMain = 0, loSub = 0;  // the first number
  int64_t hiMain = 0, hiSub = 0;  // the last; a sub of kAnySub holds every sub
  size_t begin = 0, end = 0;      // where its text lies in the field
};
inline constexpr int64_t kAnySub = INT64_MAX;

// Every range of a field, in order. A range starts at the start of a word (a
// digit inside a name, as in 개포1동 or 삼양로177길, starts none).
std::vector<NumberRange> RangesIn(std::string_view field);

// True when range holds number: underground, mountain and block alike, the
// main number between the range's main numbers (or, with a sub-number, the
// pair between its pairs), odd or even as the range says.
bool Holds(const NumberRange& range, const NumberWord& number);

// True when a field carries a number: a range, or a digit at the start of a
// word (the 2 of 황금2동 is part of a name).
bool HasNumber(std::string_view field);

}  // namespace postal
