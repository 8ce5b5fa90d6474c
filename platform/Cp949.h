#pragma once
// The window's side of the CP949 boundary: QString to and from the CP949
// bytes of the table, the full-text index and every record buffer, through
// the project's one codec (platform/Cp949Codec.h) by way of UTF-8.
#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// Decodes CP949 bytes; invalid sequences become U+FFFD.
QString FromCp949(const QByteArray& bytes);
QString FromCp949(const char* bytes, qsizetype length);
// Decodes bytes that must be CP949 throughout: nullopt when a sequence is not
// one (a lead byte cut off at the end counts too).
std::optional<QString> FromCp949Strict(const QByteArray& bytes);

// Encodes to CP949. Sets *ok to false (when given) if a character has no CP949
// form; the result is then empty and must not be used as a search text.
QByteArray ToCp949(const QString& text, bool* ok = nullptr);

}  // namespace platform
