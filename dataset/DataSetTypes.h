#pragma once
// Shared vocabulary of the data-aware framework: dataset states, fetch modes and
// results, field kinds, bookmark flags, data events and the framework's error.
#include <QByteArray>
#include <QString>
#include <exception>

enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening
};

// How GetRecord moves before it reads.
enum TGetMode { FetchCurrent, FetchNext, FetchPrior };
enum TGetResult { FetchOk, FetchBof, FetchEof, FetchError };

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftDate,
  ftMemo,
  ftBlob
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

// Flag of a view record buffer: a record, or a marker before/after the data.
enum TBookmarkFlag { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };

// What a dataset tells its data sources.
enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode
};

// Flags of RefetchWindow.
enum TResyncFlag { rfNone = 0, rfExact = 1, rfCenter = 2 };

// A bookmark is the raw bytes the dataset stores for a record.
using TBookmark = QByteArray;

// Error of the framework; the table's own error class derives from it.
class EDatabaseError : public std::exception {
 public:
  explicit EDatabaseError(QString message)
      : message_(std::move(message)), utf8_(message_.toUtf8()) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};
