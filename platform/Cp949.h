#pragma once
// The one boundary between the user interface's QString and the CP949 bytes
// of the table, the full-text index and every record buffer.
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
// form; such characters are then replaced and the result must not be used as
// a search text.
QByteArray ToCp949(const QString& text, bool* ok = nullptr);

}  // namespace platform
