// Opening, closing, state, fields, bookmarks and notifications of the dataset
// base. The window of buffers and the moves are in DataSetWindow.cpp.
#include "dataset/DataSet.h"

#include <algorithm>
#include <cstring>

#include "dataset/DataSource.h"

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  FreeBuffers();
  for (TDataSource* s : sources_) s->dataSet_ = nullptr;
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  DataEvent(deUpdateState);
}

void TDataSet::SetActive(bool active) {
  if (active)
    Open();
  else
    Close();
}

void TDataSet::Open() {
  if (state_ != dsInactive) return;
  if (BeforeOpen) BeforeOpen(*this);
  state_ = dsOpening;
  try {
    InternalOpen();
    if (!IsCursorOpen()) {  // the component found nothing to open
      state_ = dsInactive;
      return;
    }
    AllocateBuffers();
  } catch (...) {
    FreeBuffers();
    state_ = dsInactive;
    throw;
  }
  state_ = dsBrowse;
  ClearBuffers();
  if (GetNextRow()) {
    activeRecord_ = 0;
    FillForward();
  }
  bof_ = true;
  DataEvent(deUpdateState);
  DataEvent(deDataSetChange);
  if (AfterOpen) AfterOpen(*this);
  if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::Close() {
  if (state_ == dsInactive) return;
  if (BeforeClose) BeforeClose(*this);
  recordCount_ = 0;
  activeRecord_ = 0;
  cursorBuffer_ = -1;
  FreeBuffers();
  try {
    InternalClose();
  } catch (...) {
    state_ = dsInactive;
    DataEvent(deUpdateState);
    throw;
  }
  tempBuffer_ = nullptr;
  bof_ = eof_ = true;
  windowCollapsed_ = false;
  SetState(dsInactive);
  DataEvent(deDataSetChange);
  if (AfterClose) AfterClose(*this);
}

void TDataSet::AllocateBuffers() {
  FreeBuffers();
  buffers_.assign(static_cast<size_t>(windowSize_) + 1, nullptr);
  for (char*& b : buffers_) {
    b = AllocRecordBuffer();
    InitRecord(b);
  }
}

void TDataSet::FreeBuffers() {
  for (char*& b : buffers_)
    if (b) FreeRecordBuffer(b);
  buffers_.clear();
}

char* TDataSet::ActiveBuffer() const {
  if (buffers_.empty()) return nullptr;
  return buffers_[static_cast<size_t>(activeRecord_)];
}

void TDataSet::EndPendingEdit() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) {
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
  }
}

void TDataSet::Refresh() {
  CheckActive();
  if (BeforeRefresh) BeforeRefresh(*this);
  EndPendingEdit();
  SyncEngineToActiveRow();
  InternalRefresh();
  RefetchWindow(rfNone);
  if (AfterRefresh) AfterRefresh(*this);
}

void TDataSet::DoBeforeScroll() {
  if (BeforeScroll) BeforeScroll(*this);
}

void TDataSet::DoAfterScroll() {
  if (AfterScroll) AfterScroll(*this);
}

// ---------------------------------------------------------------- notifications

void TDataSet::SuspendViewNotifications() {
  ++suspendCount_;
}

void TDataSet::ResumeViewNotifications() {
  if (suspendCount_ == 0) return;
  if (--suspendCount_ > 0) return;
  if (Active() && windowCollapsed_) RefetchWindow(rfNone);
  if (pendingChange_) DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent event) {
  // State changes always reach the sources: a grid must never read the buffers
  // of a closed dataset, suspended or not.
  if (suspendCount_ > 0 && event != deUpdateState) {
    pendingChange_ = true;
    return;
  }
  if (event != deUpdateState) pendingChange_ = false;
  const std::vector<TDataSource*> sources = sources_;  // a handler may detach
  for (TDataSource* s : sources)
    if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->NotifyDataEvent(event);
}

void TDataSet::AddSource(TDataSource* source) {
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
    sources_.push_back(source);
}

