#pragma once
// Filling the CP949 search text from the search box.
#include <QByteArray>
#include <QString>

#include "search/PostalParts.h"

namespace search {

// The text without spaces and control characters at either end (the search
// entry's test for a blank box).
QString TrimBlanks(const QString& text);
// The same, at the end only.
QByteArray TrimTrailingBlanks(const QByteArray& bytes);

// What FillSearchText made of the box's text.
enum class TSearchTextFill {
  Filled,    // the search text holds it
  NotCp949,  // a character that CP949 cannot encode: no record can hold it
  TooLong,   // over 255 bytes even without the blanks at its ends
};

// Fills searchText with text in CP949, untrimmed when it fits in 255 bytes,
// else without the blanks at its ends (they change no match). A text that
// still does not fit is refused rather than cut: words cut off its end would
// be ignored and the search would show more than was asked for. Unless
// Filled, the search text is left empty.
TSearchTextFill FillSearchText(const QString& text, TSearchText& searchText);

}  // namespace search
