// Navigation of TDbfTable: the fetch of one record into a view buffer, the
// moves, record numbers and counts, bookmarks and the view's position.
#include <cmath>
#include <cstring>

#include "table/DbfEngine.h"
#include "table/DbfTable.h"

TGetResult TDbfTable::GetRecord(char* buffer, TGetMode mode, bool check) {
  CheckNotServer("fetch");
  const TDbfEngineApi& e = Dbe();
  Select();
  bool accepted = true;
  TGetResult result = FetchOk;
  do {
    const int32_t before = (atTopPending_ || atBottomPending_) ? 0 : EngRecNo();
    result = FetchOk;
    switch (mode) {
      case FetchCurrent:
        if (e.dbe_Bof() && e.dbe_Eof()) {
          result = FetchEof;
        } else if (e.dbe_Eof() && eofAction_ == eaMoveLast) {
          e.dbe_GoBottom();
          if (e.dbe_Eof()) result = FetchEof;
        }
        break;
      case FetchNext:
        if (atTopPending_) {
          EngGoTop();
          atTopPending_ = false;  // a rejected record moves on from here
        } else {
          e.dbe_Skip(1);
        }
        if (e.dbe_Eof() || EngRecNo() == before) {
          e.dbe_GoBottom();
          result = FetchEof;
        }
        break;
      case FetchPrior:
        if (atBottomPending_) {
          e.dbe_GoBottom();
          atBottomPending_ = false;
        } else {
          e.dbe_Skip(-1);
        }
        if (e.dbe_Bof() || EngRecNo() == before) {
          EngGoTop();
          result = FetchBof;
        }
        break;
    }
    const int32_t n = EngRecNo();
    orderPos_ = -2;
    InitRecord(buffer);
    if (result == FetchOk) {
      e.dbe_GetRecord(engineRecord_.data());
      LoadRecord(buffer);
      SetBufferRecno(buffer, n);
      SetBufferFlag(buffer, bfCurrent);
      if (HasCalcFields()) GetCalcFields(buffer);
      if (OnFilterRecord && Filtered()) {
        char* oldBuffer = TempBuffer();
        const TDataSetState old = EnterTempState(dsFilter, buffer);
        accepted = true;
        try {
          OnFilterRecord(*this, accepted);
        } catch (...) {  // the handler's errors do not leave the fetch
        }
        LeaveTempState(old, oldBuffer);
        Select();
        if (!accepted) {
          if (mode == FetchCurrent) result = FetchEof;
          if (atTopPending_) result = FetchBof;
          if (atBottomPending_) result = FetchEof;
        }
      }
    }
  } while (!accepted && result != FetchBof && result != FetchEof);
  atTopPending_ = atBottomPending_ = false;
  if (result == FetchError && check) Raise("Cannot perform this operation on an empty table");
  return result;
}

void TDbfTable::PlaceBeforeFirst() {
  if (workArea_ > 0) {
    const char* alias = Dbe().dbe_Alias(workArea_);
    if (!alias || !*alias) OpenTable();  // the engine lost the table
    Select();
    EngGoTop();
  }
  atTopPending_ = true;
  atBottomPending_ = false;
  curRec_ = 0;
}

void TDbfTable::PlaceAfterLast() {
  if (workArea_ > 0) {
    Select();
    Dbe().dbe_GoBottom();
  }
  atBottomPending_ = true;
  atTopPending_ = false;
}

void TDbfTable::PlaceOnRowRecord(char* buffer) {
  if (workArea_ <= 0) return;
  Select();
  EngGo(BufferRecno(buffer));
}

// --------------------------------------------------------------------- moves

void TDbfTable::GoTop() {
  if (workArea_ <= 0) return;
  if (speedMode_) {
    Select();
    EngGoTop();
    return;
  }
  First();
}

