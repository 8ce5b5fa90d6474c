#include "platform/Cp949.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {
namespace {
// ICU's "CP949" is IBM's code page 949, which differs from the Windows code
// page that Korean tables use (U+223C is A1 AD there; IBM 949 has no such
// character). "windows-949" is the Unified Hangul Code the data is written in.
constexpr const char* kCodec = "windows-949";
}  // namespace

QString FromCp949(const char* bytes, qsizetype length) {
  QStringDecoder decoder(kCodec);
  QString text = decoder.decode(QByteArrayView(bytes, length));
  return text;
}

QString FromCp949(const QByteArray& bytes) {
  return FromCp949(bytes.constData(), bytes.size());
}

std::optional<QString> FromCp949Strict(const QByteArray& bytes) {
  QStringDecoder decoder(kCodec, QStringDecoder::Flag::Stateless);
  if (!decoder.isValid()) return std::nullopt;
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

QByteArray ToCp949(const QString& text, bool* ok) {
  QStringEncoder encoder(kCodec);
  QByteArray bytes = encoder.encode(text);
  if (ok) *ok = !encoder.hasError();
  return bytes;
}

}  // namespace platform
