#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

namespace platform {
namespace {

struct IniText {
  QStringList lines;
  bool crlf = false;
  bool bom = false;
};

// The file as lines; nullopt when it exists but is not a readable text file.
// A missing file is an empty text.
std::optional<IniText> LoadIni(const QString& path) {
  IniText text;
  QFileInfo info(path);
  if (!info.exists()) return text;
  if (!info.isFile() || info.size() > kMaxProfileFileSize) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.read(kMaxProfileFileSize + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > kMaxProfileFileSize)
    return std::nullopt;
  if (bytes.contains('\0')) return std::nullopt;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    text.bom = true;
    bytes.remove(0, 3);
  }
  QStringDecoder decoder(QStringDecoder::Utf8);
  QString decoded = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  text.crlf = decoded.contains(QLatin1String("\r\n"));
  decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (decoded.isEmpty()) return text;
  if (decoded.endsWith(QLatin1Char('\n'))) decoded.chop(1);
  text.lines = decoded.split(QLatin1Char('\n'));
  return text;
}

// "[name]" -> name; nullopt for any other line.
std::optional<QString> SectionName(const QString& line) {
  QString t = line.trimmed();
  if (t.size() < 2 || t.front() != QLatin1Char('[')) return std::nullopt;
  int close = t.indexOf(QLatin1Char(']'));
  if (close < 0) return std::nullopt;
  return t.mid(1, close - 1).trimmed();
}

bool IsComment(const QString& line) {
  QString t = line.trimmed();
  return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The key of a "key=value" line, trimmed; nullopt for lines without '='.
std::optional<QString> KeyOf(const QString& line) {
  if (IsComment(line)) return std::nullopt;
  int eq = line.indexOf(QLatin1Char('='));
  if (eq < 0) return std::nullopt;
  return line.left(eq).trimmed();
}

QString ValueOf(const QString& line) {
  QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
  if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
      v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  return v;
}

// Cuts to at most kMaxProfileValue UTF-16 units without splitting a
// surrogate pair.
QString CutValue(QString v) {
  if (v.size() <= kMaxProfileValue) return v;
  int n = kMaxProfileValue;
  if (v.at(n - 1).isHighSurrogate()) --n;
  v.truncate(n);
  return v;
}

struct KeyPlace {
  int sectionLine = -1;  // header line of the first matching section
  int keyLine = -1;      // the key's line inside that section
  int lastEntry = -1;    // last non-blank line of that section
};

KeyPlace Find(const QStringList& lines, const QString& section, const QString& key) {
  KeyPlace place;
  bool inside = false;
  for (int i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      if (inside) break;  // the first matching section ends here
      if (SameName(*name, section)) {
        inside = true;
        place.sectionLine = i;
        place.lastEntry = i;
      }
      continue;
    }
    if (!inside) continue;
    if (!lines[i].trimmed().isEmpty()) place.lastEntry = i;
    if (auto k = KeyOf(lines[i]); k && place.keyLine < 0 && SameName(*k, key)) place.keyLine = i;
  }
  return place;
}

bool BreaksLine(const QString& s) {
  return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
}

}  // namespace

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& fallback) {
  std::optional<IniText> text = LoadIni(path);
  if (!text) return fallback;
  KeyPlace place = Find(text->lines, section, key);
  if (place.keyLine < 0) return fallback;
  return CutValue(ValueOf(text->lines[place.keyLine]));
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value) {
  if (BreaksLine(section) || BreaksLine(key) || BreaksLine(value)) return false;
  if (section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
      key.trimmed().isEmpty() || key.trimmed().startsWith(QLatin1Char('[')) || IsComment(key))
    return false;
  std::optional<IniText> text = LoadIni(path);
  if (!text) return false;  // never replace a file we could not read whole

  QStringList& lines = text->lines;
  const QString entry = key + QLatin1Char('=') + value;
  KeyPlace place = Find(lines, section, key);
  if (place.keyLine >= 0) {
    lines[place.keyLine] = entry;
  } else if (place.sectionLine >= 0) {
    lines.insert(place.lastEntry + 1, entry);
  } else {
    if (!lines.isEmpty() && !lines.back().trimmed().isEmpty()) lines.append(QString());
    lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
    lines.append(entry);
  }

  const QString eol = text->crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
  QByteArray bytes = text->bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
  bytes += (lines.join(eol) + eol).toUtf8();

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace platform
