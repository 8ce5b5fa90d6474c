// Record buffers of TDbfTable: the view buffer layout, the conversion of an
// engine record into it, field reads, and the direct raw-record access.
#include <QDate>
#include <algorithm>
#include <charconv>
#include <cstring>

#include "table/DbfEngine.h"
#include "table/DbfTable.h"

namespace {
constexpr int kBlobSlotSize = 20;
constexpr int kInfoSize = 5;

struct Span {
  const char* begin;
  const char* end;
  bool empty() const { return begin == end; }
};

// Blanks only: any other byte, a zero byte too, is part of the text.
Span Trimmed(const char* s, int width) {
  Span t{s, s + width};
  while (!t.empty() && *t.begin == ' ') ++t.begin;
  while (!t.empty() && t.end[-1] == ' ') --t.end;
  return t;
}

// The decimal integer of the text; 0 when it is not one or does not fit.
template <typename Int>
Int ParseInteger(Span t) {
  if (!t.empty() && *t.begin == '+') ++t.begin;
  Int v = 0;
  const auto r = std::from_chars(t.begin, t.end, v);
  return (r.ec == std::errc() && r.ptr == t.end) ? v : Int(0);
}

double ParseFloat(Span t) {
  // A thousands comma becomes a blank and so makes the text invalid (0.0).
  std::string text(t.begin, t.end);
  std::replace(text.begin(), text.end(), ',', ' ');
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  double v = 0.0;
  const auto r = std::from_chars(b, e, v);
  return (r.ec == std::errc() && r.ptr == e) ? v : 0.0;
}

int TwoDigits(const char* s) {
  if (s[0] < '0' || s[0] > '9' || s[1] < '0' || s[1] > '9') return -1;
  return (s[0] - '0') * 10 + (s[1] - '0');
}

// Day count of YYYYMMDD (1 January of year 1 = day 1); 0 when not a date.
int32_t DayCountOfText(const char* s) {
  int year = 0;
  for (int i = 0; i < 4; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    year = year * 10 + (s[i] - '0');
  }
  const int month = TwoDigits(s + 4), day = TwoDigits(s + 6);
  if (month <= 0 || day <= 0 || year < 1) return 0;
  const QDate d(year, month, day);
  return TDateField::DayCountOf(d);
}
}  // namespace

int32_t TDbfTable::BufferRecno(const char* buffer) const {
  int32_t n = 0;
  std::memcpy(&n, buffer + infoOffset_, 4);
  return n;
}

void TDbfTable::SetBufferRecno(char* buffer, int32_t recno) const {
  std::memcpy(buffer + infoOffset_, &recno, 4);
}

void TDbfTable::SetBufferFlag(char* buffer, uint8_t flag) const {
  buffer[infoOffset_ + 4] = static_cast<char>(flag);
}

void TDbfTable::LayoutBuffers() {
  int offset = 0;
  blobFieldNos_.clear();
  for (int i = 0; i < FieldCount(); ++i) {
    TField* f = Fields(i);
    if (f->FieldNo() <= 0 || f->FieldNo() > static_cast<int>(fieldInfos_.size())) continue;
    fieldInfos_[static_cast<size_t>(f->FieldNo() - 1)].BufferOffset = offset;
    offset += 1 + f->DataSize();
    if (f->DataType() == ftMemo || f->DataType() == ftBlob) blobFieldNos_.push_back(f->FieldNo());
  }
  calcOffset_ = offset;
  offset += CalcFieldsSize();
  blobOffset_ = offset;
  blobCount_ = static_cast<int>(blobFieldNos_.size());
  offset += kBlobSlotSize * blobCount_;
  infoOffset_ = offset;
  bufferSize_ = offset + kInfoSize;
}

void TDbfTable::ResetBlobSlot(char* slot) {
  // Bytes 4..7 hold the handle of loaded blob data; the system never loads any,
  // so it stays 0 and there is nothing to free.
  std::memset(slot, 0, 8);
  std::memset(slot + 8, ' ', 10);
  slot[18] = slot[19] = 0;
}

