#pragma once
// Field objects: one per column of a dataset, reading their value from the
// dataset's current view record buffer (through the dataset's CopyFieldValue)
// and presenting it as a typed value and as text.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>
#include <memory>

#include "dataset/DataSetTypes.h"

class TDataSet;
struct TFieldDef;

class TField {
 public:
  TField(TFieldType type, const QString& name, int size, TFieldKind kind);
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const QString& FieldName() const { return name_; }
  TFieldType DataType() const { return type_; }
  int Size() const { return size_; }
  TFieldKind FieldKind() const { return kind_; }
  bool Calculated() const { return kind_ != fkData; }
  // 1-based number of the physical field; 0 for calculated fields.
  int FieldNo() const { return fieldNo_; }
  void SetFieldNo(int n) { fieldNo_ = n; }
  // Position within the calculated-field area (calculated fields only).
  int Offset() const { return offset_; }
  void SetOffset(int offset) { offset_ = offset; }
  // Bytes of the value in a record buffer, without the presence byte.
  virtual int DataSize() const = 0;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet) { dataSet_ = dataSet; }

  QString DisplayLabel() const { return displayLabel_.isEmpty() ? name_ : displayLabel_; }
  void SetDisplayLabel(const QString& label) { displayLabel_ = label; }
  // Width in characters the grid gives the column by default.
  virtual int DisplayWidth() const { return 10; }

  // Copies the value into buffer (DataSize bytes; nullptr only asks whether a
  // value is present). False when the field has no value.
  bool GetData(void* buffer) const;
  // Writes a value (calculated fields, while the dataset calculates).
  void SetData(const void* buffer);
  bool IsNull() const { return !GetData(nullptr); }

  // Value as 8-bit text: a character field's own bytes (the table's code
  // page), the decimal or date text of the others; empty without a value.
  virtual QByteArray AsBytes() const = 0;
  // Text for display: character data decoded from CP949.
  virtual QString DisplayText() const { return QString::fromLatin1(AsBytes()); }
  virtual int32_t AsInteger() const { return 0; }
  virtual double AsFloat() const { return AsInteger(); }
  virtual bool AsBoolean() const { return AsInteger() != 0; }

 private:
  QString name_;
  TFieldType type_;
  int size_;
  TFieldKind kind_;
  int fieldNo_ = 0;
  int offset_ = 0;
  TDataSet* dataSet_ = nullptr;
  QString displayLabel_;
};

class TStringField : public TField {
 public:
  TStringField(const QString& name, int size, TFieldKind kind = fkData)
      : TField(ftString, name, size, kind) {}
  int DataSize() const override { return Size() + 1; }
  int DisplayWidth() const override { return Size(); }
  // Bytes up to the zero terminator, at most Size.
  QByteArray Value() const;
  QByteArray AsBytes() const override { return Value(); }
  QString DisplayText() const override;
  int32_t AsInteger() const override { return Value().trimmed().toInt(); }
  double AsFloat() const override { return Value().trimmed().toDouble(); }
};

class TSmallintField : public TField {
 public:
  explicit TSmallintField(const QString& name, TFieldKind kind = fkData)
      : TField(ftSmallint, name, 0, kind) {}
  int DataSize() const override { return 2; }
  int DisplayWidth() const override { return 6; }
  int16_t Value() const;
  QByteArray AsBytes() const override;
  int32_t AsInteger() const override { return Value(); }
};

class TIntegerField : public TField {
 public:
  explicit TIntegerField(const QString& name, TFieldKind kind = fkData)
      : TField(ftInteger, name, 0, kind) {}
  int DataSize() const override { return 4; }
  int DisplayWidth() const override { return 11; }
  int32_t Value() const;
  QByteArray AsBytes() const override;
  int32_t AsInteger() const override { return Value(); }
};

class TFloatField : public TField {
 public:
  explicit TFloatField(const QString& name, TFieldKind kind = fkData, TFieldType type = ftFloat)
      : TField(type, name, 0, kind) {}
  int DataSize() const override { return 8; }
  int DisplayWidth() const override { return precision_ > 0 ? precision_ : 10; }
  double Value() const;
  // "0" or "0.00"-style: that many decimals; empty: up to Precision digits.
  const QString& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format) { displayFormat_ = format; }
  int Precision() const { return precision_; }
  void SetPrecision(int precision) { precision_ = precision; }
  QByteArray AsBytes() const override;
  int32_t AsInteger() const override { return static_cast<int32_t>(Value()); }
  double AsFloat() const override { return Value(); }

 private:
  QString displayFormat_;
  int precision_ = 15;
};

class TBooleanField : public TField {
 public:
  explicit TBooleanField(const QString& name, TFieldKind kind = fkData)
      : TField(ftBoolean, name, 0, kind) {}
  int DataSize() const override { return 2; }
  int DisplayWidth() const override { return 5; }
  bool Value() const;
  QByteArray AsBytes() const override;
  int32_t AsInteger() const override { return Value() ? 1 : 0; }
  bool AsBoolean() const override { return Value(); }
};

// A date as a day count: 1 January of year 1 is day 1 (30 December 1899 is
// 693594); 0 is the zero date.
class TDateField : public TField {
 public:
  explicit TDateField(const QString& name, TFieldKind kind = fkData)
      : TField(ftDate, name, 0, kind) {}
  int DataSize() const override { return 4; }
  int DisplayWidth() const override { return 10; }
  int32_t Value() const;
  QDate AsDate() const { return DateOfDayCount(Value()); }
  // yyyy-MM-dd; empty for the zero date or without a value.
  QByteArray AsBytes() const override;
  int32_t AsInteger() const override { return Value(); }

  static int32_t DayCountOf(const QDate& date);
  static QDate DateOfDayCount(int32_t days);  // invalid QDate for days < 1
};

// Memo and blob fields hold no data in the field area; their text is a marker.
class TBlobField : public TField {
 public:
  explicit TBlobField(const QString& name, TFieldType type = ftBlob)
      : TField(type, name, 0, fkData) {}
  int DataSize() const override { return 0; }
  int DisplayWidth() const override { return 6; }
  QByteArray AsBytes() const override;
};

class TMemoField : public TBlobField {
 public:
  explicit TMemoField(const QString& name) : TBlobField(name, ftMemo) {}
};

// A field object of the definition's kind; nullptr for kinds without one.
std::unique_ptr<TField> CreateFieldOfDef(const TFieldDef& def);
