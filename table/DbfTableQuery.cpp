// The engine's query set and the index order of TDbfTable: Query,
// SetQueryBit, SetOrder, Filter/Filtered and the refresh step.
#include "platform/Cp949.h"
#include "table/DbfEngine.h"
#include "table/DbfTable.h"

int32_t TDbfTable::Query(const char* expression) {
  return Query(expression ? QByteArray(expression) : QByteArray());
}

int32_t TDbfTable::QueryCall(const QByteArray& expression) {
  const TDbfEngineApi& e = Dbe();
  const int32_t result = e.dbe_Query(expression.constData());
  if (e.dbe_QueryTest(expression.constData()) > 0)
    seqCount_ = e.dbe_QueryRecCount();
  else
    seqCount_ = e.dbe_RecCount();
  return result;
}

int32_t TDbfTable::Query(const QByteArray& expression) {
  if (workArea_ <= 0) return 0;
  Select();
  // Absent, empty and a lone NUL all clear the set.
  QByteArray expr = expression;
  if (expr.size() == 1 && expr[0] == '\0') expr.clear();
  expr = QByteArray(expr.constData(), expr.isNull() ? 0 : qstrnlen(expr.constData(), expr.size()));
  if (speedMode_) return QueryCall(expr);
  if (!expr.isEmpty() && Dbe().dbe_EvalTest(expr.constData()) != 3)
    Raise("Invalid Query Expression\r\r" + platform::FromCp949(expr));
  BeforeMove();
  Select();
  const int32_t result = QueryCall(expr);
  if (char* active = ActiveBuffer()) {
    SetBufferFlag(active, Dbe().dbe_Eof() ? bfEOF : bfCurrent);
    SetBufferRecno(active, result);
  }
  curRec_ = result;
  countNeedsRefresh_ = true;
  RefetchWindow(rfNone);
  AfterMove();
  return result;
}

void TDbfTable::SetQueryBit(int32_t recno, bool value) {
  CheckOpen();
  Select();
  Dbe().dbe_SetQueryBit(recno, value ? -1 : 0);
}

void TDbfTable::SetQueryBits(const std::vector<int32_t>& recnos, bool value) {
  if (recnos.empty()) return;
  CheckOpen();
  Select();
  Dbe().dbe_SetQueryBits(recnos.data(), static_cast<int32_t>(recnos.size()), value ? -1 : 0);
}

int32_t TDbfTable::SetOrder(int32_t order) {
  CheckOpen();
  if (Active()) EndPendingEdit();
  const TDbfEngineApi& e = Dbe();
  Select();
  const int16_t previous = e.dbe_SetOrder(static_cast<int16_t>(order));
  currentOrder_ = static_cast<int16_t>(order);
  const int16_t o = static_cast<int16_t>(order);
  indexName_ = QString::fromLatin1(tableType_ == ttNTX ? e.dbe_IndexName(o) : e.dbe_TagName(o));
  countNeedsRefresh_ = true;
  SetRecno(Recno());
  return previous;
}

int32_t TDbfTable::QueryRecCount() {
  if (workArea_ <= 0) return 0;
  Select();
  return Dbe().dbe_QueryRecCount();
}

int32_t TDbfTable::Count() {
  if (workArea_ <= 0) return 0;
  Select();
  return Dbe().dbe_Count();
}

QByteArray TDbfTable::DBFilter() {
  if (workArea_ <= 0) return {};
  Select();
  return QByteArray(Dbe().dbe_DBFilter());
}

void TDbfTable::SetFilter(const QString& text) {
  filterCopy_ = text;
  ApplyFilter(text);
  TDataSet::SetFilter(text);
}

void TDbfTable::SetFiltered(bool on) {
  TDataSet::SetFiltered(on);
  filteredCopy_ = on;
  ApplyFilter(filterCopy_);
}

void TDbfTable::ApplyFilter(const QString& text) {
  filterCopy_ = text;
  if (!ViewUsable()) return;
  if (filteredCopy_)
    Query(platform::ToCp949(text));
  else
    Query(QByteArray(""));
}

void TDbfTable::ReapplyOnRefresh() {
  const QByteArray expression = DBFilter();
  if (expression.isEmpty()) {
    RefetchWindow(rfNone);
    return;
  }
  const TDbfEngineApi& e = Dbe();
  Select();
  const int32_t recno = e.dbe_RecNo();
  if (e.dbe_QueryTest(expression.constData()) > 0) {
    Query(expression);
    Select();
    EngGo(recno);
    // The view follows the engine back to that record when it is refetched.
    if (char* active = ActiveBuffer()) {
      SetBufferFlag(active, bfCurrent);
      SetBufferRecno(active, recno);
    }
  }
}
