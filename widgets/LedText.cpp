#include "widgets/LedText.h"

#include <QStringEncoder>
#include <optional>

namespace widgets {
namespace {
// Stands for a byte of a double-byte character: any byte of 128 or more.
constexpr char kHighByte = char(0xA1);
}  // namespace

QByteArray LedTextBytes(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  std::optional<QStringEncoder> encoder;  // opened only for non-ASCII text
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.unicode() < 0x80) {
      bytes.append(char(c.unicode()));
      continue;
    }
    const qsizetype n = (c.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    if (!encoder) encoder.emplace("windows-949");
    QByteArray encoded = encoder->isValid() ? encoder->encode(text.mid(i, n)) : QByteArray();
    i += n - 1;
    if (encoded.isEmpty()) encoded = QByteArray(2, kHighByte);
    // A trail byte below 128 belongs to the character, not to a letter of
    // its own: every byte of the character shows as one blank cell.
    for (char& b : encoded) {
      if (static_cast<unsigned char>(b) < 0x80) b = kHighByte;
    }
    bytes.append(encoded);
  }
  return bytes;
}

}  // namespace widgets
