// The bytes an LED label shows for a text: the Korean code page, so that a
// double-byte character takes one cell per byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace widgets {

// Every byte of a non-ASCII character is 128 or more (one blank cell each),
// also where the code page encodes a trail byte in the ASCII range.
QByteArray LedTextBytes(const QString& text);

}  // namespace widgets
