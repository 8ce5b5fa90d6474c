#pragma once
// The search text from the search box: its QString as UTF-8, made into the
// CP949 search text by the core (postal/SearchText.h).
#include <QByteArray>
#include <QString>

#include "search/PostalParts.h"

namespace search {

// The text without spaces and control characters at either end (the search
// entry's test for a blank box).
QString TrimBlanks(const QString& text);
// The same, at the end only, for the bytes of a field.
QByteArray TrimTrailingBlanks(const QByteArray& bytes);

// What FillSearchText made of the box's text.
enum class TSearchTextFill {
  Filled,    // the search text holds it
  NotCp949,  // a character that CP949 cannot encode: no record can hold it
  TooLong,   // over 255 bytes even without the blanks at its ends
};

// Fills searchText from the box's text (postal::MakeSearchText). Unless
// Filled, the search text is left empty.
TSearchTextFill FillSearchText(const QString& text, TSearchText& searchText);

}  // namespace search
