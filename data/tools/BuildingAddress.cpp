#include "BuildingAddress.h"

namespace postal {

void MakeBuildingAddress(const Building& b, std::string* out) {
  out->clear();
  AppendWord(out, b.sido);
  AppendWord(out, b.sigungu);
  AppendWord(out, b.eupmyeon);
  AppendWord(out, b.road);
  AppendLevel(out, b.level, false);
  AppendNumber(out, b.main, b.sub);
  if (b.dong.empty() && b.name.empty()) return;
  out->append(" (");
  out->append(b.dong);
  if (!b.dong.empty() && !b.name.empty()) out->append(", ");
  out->append(b.name);
  out->push_back(')');
}

void MakeBuildingLot(const Building& b, std::string* out) {
  out->clear();
  if (b.lotMain == 0) return;
  AppendWord(out, b.sido);
  AppendWord(out, b.sigungu);
  AppendWord(out, b.eupmyeon.empty() ? b.dong : b.eupmyeon);
  AppendWord(out, b.ri);
  if (b.mountain) out->append(Words().mountain);
  AppendNumber(out, b.lotMain, b.lotSub);
}

void MakeBuildingEnglish(const Building& b, std::string* out) {
  out->clear();
  AppendLevel(out, b.level, true);
  AppendNumber(out, b.main, b.sub);
  AppendPart(out, b.roadEn, " ");
  for (std::string_view part : {b.eupmyeonEn, b.sigunguEn, b.sidoEn}) AppendPart(out, part, ", ");
}

}  // namespace postal
