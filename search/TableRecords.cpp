#include "search/TableRecords.h"

#include <algorithm>

#include "dataset/Field.h"

namespace search {

std::vector<postal::FieldPlace> TTableRecords::Fields() {
  std::vector<postal::FieldPlace> places;
  const auto& infos = table_.FieldInfos();
  for (int i = 0; i < table_.FieldCount(); ++i) {
    const TField* f = table_.Fields(i);
    const int n = f->FieldNo();
    if (n <= 0 || n > static_cast<int>(infos.size())) continue;
    const TFieldInfo& info = infos[static_cast<size_t>(n - 1)];
    places.push_back({f->FieldName().toStdString(), info.Offset, info.Width,
                      f->DataType() == ftString ? 'C' : 'N'});
  }
  std::sort(
      places.begin(), places.end(),
      [](const postal::FieldPlace& a, const postal::FieldPlace& b) { return a.offset < b.offset; });
  return places;
}

}  // namespace search