void TDbfTable::Skip(int n) {
  if (workArea_ <= 0) return;
  if (n > 0) atTopPending_ = false;
  if (n < 0) atBottomPending_ = false;
  if (speedMode_) {
    Select();
    Dbe().dbe_Skip(n);
    return;
  }
  TDataSet::MoveRows(n);
}

int TDbfTable::MoveRows(int n) {
  if (!speedMode_) return TDataSet::MoveRows(n);
  // Straight to the engine; on a closed table nothing moves, as with Skip.
  if (workArea_ <= 0) return 0;
  Skip(n);
  return n;
}

bool TDbfTable::AtEnd() {
  if (workArea_ > 0) {
    Select();
    if (Dbe().dbe_Eof()) return true;
  }
  return Eof();
}

bool TDbfTable::AtStart() {
  if (speedMode_ && workArea_ > 0) {
    Select();
    if (Dbe().dbe_Bof()) return true;
  }
  return Bof();
}

int32_t TDbfTable::Recno() {
  if (workArea_ <= 0) return 0;
  if (speedMode_) {
    Select();
    return EngRecNo();
  }
  const char* b = CalcBuffer() ? CalcBuffer() : ActiveBuffer();
  return b ? BufferRecno(b) : 0;
}

void TDbfTable::SetRecno(int32_t recno) {
  if (workArea_ <= 0) return;
  if (speedMode_) {
    Select();
    EngGo(recno);
    return;
  }
  if (!Active() || !ActiveBuffer()) return;
  BeforeMove();
  SetBufferFlag(ActiveBuffer(), bfCurrent);
  SetBufferRecno(ActiveBuffer(), recno);
  RefetchWindow(rfNone);
  AfterMove();
}

void TDbfTable::RefreshCounts() {
  if (workArea_ <= 0) return;
  const TDbfEngineApi& e = Dbe();
  Select();
  rawCount_ = e.dbe_RecCount();
  switch (sequencedCount_) {
    case scAllCount:
      seqCount_ = e.dbe_Count();
      break;
    case scFilterOnlyCount:
      seqCount_ = e.dbe_QueryRecCount();
      break;
    case scRawCount:
      seqCount_ = rawCount_;
      break;
  }
  countNeedsRefresh_ = false;
}

int32_t TDbfTable::RecCount() {
  if (workArea_ <= 0) return 0;
  RefreshCounts();
  return rawCount_;
}

void TDbfTable::BeforeMove() {
  if (speedMode_) return;
  EndPendingEdit();
  if (!NotificationsSuspended()) DoBeforeScroll();
}

void TDbfTable::AfterMove() {
  if (!speedMode_) DoAfterScroll();
}

void TDbfTable::DoAfterScroll() {
  if (workArea_ > 0) SyncEngineToActiveRow();
  TDataSet::DoAfterScroll();
}

void TDbfTable::SetSpeedMode(bool on) {
  speedMode_ = on;
  if (!ViewUsable()) return;
  if (on) {
    SyncEngineToActiveRow();
  } else {
    Select();
    SetBufferRecno(ActiveBuffer(), EngRecNo());
    RefetchWindow(rfNone);
  }
}

void TDbfTable::RefetchWindow(int flags) {
  if (workArea_ <= 0 || speedMode_ || !Active()) return;
  Select();
  EngGo(Recno());
  TDataSet::RefetchWindow(flags);
}

// --------------------------------------------------------- the view's position

int TDbfTable::ViewRecordCount() {
  if (workArea_ <= 0) return 0;
  if (countNeedsRefresh_ || seqCount_ == -1) RefreshCounts();
  return seqCount_;
}

int TDbfTable::ViewRecordNumber() {
  if (workArea_ <= 0 || !cursorOpen_) return 0;
  SyncEngineToActiveRow();
  if (currentOrder_ == 0 || tableType_ == ttNTX) return curRec_;
  if (countNeedsRefresh_ || seqCount_ == -1) RefreshCounts();
  if (orderPos_ == -2) {
    Select();
    orderPos_ = static_cast<int32_t>(std::trunc(Dbe().dbe_OrderPosGet() * seqCount_));
  }
  return orderPos_;
}

