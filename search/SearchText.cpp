#include "search/SearchText.h"

#include <cstring>

#include "platform/Cp949.h"

namespace search {
namespace {

bool IsBlank(QChar c) {
  return c.unicode() <= 0x20;
}
bool IsLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x81;
}

}  // namespace

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

QByteArray TrimTrailingBlanks(const QByteArray& bytes) {
  qsizetype end = bytes.size();
  while (end > 0 && static_cast<unsigned char>(bytes[end - 1]) <= 0x20) --end;
  return bytes.left(end);
}

QByteArray CutAtCharacter(const QByteArray& cp949, int maxBytes) {
  qsizetype i = 0;
  while (i < cp949.size()) {
    const qsizetype width = IsLeadByte(cp949[i]) ? 2 : 1;
    if (i + width > maxBytes) break;
    i += width;
  }
  return cp949.left(i);
}

bool FillSearchText(const QString& text, TSearchText& searchText) {
  searchText.fill('\0');
  bool ok = true;
  const QByteArray bytes = platform::ToCp949(text, &ok);
  if (!ok) return false;
  // The text ends at its first zero byte, as the library reads it.
  const qsizetype zero = bytes.indexOf('\0');
  const QByteArray cut =
      CutAtCharacter(zero < 0 ? bytes : bytes.left(zero), static_cast<int>(searchText.size()) - 1);
  std::memcpy(searchText.data(), cut.constData(), static_cast<size_t>(cut.size()));
  return true;
}

}  // namespace search
