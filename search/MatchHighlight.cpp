#include "search/MatchHighlight.h"

#include "dataset/Field.h"
#include "platform/Cp949.h"
#include "postal/AddressSearch.h"
#include "search/FtsCalls.h"
#include "search/TableRecords.h"
#include "table/DbfTable.h"

namespace search {

void TMatchHighlight::SetText(const QByteArray& cp949) {
  text_ = cp949;
  record_.clear();
  spans_.clear();
}

QByteArray TMatchHighlight::RowRecord(int row) {
  const int32_t size = table_->RecordSize();
  if (size <= 0) return {};
  QByteArray record(size, ' ');
  const auto& infos = table_->FieldInfos();
  for (int i = 0; i < table_->FieldCount(); ++i) {
    const TField* f = table_->Fields(i);
    const int n = f->FieldNo();
    if (f->DataType() != ftString || n <= 0 || n > static_cast<int>(infos.size())) continue;
    const TFieldInfo& info = infos[static_cast<size_t>(n - 1)];
    const QByteArray bytes = table_->CellBytes(row, f);
    const int room = std::max(0, std::min<int>(info.Width, size - info.Offset));
    std::copy_n(bytes.constData(), std::min<int>(room, static_cast<int>(bytes.size())),
                record.data() + info.Offset);
  }
  return record;
}

std::vector<std::pair<int, int>> TMatchHighlight::CellRanges(int row, const TField* field) {
  std::vector<std::pair<int, int>> ranges;
  if (text_.isEmpty() || !table_ || !fts_ || !field || !table_->IsOpen()) return ranges;
  const int n = field->FieldNo();
  const auto& infos = table_->FieldInfos();
  if (field->DataType() != ftString || n <= 0 || n > static_cast<int>(infos.size())) return ranges;
  const QByteArray record = RowRecord(row);
  if (record.isEmpty()) return ranges;
  if (record != record_) {
    record_ = record;
    postal::SearchText text{};
    std::copy_n(text_.constData(), std::min<qsizetype>(text_.size(), text.size() - 1), text.data());
    TFtsCalls calls(*fts_);
    TTableRecords records(*table_);
    spans_ = postal::MatchedSpans(calls, records.Fields(), record.constData(),
                                  static_cast<int32_t>(record.size()), text);
  }
  // Byte ranges of the field's own bytes, then characters of its text.
  const TFieldInfo& info = infos[static_cast<size_t>(n - 1)];
  const QByteArray bytes = table_->CellBytes(row, field);
  auto characters = [&](int byteCount) {
    return static_cast<int>(platform::FromCp949(bytes.left(byteCount)).size());
  };
  for (const auto& [spanBegin, spanEnd] : spans_) {
    const int begin = std::max(spanBegin - info.Offset, 0);
    const int end = std::min<int>(spanEnd - info.Offset, static_cast<int>(bytes.size()));
    if (end <= begin) continue;
    const int start = characters(begin);
    ranges.emplace_back(start, characters(end) - start);
  }
  return ranges;
}

}  // namespace search
