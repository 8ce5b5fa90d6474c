#pragma once
// The dataset base: a window of view record buffers over a record source that a
// derived component provides. The base owns the buffers, the active row, the
// cursor row, its own beginning- and end-of-file flags, the dataset state, the
// field objects and the notifications to its data sources. It fills buffers
// only through the component's GetRecord.
#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "dataset/DataSetTypes.h"
#include "dataset/Field.h"
#include "dataset/FieldDefs.h"

class TDataSource;

class TDataSet {
 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet&)>;
  using TFilterRecordEvent = std::function<void(TDataSet&, bool& accept)>;

  TDataSet();
  // A derived component closes itself in its own destructor: the base cannot
  // call the component's close step any more from here.
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  const QString& Name() const { return name_; }
  void SetName(const QString& name) { name_ = name; }

  // --- opening and state
  void Open();
  void Close();
  bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
  virtual void SetActive(bool active);
  TDataSetState State() const { return state_; }
  virtual bool CanModify() const { return false; }
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool on) { autoCalcFields_ = on; }

  // --- moving the view
  void First();
  void Last();
  // Moves the active row n rows; answers the rows actually moved.
  virtual int MoveRows(int n);
  void Next() { MoveRows(1); }
  void Prior() { MoveRows(-1); }
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return recordCount_ == 0; }
  // Fetches the window again around the record the component stands on.
  virtual void RefetchWindow(int flags);
  void SyncEngineToActiveRow();
  void EndPendingEdit();
  void Refresh();

  // Nesting: notifications resume when every suspension has been resumed.
  // While suspended, RefetchWindow fetches the current record only; the whole
  // window is fetched again once, when notifications resume.
  void SuspendViewNotifications();
  void ResumeViewNotifications();
  bool NotificationsSuspended() const { return suspendCount_ > 0; }

  // --- bookmarks
  TBookmark GetBookmark();
  void GotoBookmark(const TBookmark& bookmark);
  virtual bool BookmarkValid(const TBookmark& bookmark) { return !bookmark.isEmpty(); }
  // -1, 0, 1 by position; 2 when either is absent.
  virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b);
  int BookmarkSize() const { return bookmarkSize_; }

  // --- position for scroll bars
  virtual int ViewRecordCount() { return recordCount_; }
  virtual int ViewRecordNumber() { return 0; }
  virtual void SetViewRecordNumber(int) {}
  virtual bool IsSequenced() { return false; }

  // --- fields
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField* Fields(int i) const { return fields_.at(static_cast<size_t>(i)).get(); }
  TField* FindField(const QString& name) const;
  TField* FieldByName(const QString& name) const;  // raises when absent
  // Adds a persistent field object (before opening).
  TField* AddField(std::unique_ptr<TField> field);
  bool DefaultFields() const { return defaultFields_; }
  TFieldDefs& FieldDefs() { return fieldDefs_; }
  TIndexDefs& IndexDefs() { return indexDefs_; }
  bool GetFieldData(const TField* field, void* buffer);
  void SetFieldData(TField* field, const void* buffer);

  // --- filter (the component decides what they mean)
  const QString& Filter() const { return filterText_; }
  bool Filtered() const { return filtered_; }
  virtual void SetFilter(const QString& text) { filterText_ = text; }
  virtual void SetFiltered(bool on) { filtered_ = on; }

  // --- the window as grids see it
  // A grid asks for as many rows as it shows; the window has the largest ask.
  void RequestWindowRows(const void* requester, int rows);
  void ReleaseWindowRows(const void* requester);
  int WindowRows() const { return windowSize_; }
  int WindowRecordCount() const { return recordCount_; }
  int ActiveRow() const { return activeRecord_; }
  // Display text of a field in window row `row`, read from that row's buffer.
  QString CellText(int row, const TField* field);
  // The field's 8-bit value (AsBytes) in window row `row`.
  QByteArray CellBytes(int row, const TField* field);

  // --- events
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeScroll, AfterScroll, BeforeRefresh, AfterRefresh;
  TDataSetNotifyEvent OnCalcFields;
  TFilterRecordEvent OnFilterRecord;

 protected:
  // --- the component's part
  virtual TGetResult GetRecord(char* buffer, TGetMode mode, bool check) = 0;
  virtual void PlaceBeforeFirst() = 0;
  virtual void PlaceAfterLast() = 0;
  virtual void PlaceOnRowRecord(char* buffer) = 0;
  virtual char* AllocRecordBuffer() = 0;
  virtual void FreeRecordBuffer(char*& buffer) = 0;
  virtual void InitRecord(char* buffer) = 0;
  virtual void GetBookmarkData(const char* buffer, void* data) = 0;
  virtual void SetBookmarkData(char* buffer, const void* data) = 0;
  virtual TBookmarkFlag GetBookmarkFlag(const char* buffer) = 0;
  virtual void SetBookmarkFlag(char* buffer, TBookmarkFlag flag) = 0;
  virtual void InternalGotoBookmark(const void* data) = 0;
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  virtual void InternalRefresh() = 0;
  virtual bool CopyFieldValue(const TField* field, void* target) = 0;
  // Stores a calculated field's value while the dataset calculates.
  virtual void WriteFieldValue(TField* field, const void* data);
  virtual void ClearCalcFields(char*) {}
  virtual void ClearBuffers();
  virtual void DoAfterScroll();
  void DoBeforeScroll();

  // --- helpers for the component
  // Creates one field object per definition with a kind (default fields).
  virtual void CreateFields();
  // Binds field objects to their definitions and lays out calculated fields.
  void BindFields(bool bind);
  void DestroyDefaultFields();
  void SetDefaultFields(bool on) { defaultFields_ = on; }
  char* ActiveBuffer() const;
  char* CalcBuffer() const { return state_ == dsCalcFields ? tempBuffer_ : nullptr; }
  char* FilterBuffer() const { return state_ == dsFilter ? tempBuffer_ : nullptr; }
  int CalcFieldsSize() const { return calcFieldsSize_; }
  bool HasCalcFields() const { return calcFieldCount_ > 0; }
  void GetCalcFields(char* buffer);
  // Runs the calculated-field or filter state on a buffer; restores on leave.
  TDataSetState EnterTempState(TDataSetState state, char* buffer);
  void LeaveTempState(TDataSetState previous, char* previousBuffer);
  char* TempBuffer() const { return tempBuffer_; }
  void SetBookmarkSize(int size) { bookmarkSize_ = size; }
  void DataEvent(TDataEvent event);
  void CheckActive() const;

 private:
  friend class TDataSource;
  void AddSource(TDataSource* source);
  void RemoveSource(TDataSource* source);

  void SetState(TDataSetState state);
  void AllocateBuffers();
  void FreeBuffers();
  void ResizeWindow(int rows);
  // Engine to the record of window row `row` (the cursor row then).
  void SetCurrentRecord(int row);
  bool GetNextRow();
  bool GetPriorRow();
  void FillForward();
  void FillBackward();
  void ActivateFetched();
  // Runs read with window row `row` as the active one; empty when there is none.
  template <typename Read>
  auto ReadAtRow(int row, const TField* field, Read&& read) -> decltype(read());
  char* Spare() const { return buffers_[static_cast<size_t>(windowSize_)]; }

  QString name_;
  TDataSetState state_ = dsInactive;
  bool autoCalcFields_ = true;
  std::vector<char*> buffers_;  // window rows, then the spare buffer
  int windowSize_ = 1;
  int recordCount_ = 0;    // rows of the window holding a record
  int activeRecord_ = 0;   // the grid's current row
  int cursorBuffer_ = -1;  // row the component stands on; -1 unknown
  bool bof_ = true;
  bool eof_ = true;
  int suspendCount_ = 0;
  bool pendingChange_ = false;
  bool windowCollapsed_ = false;  // only the current row fetched while suspended
  int savedActiveRow_ = 0;
  char* tempBuffer_ = nullptr;
  int bookmarkSize_ = 0;
  std::vector<std::unique_ptr<TField>> fields_;
  bool defaultFields_ = false;
  int calcFieldsSize_ = 0;
  int calcFieldCount_ = 0;
  TFieldDefs fieldDefs_;
  TIndexDefs indexDefs_;
  QString filterText_;
  bool filtered_ = false;
  std::vector<TDataSource*> sources_;
  std::map<const void*, int> windowRequests_;
};