char* TDbfTable::AllocRecordBuffer() {
  char* b = new char[static_cast<size_t>(bufferSize_)]();
  for (int i = 0; i < blobCount_; ++i) ResetBlobSlot(b + blobOffset_ + i * kBlobSlotSize);
  return b;
}

void TDbfTable::FreeRecordBuffer(char*& buffer) {
  delete[] buffer;
  buffer = nullptr;
}

void TDbfTable::InitRecord(char* buffer) {
  std::memset(buffer, 0, static_cast<size_t>(blobOffset_));
  SetBufferRecno(buffer, 0);
  for (int i = 0; i < blobCount_; ++i) ResetBlobSlot(buffer + blobOffset_ + i * kBlobSlotSize);
}

void TDbfTable::ClearBuffers() {
  TDataSet::ClearBuffers();
  if (cursorOpen_ && ActiveBuffer()) InitRecord(ActiveBuffer());
}

void TDbfTable::ClearCalcFields(char* buffer) {
  std::memset(buffer + calcOffset_, 0, static_cast<size_t>(CalcFieldsSize()));
}

void TDbfTable::LoadRecord(char* buffer) {
  const bool hidden = encrypted_ != 0 && password_.isEmpty();
  for (int i = 0; i < FieldCount(); ++i) {
    TField* f = Fields(i);
    const int n = f->FieldNo();
    if (n <= 0 || n > static_cast<int>(fieldInfos_.size())) continue;
    const TFieldInfo& info = fieldInfos_[static_cast<size_t>(n - 1)];
    // Never read outside the engine record, whatever the engine answered.
    const int32_t begin = std::clamp(info.Offset, 0, recSize_);
    const int width = info.Offset < 0 ? 0 : std::clamp(recSize_ - begin, 0, info.Width);
    const char* src = engineRecord_.data() + begin;
    char* presence = buffer + info.BufferOffset;
    char* data = presence + 1;
    const TFieldType type = f->DataType();
    if (hidden) {
      *presence = 1;
      if (type == ftString) {
        std::memset(data, '*', static_cast<size_t>(info.Width));
        data[info.Width] = 0;
      } else {
        std::memset(data, 0, static_cast<size_t>(f->DataSize()));
      }
      continue;
    }
    switch (type) {
      case ftString: {
        *presence = 1;
        std::memcpy(data, src, static_cast<size_t>(width));
        std::memset(data + width, 0, static_cast<size_t>(info.Width - width + 1));
        for (int k = width - 1; k >= 0 && data[k] == ' '; --k) data[k] = 0;
        break;
      }
      case ftSmallint: {
        const Span t = Trimmed(src, width);
        *presence = t.empty() ? 0 : 1;
        if (t.empty()) break;
        const int16_t v = ParseInteger<int16_t>(t);
        std::memcpy(data, &v, 2);
        break;
      }
      case ftInteger: {
        // A binary integer field: its byte order depends on the table's
        // version, which only the engine knows, so its text comes from there.
        // The engine stands on the record just read.
        const QByteArray text = Dbe().dbe_GetString(f->FieldName().toLatin1().constData());
        const Span t = Trimmed(text.constData(), static_cast<int>(text.size()));
        *presence = t.empty() ? 0 : 1;
        if (t.empty()) break;
        const int32_t v = ParseInteger<int32_t>(t);
        std::memcpy(data, &v, 4);
        break;
      }
      case ftBoolean: {
        const Span t = Trimmed(src, width);
        *presence = t.empty() ? 0 : 1;
        if (t.empty()) break;
        const int16_t v = (src[0] == 'T' || src[0] == 'Y') ? -1 : 0;
        std::memcpy(data, &v, 2);
        break;
      }
      case ftFloat:
      case ftCurrency: {
        const Span t = Trimmed(src, width);
        *presence = t.empty() ? 0 : 1;
        if (t.empty()) break;
        const double v = ParseFloat(t);
        std::memcpy(data, &v, 8);
        break;
      }
      case ftDate: {
        char d[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        std::memcpy(d, src, static_cast<size_t>(std::min(width, 8)));
        if (d[1] == ' ' || d[1] == 0 || d[5] == 0 || d[7] == 0) {
          *presence = 0;
          break;
        }
        *presence = 1;
        const int32_t v = DayCountOfText(d);
        std::memcpy(data, &v, 4);
        break;
      }
      case ftMemo:
      case ftBlob: {
        const auto pos = std::find(blobFieldNos_.begin(), blobFieldNos_.end(), n);
        if (pos == blobFieldNos_.end()) break;
        char* slot =
            buffer + blobOffset_ + kBlobSlotSize * static_cast<int>(pos - blobFieldNos_.begin());
        ResetBlobSlot(slot);
        if (State() != dsInsert)
          std::memcpy(slot + 8, src, static_cast<size_t>(std::min(width, 10)));
        *presence = std::memcmp(slot + 8, "          ", 10) != 0 ? 1 : 0;
        break;
      }
      case ftUnknown:
        break;
    }
  }
}

bool TDbfTable::CopyFieldValue(const TField* field, void* target) {
  if (!cursorOpen_) return false;
  int slot;
  if (field->Calculated()) {
    slot = calcOffset_ + field->Offset();
  } else {
    const int n = field->FieldNo();
    if (n <= 0 || n > static_cast<int>(fieldInfos_.size())) return false;
    slot = fieldInfos_[static_cast<size_t>(n - 1)].BufferOffset;
  }
  const char* buffer = State() == dsCalcFields ? CalcBuffer()
                       : State() == dsFilter   ? FilterBuffer()
                                               : ActiveBuffer();
  if (!buffer || buffer[slot] == 0) return false;
  if (target) std::memcpy(target, buffer + slot + 1, static_cast<size_t>(field->DataSize()));
  return true;
}

void TDbfTable::WriteFieldValue(TField* field, const void* data) {
  char* buffer = CalcBuffer();
  if (!buffer || !field->Calculated()) {
    TDataSet::WriteFieldValue(field, data);  // refuses: the table is read-only
    return;
  }
  char* slot = buffer + calcOffset_ + field->Offset();
  slot[0] = data ? 1 : 0;
  if (data) std::memcpy(slot + 1, data, static_cast<size_t>(field->DataSize()));
}

void TDbfTable::CreateFields() {
  TDataSet::CreateFields();
  for (int i = 0; i < FieldCount(); ++i) {
    auto* f = dynamic_cast<TFloatField*>(Fields(i));
    const int n = Fields(i)->FieldNo();
    if (!f || n <= 0 || n > static_cast<int>(fieldInfos_.size())) continue;
    const TFieldInfo& info = fieldInfos_[static_cast<size_t>(n - 1)];
    f->SetDisplayFormat(info.Decimals > 0 ? "0." + QString(info.Decimals, '0')
                                          : QStringLiteral("0"));
    f->SetPrecision(info.Width + 1);
  }
}

int32_t TDbfTable::RecordSize() {
  CheckOpen();
  Select();
  return Dbe().dbe_RecSize();
}

void TDbfTable::ReadRecord(char* buffer) {
  if (workArea_ <= 0 || !buffer) return;
  Select();
  if (!speedMode_ && Active()) {
    SyncEngineToActiveRow();
    Select();
  }
  Dbe().dbe_GetRecord(buffer);
}

QByteArray TDbfTable::FieldString(const QString& name) {
  if (workArea_ <= 0) return {};
  if (speedMode_) {
    Select();
    return QByteArray(Dbe().dbe_GetString(name.toLatin1().constData()));
  }
  TField* f = FieldByName(name);
  QByteArray text = f->AsBytes();
  if (f->DataType() == ftString && text.size() < f->Size())
    text.append(f->Size() - text.size(), ' ');
  return text;
}
