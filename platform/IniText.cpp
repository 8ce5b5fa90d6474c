#include "platform/IniText.h"

#include <QStringDecoder>

#include "platform/Cp949.h"

namespace platform {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

std::optional<QString> Decode(const QByteArray& bytes, TIniEncoding encoding) {
  if (encoding == TIniEncoding::Cp949) return FromCp949Strict(bytes);
  // Stateless: a sequence cut off at the end of the file is an error too.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

std::optional<QByteArray> Encode(const QString& text, TIniEncoding encoding) {
  if (encoding == TIniEncoding::Utf8) return text.toUtf8();
  bool ok = true;
  QByteArray bytes = ToCp949(text, &ok);
  if (!ok) return std::nullopt;
  return bytes;
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

KeyPlace Find(const QList<TIniLine>& lines, const QString& section, const QString& key) {
  KeyPlace place;
  bool inside = false;
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i].text;
    if (auto name = SectionName(line)) {
      if (inside) break;  // the first matching section ends here
      if (SameName(*name, section)) {
        inside = true;
        place.sectionLine = i;
        place.lastEntry = i;
      }
      continue;
    }
    if (!inside) continue;
    if (!line.trimmed().isEmpty()) place.lastEntry = i;
    if (auto k = KeyOf(line); k && place.keyLine < 0 && SameName(*k, key)) place.keyLine = i;
  }
  return place;
}

bool BreaksLine(const QString& s) {
  return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
}

}  // namespace

std::optional<TIniText> DecodeIni(const QByteArray& file) {
  TIniText text;
  QByteArray bytes = file;
  if (bytes.contains('\0')) return std::nullopt;
  if (bytes.startsWith(kBom)) {
    text.bom = true;
    bytes.remove(0, 3);
  }
  std::optional<QString> decoded = Decode(bytes, TIniEncoding::Utf8);
  if (!decoded && !text.bom) {
    text.encoding = TIniEncoding::Cp949;
    decoded = Decode(bytes, TIniEncoding::Cp949);
  }
  if (!decoded) return std::nullopt;
  text.crlf = bytes.contains("\r\n");
  if (bytes.isEmpty()) return text;
  // Lines split on the bytes (a line end is never part of a CP949
  // character), so that each line keeps its own bytes for the write.
  QList<QByteArray> raw = bytes.split('\n');
  if (raw.size() > 1 && raw.back().isEmpty()) raw.removeLast();
  for (QByteArray& r : raw) {
    if (r.endsWith('\r') && text.crlf) r.chop(1);
    std::optional<QString> line = Decode(r, text.encoding);
    if (!line) return std::nullopt;
    text.lines.append(TIniLine{*line, r});
  }
  return text;
}

std::optional<QByteArray> EncodeIni(const TIniText& text) {
  QByteArray out = text.bom ? QByteArray(kBom) : QByteArray();
  const char* eol = text.crlf ? "\r\n" : "\n";
  for (const TIniLine& line : text.lines) {
    if (line.raw.isNull()) {
      std::optional<QByteArray> bytes = Encode(line.text, text.encoding);
      if (!bytes) return std::nullopt;
      out += *bytes;
    } else {
      out += line.raw;
    }
    out += eol;
  }
  return out;
}

std::optional<QString> IniValue(const TIniText& text, const QString& section, const QString& key) {
  const KeyPlace place = Find(text.lines, section, key);
  if (place.keyLine < 0) return std::nullopt;
  return CutValue(ValueOf(text.lines[place.keyLine].text));
}

bool SetIniValue(TIniText& text, const QString& section, const QString& key, const QString& value) {
  if (BreaksLine(section) || BreaksLine(key) || BreaksLine(value)) return false;
  if (section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
      key.trimmed().isEmpty() || key.trimmed().startsWith(QLatin1Char('[')) || IsComment(key))
    return false;
  QList<TIniLine>& lines = text.lines;
  const TIniLine entry{key + QLatin1Char('=') + value, QByteArray()};
  const KeyPlace place = Find(lines, section, key);
  if (place.keyLine >= 0) {
    lines[place.keyLine] = entry;
  } else if (place.sectionLine >= 0) {
    lines.insert(place.lastEntry + 1, entry);
  } else {
    if (!lines.isEmpty() && !lines.back().text.trimmed().isEmpty())
      lines.append(TIniLine{QString(), QByteArray()});
    lines.append(TIniLine{QLatin1Char('[') + section + QLatin1Char(']'), QByteArray()});
    lines.append(entry);
  }
  return true;
}

}  // namespace platform
