#include "RangeAddress.h"

#include "AddressText.h"

namespace postal {
namespace {

void AppendRange(std::string* out, const RangeNumber& start, const RangeNumber& end) {
  AppendNumber(out, start.main, start.sub);
  if (end == start) return;
  out->append(Words().to);
  AppendNumber(out, end.main, end.sub);
}

// [지하 ]start[∼end][ (홀수)| (짝수)], in Korean or in English.
void AppendRoadNumbers(std::string* out, const RoadRange& row, bool english) {
  const AddressWords& w = Words();
  AppendLevel(out, row.underground ? AddressLevel::kUnderground : AddressLevel::kGround, english);
  AppendRange(out, row.start, row.span == RangeSpan::kOne ? row.start : row.end);
  if (row.span == RangeSpan::kOdd) out->append(english ? w.oddEn : w.odd);
  if (row.span == RangeSpan::kEven) out->append(english ? w.evenEn : w.even);
}

}  // namespace

void MakeRoadAddress(const RoadRange& row, std::string* etc) {
  etc->clear();
  AppendWord(etc, row.sido);
  AppendWord(etc, row.sigungu);
  AppendWord(etc, row.eupmyeon);
  AppendWord(etc, row.road);
  AppendRoadNumbers(etc, row, false);
}

void MakeRoadEnglish(const RoadRange& row, std::string* eng) {
  eng->clear();
  AppendRoadNumbers(eng, row, true);
  AppendPart(eng, row.roadEn, " ");
  for (std::string_view part : {row.eupmyeonEn, row.sigunguEn, row.sidoEn})
    AppendPart(eng, part, ", ");
}

void MakeLotAddress(const LotRange& row, std::string* etc) {
  etc->clear();
  AppendWord(etc, row.sido);
  AppendWord(etc, row.sigungu);
  AppendWord(etc, row.eupmyeondong);
  AppendWord(etc, row.ri);
  if (row.mountain) etc->append(Words().mountain);
  AppendRange(etc, row.start, row.end);
  if (!row.haengjeongdong.empty() && row.haengjeongdong != row.eupmyeondong) {
    etc->append(" (");
    etc->append(row.haengjeongdong);
    etc->push_back(')');
  }
}

}  // namespace postal
