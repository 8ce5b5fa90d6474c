#pragma once
// The text of a settings (INI) file and its private-profile rules, apart from
// the file itself: decoding and encoding its bytes, finding a key, replacing
// or adding one. Section and key names compare case-insensitively; a write
// keeps every other line, comments included, byte for byte.
//
// Encodings: UTF-8 (with or without a byte order mark), and CP949 for a file
// that is not UTF-8 but is valid CP949 - a caption typed into the file by a
// Korean Windows editor. A file keeps its encoding when it is written back.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

// The longest value a read returns; longer values are cut to this length.
inline constexpr int kMaxProfileValue = 2047;

enum class TIniEncoding { Utf8, Cp949 };

struct TIniLine {
  QString text;
  QByteArray raw;  // the line's bytes as read; null for a new or changed line
};

struct TIniText {
  QList<TIniLine> lines;
  TIniEncoding encoding = TIniEncoding::Utf8;
  bool crlf = false;
  bool bom = false;
};

// The lines of a file's bytes; nullopt for bytes that are no text file (a
// zero byte, neither UTF-8 nor CP949).
std::optional<TIniText> DecodeIni(const QByteArray& bytes);

// The bytes of the text in its encoding; nullopt when a changed line holds
// a character the encoding lacks.
std::optional<QByteArray> EncodeIni(const TIniText& text);

// The stored value of key in section, blanks around it removed and one pair
// of enclosing quotes stripped, cut to kMaxProfileValue; nullopt when none.
std::optional<QString> IniValue(const TIniText& text, const QString& section, const QString& key);

// Sets key=value in section, replacing the key's line in place, else adding
// it at the end of the section, else adding the section at the end. False,
// changing nothing, when the names or the value would break the line format
// (line breaks, '=' in a key, ']' in a section).
bool SetIniValue(TIniText& text, const QString& section, const QString& key, const QString& value);

}  // namespace platform
