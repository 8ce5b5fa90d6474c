#pragma once
// A search text read as an address: its words, which of them are numbers,
// the other forms a word may take (a province's other names, a six-digit
// code with its hyphen), and the reference in brackets at its end.
#include <optional>
#include <string>
#include <vector>

#include "postal/NumberWords.h"
#include "postal/SearchText.h"

namespace postal {

struct QueryWord {
  std::string text;  // CP949, as typed (a number glued to its road cut off)
  // Set for a number word; for "지하" typed as a word of its own before the
  // number, text holds both ("지하 12").
  std::optional<NumberWord> number;
  // Other forms that count as the word when they stand as a whole word of a
  // field (서울특별시 for 서울), or, for a code, as the whole field.
  std::vector<std::string> alternatives;
  // The last run of digits of the text ends the search text: it may be the
  // start of a longer run (a number typed digit by digit).
  bool openEnd = false;
  bool reference = false;  // from the brackets at the end of the text
};

struct AddressQuery {
  std::vector<QueryWord> words;

  bool HasReference() const;
  bool HasNumberWords() const;
  bool HasOtherWords() const;
  // The query without the words of the reference in brackets.
  AddressQuery WithoutReference() const;
  // The words that are not number words (for the place's own row).
  AddressQuery WithoutNumbers() const;
};

// Reads a search text. Words are cut at spaces as the full-text library
// cuts them; "(역삼동, 강남파이낸스센터)" at the end gives reference words; a
// number glued to a word ending in 로, 길, 동, 리 or 가 is a word of its own
// ("테헤란로152", "역삼동737-1", "명동2가50").
AddressQuery ReadAddressQuery(const SearchText& text);

}  // namespace postal
