#include "search/MatchHighlight.h"

#include "dataset/Field.h"
#include "platform/Cp949.h"
#include "search/Fts.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// More spans than a record can show: each is at least one character.
constexpr int32_t kMaxSpans = 256;

}  // namespace

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
    spans_.assign(2 * kMaxSpans, 0);
    const int32_t count =
        fts_->FtsMatchSpans(record.constData(), static_cast<int32_t>(record.size()),
                            text_.constData(), spans_.data(), kMaxSpans);
    spans_.resize(2 * static_cast<size_t>(std::clamp(count, 0, kMaxSpans)));
  }
  // Byte ranges of the field's own bytes, then characters of its text.
  const TFieldInfo& info = infos[static_cast<size_t>(n - 1)];
  const QByteArray bytes = table_->CellBytes(row, field);
  auto characters = [&](int byteCount) {
    return static_cast<int>(platform::FromCp949(bytes.left(byteCount)).size());
  };
  for (size_t i = 0; i + 1 < spans_.size(); i += 2) {
    const int begin = std::max(spans_[i] - info.Offset, 0);
    const int end = std::min<int>(spans_[i + 1] - info.Offset, static_cast<int>(bytes.size()));
    if (end <= begin) continue;
    const int start = characters(begin);
    ranges.emplace_back(start, characters(end) - start);
  }
  return ranges;
}

}  // namespace search
