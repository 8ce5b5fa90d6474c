#include "widgets/LedText.h"

#include <QStringEncoder>

namespace widgets {

QByteArray LedTextBytes(const QString& text) {
  bool ascii = true;
  for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
  if (ascii) return text.toLatin1();
  QStringEncoder encoder("windows-949", QStringConverter::Flag::Default);
  if (encoder.isValid()) return encoder.encode(text);
  // Without the code page every non-ASCII character still takes two blank cells.
  QByteArray bytes;
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      bytes.append(char(c.unicode()));
    } else if (!c.isLowSurrogate()) {
      bytes.append("\xA1\xA1", 2);
    }
  }
  return bytes;
}

}  // namespace widgets
