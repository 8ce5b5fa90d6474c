#include "AddressText.h"

#include <charconv>

#include "Cp949Check.h"

namespace postal {
namespace {

AddressWords MakeWords() {
  AddressWords w;
  w.underground = Cp949FromUtf8("지하 ");
  w.elevated = Cp949FromUtf8("공중 ");
  w.to = Cp949FromUtf8("∼");  // as the six-digit table writes ranges
  w.odd = Cp949FromUtf8(" (홀수)");
  w.even = Cp949FromUtf8(" (짝수)");
  w.mountain = Cp949FromUtf8("산");
  return w;
}

void AppendUnsigned(std::string* out, uint32_t v) {
  char buf[12];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, r.ptr);
}

}  // namespace

const AddressWords& Words() {
  static const AddressWords words = MakeWords();
  return words;
}

void AppendWord(std::string* out, std::string_view name) {
  if (name.empty()) return;
  out->append(name);
  out->push_back(' ');
}

void AppendPart(std::string* out, std::string_view part, std::string_view separator) {
  if (part.empty()) return;
  if (!out->empty()) out->append(separator);
  out->append(part);
}

void AppendNumber(std::string* out, uint32_t main, uint32_t sub) {
  AppendUnsigned(out, main);
  if (sub == 0) return;
  out->push_back('-');
  AppendUnsigned(out, sub);
}

void AppendLevel(std::string* out, AddressLevel level, bool english) {
  const AddressWords& w = Words();
  if (level == AddressLevel::kUnderground) out->append(english ? w.undergroundEn : w.underground);
  if (level == AddressLevel::kElevated) out->append(english ? w.elevatedEn : w.elevated);
}

}  // namespace postal
