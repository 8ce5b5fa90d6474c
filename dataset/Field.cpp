#include "dataset/Field.h"

#include <cstring>

#include "dataset/DataSet.h"
#include "dataset/FieldDefs.h"
#include "platform/Cp949.h"

TField::TField(TFieldType type, const QString& name, int size, TFieldKind kind)
    : name_(name), type_(type), size_(size), kind_(kind) {}

bool TField::GetData(void* buffer) const {
  return dataSet_ != nullptr && dataSet_->GetFieldData(this, buffer);
}

void TField::SetData(const void* buffer) {
  if (dataSet_ == nullptr) throw EDatabaseError("Field '" + name_ + "' has no dataset");
  dataSet_->SetFieldData(this, buffer);
}

QByteArray TStringField::Value() const {
  QByteArray data(DataSize(), '\0');
  if (!GetData(data.data())) return {};
  data[Size()] = '\0';  // the terminator is ours, whatever the buffer held
  return QByteArray(data.constData(), static_cast<qsizetype>(std::strlen(data.constData())));
}

QString TStringField::DisplayText() const {
  return platform::FromCp949(Value());
}

int16_t TSmallintField::Value() const {
  int16_t v = 0;
  return GetData(&v) ? v : 0;
}

QByteArray TSmallintField::AsBytes() const {
  int16_t v = 0;
  return GetData(&v) ? QByteArray::number(v) : QByteArray();
}

int32_t TIntegerField::Value() const {
  int32_t v = 0;
  return GetData(&v) ? v : 0;
}

QByteArray TIntegerField::AsBytes() const {
  int32_t v = 0;
  return GetData(&v) ? QByteArray::number(v) : QByteArray();
}

double TFloatField::Value() const {
  double v = 0;
  return GetData(&v) ? v : 0.0;
}

QByteArray TFloatField::AsBytes() const {
  double v = 0;
  if (!GetData(&v)) return {};
  if (displayFormat_.isEmpty()) return QByteArray::number(v, 'g', precision_ > 0 ? precision_ : 15);
  const qsizetype point = displayFormat_.indexOf('.');
  int decimals = 0;
  if (point >= 0)
    for (qsizetype i = point + 1; i < displayFormat_.size(); ++i)
      if (displayFormat_[i] == '0' || displayFormat_[i] == '#') ++decimals;
  return QByteArray::number(v, 'f', decimals);
}

bool TBooleanField::Value() const {
  int16_t v = 0;
  return GetData(&v) && v != 0;
}

QByteArray TBooleanField::AsBytes() const {
  int16_t v = 0;
  if (!GetData(&v)) return {};
  return v != 0 ? QByteArray("True") : QByteArray("False");
}

namespace {
// QDate's Julian day of 1 January of year 1 (proleptic Gregorian) is day 1 here.
constexpr qint64 kJulianDayBeforeYear1 = 1721425;
}  // namespace

int32_t TDateField::DayCountOf(const QDate& date) {
  if (!date.isValid() || date.year() < 1) return 0;
  return static_cast<int32_t>(date.toJulianDay() - kJulianDayBeforeYear1);
}

QDate TDateField::DateOfDayCount(int32_t days) {
  if (days < 1) return {};
  return QDate::fromJulianDay(days + kJulianDayBeforeYear1);
}

int32_t TDateField::Value() const {
  int32_t v = 0;
  return GetData(&v) ? v : 0;
}

QByteArray TDateField::AsBytes() const {
  int32_t v = 0;
  if (!GetData(&v)) return {};
  const QDate d = DateOfDayCount(v);
  return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() : QByteArray();
}

QByteArray TBlobField::AsBytes() const {
  const bool present = GetData(nullptr);
  if (DataType() == ftMemo) return present ? "(MEMO)" : "(memo)";
  return present ? "(BLOB)" : "(blob)";
}

std::unique_ptr<TField> CreateFieldOfDef(const TFieldDef& def) {
  std::unique_ptr<TField> f;
  switch (def.DataType) {
    case ftString:
      f = std::make_unique<TStringField>(def.Name, def.Size);
      break;
    case ftSmallint:
      f = std::make_unique<TSmallintField>(def.Name);
      break;
    case ftInteger:
      f = std::make_unique<TIntegerField>(def.Name);
      break;
    case ftBoolean:
      f = std::make_unique<TBooleanField>(def.Name);
      break;
    case ftFloat:
      f = std::make_unique<TFloatField>(def.Name);
      break;
    case ftCurrency:
      f = std::make_unique<TFloatField>(def.Name, fkData, ftCurrency);
      break;
    case ftDate:
      f = std::make_unique<TDateField>(def.Name);
      break;
    case ftMemo:
      f = std::make_unique<TMemoField>(def.Name);
      break;
    case ftBlob:
      f = std::make_unique<TBlobField>(def.Name);
      break;
    case ftUnknown:
      return nullptr;
  }
  f->SetFieldNo(def.FieldNo);
  return f;
}
