// The window of view record buffers: filling it through GetRecord, moving the
// active row, fetching the window again around a record, and resizing it.
//
// buffers_ holds windowSize_ rows and, last, the spare buffer that every fetch
// goes into; a successful fetch swaps or rotates the spare into the window.
#include <algorithm>

#include "dataset/DataSet.h"

void TDataSet::ClearBuffers() {
  recordCount_ = 0;
  activeRecord_ = 0;
  cursorBuffer_ = -1;
  bof_ = eof_ = true;
}

void TDataSet::SetCurrentRecord(int row) {
  if (cursorBuffer_ == row) return;
  PlaceOnRowRecord(buffers_[static_cast<size_t>(row)]);
  cursorBuffer_ = row;
}

void TDataSet::SyncEngineToActiveRow() {
  if (recordCount_ > 0 && cursorBuffer_ != activeRecord_) SetCurrentRecord(activeRecord_);
}

bool TDataSet::GetNextRow() {
  if (recordCount_ > 0) SetCurrentRecord(recordCount_ - 1);
  if (GetRecord(Spare(), FetchNext, true) != FetchOk) {
    cursorBuffer_ = -1;
    return false;
  }
  if (recordCount_ < windowSize_) {
    std::swap(buffers_[static_cast<size_t>(recordCount_)], buffers_.back());
    cursorBuffer_ = recordCount_++;
  } else {  // the first row leaves the window and becomes the spare
    std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
    cursorBuffer_ = windowSize_ - 1;
    if (activeRecord_ > 0) --activeRecord_;
  }
  if (recordCount_ == 1) {
    activeRecord_ = 0;
    bof_ = eof_ = false;
  }
  return true;
}

bool TDataSet::GetPriorRow() {
  if (recordCount_ > 0) SetCurrentRecord(0);
  if (GetRecord(Spare(), FetchPrior, true) != FetchOk) {
    cursorBuffer_ = -1;
    return false;
  }
  // The fetched row goes in front; the last buffer (a free one, or the last row
  // when the window is full) becomes the spare.
  std::rotate(buffers_.begin(), buffers_.end() - 1, buffers_.end());
  if (recordCount_ < windowSize_) {
    ++recordCount_;
    if (recordCount_ > 1) ++activeRecord_;
  } else {
    activeRecord_ = std::min(activeRecord_ + 1, windowSize_ - 1);
  }
  cursorBuffer_ = 0;
  if (recordCount_ == 1) {
    activeRecord_ = 0;
    bof_ = eof_ = false;
  }
  return true;
}

void TDataSet::FillForward() {
  while (recordCount_ < windowSize_ && GetNextRow()) {
  }
}

void TDataSet::FillBackward() {
  while (recordCount_ < windowSize_ && GetPriorRow()) {
  }
}

void TDataSet::First() {
  EndPendingEdit();
  DoBeforeScroll();
  ClearBuffers();
  windowCollapsed_ = false;
  bool any = false;
  try {
    PlaceBeforeFirst();
    any = GetNextRow();
    // Nobody looks at the window while notifications are suspended: the
    // first record only, the rest once they resume.
    if (any && suspendCount_ == 0) FillForward();
  } catch (...) {
    bof_ = true;
    DataEvent(deDataSetChange);
    throw;
  }
  activeRecord_ = 0;
  if (any && suspendCount_ > 0) {
    savedActiveRow_ = 0;
    windowCollapsed_ = true;
  }
  bof_ = true;
  DataEvent(deDataSetChange);
  DoAfterScroll();
}

void TDataSet::Last() {
  EndPendingEdit();
  DoBeforeScroll();
  ClearBuffers();
  windowCollapsed_ = false;
  try {
    PlaceAfterLast();
    if (GetPriorRow()) FillBackward();
  } catch (...) {
    eof_ = true;
    DataEvent(deDataSetChange);
    throw;
  }
  activeRecord_ = recordCount_ > 0 ? recordCount_ - 1 : 0;
  eof_ = true;
  DataEvent(deDataSetChange);
  DoAfterScroll();
}

int TDataSet::MoveRows(int n) {
  EndPendingEdit();
  DoBeforeScroll();
  if ((n > 0 && eof_) || (n < 0 && bof_) || n == 0) return 0;
  bof_ = eof_ = false;
  const int oldCount = recordCount_;
  int moved = 0;
  try {
    while (n > 0) {
      if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
      } else if (GetNextRow()) {
        activeRecord_ = recordCount_ - 1;
      } else {
        eof_ = true;
        break;
      }
      --n;
      ++moved;
    }
    while (n < 0) {
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else if (GetPriorRow()) {
        activeRecord_ = 0;
      } else {
        bof_ = true;
        break;
      }
      ++n;
      --moved;
    }
  } catch (...) {
    DataEvent(deDataSetChange);
    throw;
  }
  DataEvent(recordCount_ != oldCount ? deDataSetChange : deDataSetScroll);
  DoAfterScroll();
  return moved;
}

