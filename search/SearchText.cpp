#include "search/SearchText.h"

#include <string_view>

namespace search {

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin].unicode() <= 0x20) ++begin;
  while (end > begin && text[end - 1].unicode() <= 0x20) --end;
  return text.mid(begin, end - begin);
}

QByteArray TrimTrailingBlanks(const QByteArray& bytes) {
  const std::string_view kept = postal::TrimTrailingBlanks(
      std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  return bytes.left(static_cast<qsizetype>(kept.size()));
}

TSearchTextFill FillSearchText(const QString& text, TSearchText& searchText) {
  const QByteArray utf8 = text.toUtf8();
  switch (postal::MakeSearchText(
      std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), &searchText)) {
    case postal::TextStatus::kReady:
    case postal::TextStatus::kBlank:
      return TSearchTextFill::Filled;
    case postal::TextStatus::kTooLong:
      return TSearchTextFill::TooLong;
    case postal::TextStatus::kNotUtf8:  // a lone surrogate: no character at all
    case postal::TextStatus::kNotCp949:
      break;
  }
  return TSearchTextFill::NotCp949;
}

}  // namespace search
