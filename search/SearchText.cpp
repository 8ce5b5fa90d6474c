#include "search/SearchText.h"

#include <cstring>

#include "platform/Cp949.h"

namespace search {
namespace {

bool IsBlank(QChar c) {
  return c.unicode() <= 0x20;
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

TSearchTextFill FillSearchText(const QString& text, TSearchText& searchText) {
  searchText.fill('\0');
  bool ok = true;
  QByteArray bytes = platform::ToCp949(text, &ok);
  if (!ok) return TSearchTextFill::NotCp949;
  // The text ends at its first zero byte, as the library reads it.
  if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0) bytes.truncate(zero);
  const qsizetype room = static_cast<qsizetype>(searchText.size()) - 1;
  if (bytes.size() > room) {
    // Blanks are single bytes, and no byte of a double-byte character is one.
    bytes = TrimTrailingBlanks(bytes);
    qsizetype begin = 0;
    while (begin < bytes.size() && static_cast<unsigned char>(bytes[begin]) <= 0x20) ++begin;
    bytes.remove(0, begin);
  }
  if (bytes.size() > room) return TSearchTextFill::TooLong;
  std::memcpy(searchText.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
  return TSearchTextFill::Filled;
}

}  // namespace search