void TDataSet::ActivateFetched() {
  std::swap(buffers_[0], buffers_.back());
  recordCount_ = 1;
  activeRecord_ = 0;
  cursorBuffer_ = 0;
  bof_ = eof_ = false;
}

void TDataSet::RefetchWindow(int flags) {
  if (!Active() || buffers_.empty()) return;
  const bool found = GetRecord(Spare(), FetchCurrent, false) == FetchOk ||
                     GetRecord(Spare(), FetchNext, false) == FetchOk ||
                     GetRecord(Spare(), FetchPrior, false) == FetchOk;
  const int targetRow = windowCollapsed_ ? savedActiveRow_ : activeRecord_;
  if (!found) {
    ClearBuffers();
    windowCollapsed_ = false;
    DataEvent(deDataSetChange);
    return;
  }
  ActivateFetched();
  if (suspendCount_ > 0) {
    // Nobody looks at the window now: keep the current record only and fetch
    // the rest once, when notifications resume.
    if (!windowCollapsed_) savedActiveRow_ = targetRow;
    windowCollapsed_ = true;
    pendingChange_ = true;
    return;
  }
  windowCollapsed_ = false;
  int before = (flags & rfCenter) ? (windowSize_ - 1) / 2 : targetRow;
  before = std::clamp(before, 0, windowSize_ - 1);
  try {
    while (before > 0 && GetPriorRow()) --before;
    FillForward();
    FillBackward();
  } catch (...) {
    DataEvent(deDataSetChange);
    throw;
  }
  DataEvent(deDataSetChange);
}

void TDataSet::RequestWindowRows(const void* requester, int rows) {
  windowRequests_[requester] = std::max(1, rows);
  int wanted = 1;
  for (const auto& r : windowRequests_) wanted = std::max(wanted, r.second);
  if (wanted != windowSize_) ResizeWindow(wanted);
}

void TDataSet::ReleaseWindowRows(const void* requester) {
  windowRequests_.erase(requester);
  int wanted = 1;
  for (const auto& r : windowRequests_) wanted = std::max(wanted, r.second);
  if (wanted != windowSize_) ResizeWindow(wanted);
}

void TDataSet::ResizeWindow(int rows) {
  if (buffers_.empty()) {  // closed: the size applies at the next open
    windowSize_ = rows;
    return;
  }
  if (rows > windowSize_) {
    for (int i = windowSize_; i < rows; ++i) {
      char* b = AllocRecordBuffer();
      InitRecord(b);
      buffers_.insert(buffers_.end() - 1, b);  // the spare stays last
    }
    windowSize_ = rows;
    if (recordCount_ > 0 && Active()) {
      FillForward();
      FillBackward();
    }
  } else {
    // Keep the active row in view: drop rows in front of it first.
    const int dropFront = std::max(0, activeRecord_ - (rows - 1));
    if (dropFront > 0) {
      std::rotate(buffers_.begin(), buffers_.begin() + dropFront, buffers_.end() - 1);
      activeRecord_ -= dropFront;
      recordCount_ -= dropFront;
    }
    recordCount_ = std::min(recordCount_, rows);
    while (windowSize_ > rows) {
      char* b = buffers_[static_cast<size_t>(windowSize_ - 1)];
      buffers_.erase(buffers_.begin() + (windowSize_ - 1));
      FreeRecordBuffer(b);
      --windowSize_;
    }
  }
  cursorBuffer_ = -1;
  if (Active()) DataEvent(deDataSetChange);
}

template <typename Read>
auto TDataSet::ReadAtRow(int row, const TField* field, Read&& read) -> decltype(read()) {
  if (!field || row < 0 || row >= recordCount_ || !Active()) return {};
  const int saved = activeRecord_;
  activeRecord_ = row;
  try {
    auto value = read();
    activeRecord_ = saved;
    return value;
  } catch (...) {
    activeRecord_ = saved;
    throw;
  }
}

QString TDataSet::CellText(int row, const TField* field) {
  return ReadAtRow(row, field, [field] { return field->DisplayText(); });
}

QByteArray TDataSet::CellBytes(int row, const TField* field) {
  return ReadAtRow(row, field, [field] { return field->AsBytes(); });
}
