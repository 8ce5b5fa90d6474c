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

// CP949 bytes cut to at most maxBytes at a character boundary: a double-byte
// character that does not fit whole is left out.
QByteArray CutAtCharacter(const QByteArray& cp949, int maxBytes);

// Fills searchText with text in CP949, untrimmed, cut to 255 bytes. False when
// text holds a character that CP949 cannot encode: no table record can hold
// it, and the search text is then left empty.
bool FillSearchText(const QString& text, TSearchText& searchText);

}  // namespace search