void TDataSet::RemoveSource(TDataSource* source) {
  sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

// ------------------------------------------------------------------- bookmarks

TBookmark TDataSet::GetBookmark() {
  if (!Active() || IsEmpty() || bookmarkSize_ <= 0) return {};
  const char* b = ActiveBuffer();
  if (GetBookmarkFlag(b) != bfCurrent) return {};
  TBookmark bm(bookmarkSize_, '\0');
  GetBookmarkData(b, bm.data());
  return bm;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  if (bookmark.isEmpty()) return;
  EndPendingEdit();
  DoBeforeScroll();
  InternalGotoBookmark(bookmark.constData());
  RefetchWindow(rfCenter);
  DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
  if (a.isEmpty() || b.isEmpty()) return 2;
  const int c =
      std::memcmp(a.constData(), b.constData(), static_cast<size_t>(std::min(a.size(), b.size())));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------- fields

TField* TDataSet::FindField(const QString& name) const {
  for (const auto& f : fields_)
    if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const {
  TField* f = FindField(name);
  if (!f) throw EDatabaseError(name_ + ": Field '" + name + "' not found");
  return f;
}

TField* TDataSet::AddField(std::unique_ptr<TField> field) {
  if (state_ != dsInactive)
    throw EDatabaseError("Cannot perform this operation on an open dataset");
  if (!field) return nullptr;
  field->SetDataSet(this);
  fields_.push_back(std::move(field));
  return fields_.back().get();
}

void TDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_.Count(); ++i) {
    std::unique_ptr<TField> f = CreateFieldOfDef(fieldDefs_.Items(i));
    if (!f) continue;
    f->SetDataSet(this);
    fields_.push_back(std::move(f));
  }
}

void TDataSet::BindFields(bool bind) {
  calcFieldsSize_ = 0;
  calcFieldCount_ = 0;
  if (!bind) return;
  for (const auto& f : fields_) {
    if (f->Calculated()) {
      f->SetOffset(calcFieldsSize_);
      calcFieldsSize_ += 1 + f->DataSize();  // presence byte, then the value
      ++calcFieldCount_;
      continue;
    }
    const TFieldDef* def = fieldDefs_.Find(f->FieldName());
    if (!def) throw EDatabaseError(name_ + ": Field '" + f->FieldName() + "' not found");
    f->SetFieldNo(def->FieldNo);
  }
}

void TDataSet::DestroyDefaultFields() {
  if (defaultFields_) fields_.clear();
  defaultFields_ = false;
}

bool TDataSet::GetFieldData(const TField* field, void* buffer) {
  if (state_ == dsInactive || buffers_.empty()) return false;
  return CopyFieldValue(field, buffer);
}

void TDataSet::SetFieldData(TField* field, const void* buffer) {
  if (field->Calculated() && state_ == dsCalcFields) {
    WriteFieldValue(field, buffer);
    return;
  }
  throw EDatabaseError("Cannot modify a read-only dataset");
}

void TDataSet::WriteFieldValue(TField*, const void*) {
  throw EDatabaseError("Cannot modify a read-only dataset");
}

TDataSetState TDataSet::EnterTempState(TDataSetState state, char* buffer) {
  const TDataSetState previous = state_;
  state_ = state;
  tempBuffer_ = buffer;
  return previous;
}

void TDataSet::LeaveTempState(TDataSetState previous, char* previousBuffer) {
  state_ = previous;
  tempBuffer_ = previousBuffer;
}

void TDataSet::GetCalcFields(char* buffer) {
  if (!HasCalcFields()) return;
  char* oldBuffer = tempBuffer_;
  const TDataSetState old = EnterTempState(dsCalcFields, buffer);
  try {
    ClearCalcFields(buffer);
    if (OnCalcFields) OnCalcFields(*this);
  } catch (...) {
    LeaveTempState(old, oldBuffer);
    throw;
  }
  LeaveTempState(old, oldBuffer);
}
