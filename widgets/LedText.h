// The bytes an LED label shows for a text: the Korean code page, so that a
// double-byte character takes one cell per byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace widgets {

// Characters the code page cannot encode become '?' (a blank cell).
QByteArray LedTextBytes(const QString& text);

}  // namespace widgets