void TDbfTable::SetViewRecordNumber(int n) {
  if (!ViewUsable()) return;
  EndPendingEdit();
  Select();
  EngGo(n);
  if (seqCount_ > 0) Dbe().dbe_OrderPosSet(static_cast<double>(n) / seqCount_);
  SetBufferFlag(ActiveBuffer(), bfCurrent);
  SetBufferRecno(ActiveBuffer(), EngRecNo());
  RefetchWindow(rfNone);
}

// ------------------------------------------------------------------ bookmarks

void TDbfTable::GetBookmarkData(const char* buffer, void* data) {
  std::memcpy(data, buffer + infoOffset_, 4);
}

void TDbfTable::SetBookmarkData(char* buffer, const void* data) {
  std::memcpy(buffer + infoOffset_, data, 4);
}

TBookmarkFlag TDbfTable::GetBookmarkFlag(const char* buffer) {
  return static_cast<TBookmarkFlag>(static_cast<uint8_t>(buffer[infoOffset_ + 4]));
}

void TDbfTable::SetBookmarkFlag(char* buffer, TBookmarkFlag flag) {
  SetBufferFlag(buffer, static_cast<uint8_t>(flag));
}

void TDbfTable::InternalGotoBookmark(const void* data) {
  int32_t recno = 0;
  std::memcpy(&recno, data, 4);
  JumpToBookmark(recno);
}

void TDbfTable::JumpToBookmark(int32_t recno) {
  try {
    SetRecno(recno);
  } catch (...) {
    Raise("Invalid bookmark");
  }
}

QByteArray TDbfTable::KeyTextOf(int32_t recno, const QByteArray& key, int16_t type) {
  const TDbfEngineApi& e = Dbe();
  e.dbe_Go(recno);
  switch (type) {
    case 2:
      return QByteArray::number(e.dbe_EvalNumeric(key.constData()), 'g', 17);
    case 3:
      return e.dbe_EvalLogical(key.constData()) ? "T" : "F";
    default:
      return QByteArray(e.dbe_EvalString(key.constData()));
  }
}

int32_t TDbfTable::OrderOfBookmarks(const TBookmark& a, const TBookmark& b) {
  if (a.size() < 4 || b.size() < 4) return 2;
  int32_t ra = 0, rb = 0;
  std::memcpy(&ra, a.constData(), 4);
  std::memcpy(&rb, b.constData(), 4);
  const int byRecno = ra == rb ? 0 : (ra < rb ? -1 : 1);
  if (indexName_.isEmpty() || workArea_ <= 0) return byRecno;
  const TDbfEngineApi& e = Dbe();
  Select();
  const int32_t saved = e.dbe_RecNo();
  const QByteArray key = e.dbe_IndexKey();
  const int16_t type = e.dbe_EvalTest(key.constData());
  const QByteArray ka = KeyTextOf(ra, key, type);
  const QByteArray kb = KeyTextOf(rb, key, type);
  int order = byRecno;
  if (ka != kb) {
    // The engine's own comparison decides; texts go in a delimiter they lack.
    QByteArray less;
    if (type == 2) {
      less = ka + " < " + kb;
    } else {
      const char* delims[] = {"\"\"", "''", "[]"};
      for (const char* d : delims)
        if (!ka.contains(d[0]) && !ka.contains(d[1]) && !kb.contains(d[0]) && !kb.contains(d[1])) {
          less = d[0] + ka + d[1] + " < " + d[0] + kb + d[1];
          break;
        }
    }
    const bool aFirst = less.isEmpty() ? (ka < kb) : e.dbe_EvalLogical(less.constData()) != 0;
    order = aFirst ? -1 : 1;
    if (e.dbe_SysProp(3002, nullptr) != 0) order = -order;
  }
  e.dbe_Go(saved);
  return order;
}
