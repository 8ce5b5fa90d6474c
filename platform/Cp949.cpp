#include "platform/Cp949.h"

#include <string>

#include "platform/Cp949Codec.h"

namespace platform {

QString FromCp949(const char* bytes, qsizetype length) {
  if (length <= 0) return {};
  const std::string utf8 = Utf8FromCp949(std::string_view(bytes, static_cast<size_t>(length)));
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FromCp949(const QByteArray& bytes) {
  return FromCp949(bytes.constData(), bytes.size());
}

std::optional<QString> FromCp949Strict(const QByteArray& bytes) {
  const auto utf8 =
      Utf8FromCp949Strict(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  if (!utf8) return std::nullopt;
  return QString::fromUtf8(utf8->data(), static_cast<qsizetype>(utf8->size()));
}

namespace {

// A surrogate without its partner is no character: UTF-8 has no form for it.
bool HasLoneSurrogate(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    if (c.isSurrogate()) return true;
  }
  return false;
}

}  // namespace

QByteArray ToCp949(const QString& text, bool* ok) {
  if (HasLoneSurrogate(text)) {
    if (ok) *ok = false;
    return {};
  }
  const QByteArray utf8 = text.toUtf8();
  std::string bytes;
  const bool done =
      EncodeCp949(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), &bytes) ==
      Cp949Encoding::kDone;
  if (ok) *ok = done;
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace platform
