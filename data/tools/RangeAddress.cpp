#include "RangeAddress.h"

#include <charconv>

#include "Cp949Check.h"

namespace postal {
namespace {

struct Words {
  std::string underground = Cp949FromUtf8("지하 ");
  std::string to = Cp949FromUtf8("∼");  // U+223C, as the six-digit table writes ranges
  std::string odd = Cp949FromUtf8(" (홀수)");
  std::string even = Cp949FromUtf8(" (짝수)");
  std::string mountain = Cp949FromUtf8("산");
};

const Words& W() {
  static const Words words;
  return words;
}

void AppendName(std::string* out, std::string_view name) {
  if (name.empty()) return;
  out->append(name);
  out->push_back(' ');
}

void AppendUnsigned(std::string* out, uint32_t v) {
  char buf[12];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, r.ptr);
}

void AppendNumber(std::string* out, const RangeNumber& n) {
  AppendUnsigned(out, n.main);
  if (n.sub == 0) return;
  out->push_back('-');
  AppendUnsigned(out, n.sub);
}

void AppendRange(std::string* out, const RangeNumber& start, const RangeNumber& end) {
  AppendNumber(out, start);
  if (end == start) return;
  out->append(W().to);
  AppendNumber(out, end);
}

}  // namespace

void MakeRoadAddress(const RoadRange& row, std::string* etc) {
  etc->clear();
  AppendName(etc, row.sido);
  AppendName(etc, row.sigungu);
  AppendName(etc, row.eupmyeon);
  AppendName(etc, row.road);
  if (row.underground) etc->append(W().underground);
  AppendRange(etc, row.start, row.span == RangeSpan::kOne ? row.start : row.end);
  if (row.span == RangeSpan::kOdd) etc->append(W().odd);
  if (row.span == RangeSpan::kEven) etc->append(W().even);
}

void MakeLotAddress(const LotRange& row, std::string* etc) {
  etc->clear();
  AppendName(etc, row.sido);
  AppendName(etc, row.sigungu);
  AppendName(etc, row.eupmyeondong);
  AppendName(etc, row.ri);
  if (row.mountain) etc->append(W().mountain);
  AppendRange(etc, row.start, row.end);
  if (!row.haengjeongdong.empty() && row.haengjeongdong != row.eupmyeondong) {
    etc->append(" (");
    etc->append(row.haengjeongdong);
    etc->push_back(')');
  }
}

}  // namespace postal
