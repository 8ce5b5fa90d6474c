#pragma once
// TDbfTable: one DBF table opened through the DBF engine in a work area of its
// own, presented as a dataset (view record buffers, field objects, a grid
// through a data source) and with direct operations for bulk work: moves,
// record numbers, raw records, the engine's query set and index orders.
//
// Texts: file names, the table name and the password are QString; record data,
// field texts (FieldString) and engine expressions (Query) are CP949 bytes.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "dataset/DataSet.h"
#include "table/DbfTypes.h"

class QObject;
class TDataSource;

class TDbfTable : public TDataSet {
 public:
  TDbfTable();
  ~TDbfTable() override;

  // Finishes loading from the form: with local access, loads the engine.
  void Loaded();

  // --- properties
  TAccessMethod AccessMethod() const { return accessMethod_; }
  void SetAccessMethod(TAccessMethod method);
  // The remote client of the server access method; stored only (the server
  // path is not supported here).
  QObject* RemoteConnection() const { return remoteConnection_; }
  void SetRemoteConnection(QObject* connection) { remoteConnection_ = connection; }
  TDbfCommitLevel CommitLevel() const { return commitLevel_; }
  void SetCommitLevel(TDbfCommitLevel level);
  const QString& Databasename() const { return databasename_; }
  void SetDatabasename(const QString& name);
  TEOFAction EOFAction() const { return eofAction_; }
  void SetEOFAction(TEOFAction action) { eofAction_ = action; }
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool on);
  const QStringList& ExtraIndexes() const { return extraIndexes_; }
  void SetExtraIndexes(const QStringList& files);
  int FetchCount() const { return fetchCount_; }
  void SetFetchCount(int count);
  const QString& IndexName() const { return indexName_; }
  void SetIndexName(const QString& name);
  const QString& MasterFields() const { return masterFields_; }
  void SetMasterFields(const QString& fields) { masterFields_ = fields; }
  TDataSource* MasterSource() const { return masterSource_; }
  void SetMasterSource(TDataSource* source) { masterSource_ = source; }
  bool OEMTranslate() const { return oemTranslate_; }
  void SetOEMTranslate(bool on);
  const QString& Password() const { return password_; }
  void SetPassword(const QString& password);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool ReadCache() const { return readCache_; }
  void SetReadCache(bool on);
  const QString& ScopeBegin() const { return scopeBegin_; }
  void SetScopeBegin(const QString& key) { scopeBegin_ = key; }
  const QString& ScopeEnd() const { return scopeEnd_; }
  void SetScopeEnd(const QString& key) { scopeEnd_ = key; }
  bool Scoped() const { return scoped_; }
  void SetScoped(bool on) { scoped_ = on; }
  bool Sequenced() const { return tableType_ == ttNTX ? false : sequenced_; }
  void SetSequenced(bool on) { sequenced_ = on; }
  TSequencedCount SequencedCount() const { return sequencedCount_; }
  void SetSequencedCount(TSequencedCount count) { sequencedCount_ = count; }
  bool SpeedMode() const { return speedMode_; }
  void SetSpeedMode(bool on);
  const QString& TableName() const { return tableName_; }
  void SetTableName(const QString& name);
  TDbfTableType TableType() const { return tableType_; }
  void SetTableType(TDbfTableType type);
  QString Version() const;
  bool CountNeedsRefresh() const { return countNeedsRefresh_; }
  void SetCountNeedsRefresh(bool on) { countNeedsRefresh_ = on; }
  const QString& LastError() const { return lastError_; }

  // --- state, for the owner and for tests
  int16_t WorkArea() const { return workArea_; }
  const QString& Alias() const { return alias_; }
  int CurrentOrder() const { return currentOrder_; }
  bool IsOpen() const { return workArea_ > 0; }
  // The record count the table's header states, taken at open. Above RecCount
  // when the file was cut inside its records: only the complete records
  // present are read.
  int32_t HeaderRecCount() const { return headerRecCount_; }
  // The date of the last update in the table's header, "YYYYMMDD"; empty
  // when closed or when the header holds no valid date.
  QString LastUpdate();
  const std::vector<TFieldInfo>& FieldInfos() const { return fieldInfos_; }
  // Builds the field definitions without opening (the work area closes again).
  void UpdateFieldDefs();
  bool CanModify() const override { return !readOnly_; }

  // --- paths
  QString TableDirectory() const;  // with a trailing separator
  QString DatabaseDirectory() const;
  QString TablePath() const;  // ".DBF" appended when the name has none
  bool TableExists() const;
  QString MakeAlias(const QString& tableName) const;
  static int16_t DriverCode(TDbfTableType type);
  // Two-digit years of date conversion belong to the century window set here.
  static int TwoDigitYearWindow();

  // --- direct operations
  int16_t IsEncrypted(int16_t reserved);
  int32_t RecordSize();
  void ReadRecord(char* buffer);
  QByteArray FieldString(const QString& name);
  void GoTop();
  void Skip(int n);
  int MoveRows(int n) override;
  virtual bool AtEnd();
  virtual bool AtStart();
  int32_t Recno();
  void SetRecno(int32_t recno);
  int32_t RecCount();
  void RefreshCounts();

  // --- query set and order
  int32_t Query(const char* expression);
  int32_t Query(const QByteArray& expression);
  void SetQueryBit(int32_t recno, bool value);
  // SetQueryBit for many records in one call.
  void SetQueryBits(const std::vector<int32_t>& recnos, bool value);
  int32_t SetOrder(int32_t order);
  int32_t QueryRecCount();
  int32_t Count();
  QByteArray DBFilter();
  void SetFilter(const QString& text) override;
  void SetFiltered(bool on) override;
  void ReapplyOnRefresh();

  // --- bookmarks
  void JumpToBookmark(int32_t recno);
  int32_t OrderOfBookmarks(const TBookmark& a, const TBookmark& b);
  int CompareBookmarks(const TBookmark& a, const TBookmark& b) override {
    return OrderOfBookmarks(a, b);
  }

  // --- view record position (scroll bars)
  int ViewRecordCount() override;
  int ViewRecordNumber() override;
  void SetViewRecordNumber(int n) override;
  bool IsSequenced() override { return Sequenced(); }
  void RefetchWindow(int flags) override;

  // --- steps the component adds
  virtual void OpenExtraIndexes();
  virtual void BeforeMove();
  virtual void AfterMove();

 protected:
  TGetResult GetRecord(char* buffer, TGetMode mode, bool check) override;
  void PlaceBeforeFirst() override;
  void PlaceAfterLast() override;
  void PlaceOnRowRecord(char* buffer) override;
  char* AllocRecordBuffer() override;
  void FreeRecordBuffer(char*& buffer) override;
  void InitRecord(char* buffer) override;
  void GetBookmarkData(const char* buffer, void* data) override;
  void SetBookmarkData(char* buffer, const void* data) override;
  TBookmarkFlag GetBookmarkFlag(const char* buffer) override;
  void SetBookmarkFlag(char* buffer, TBookmarkFlag flag) override;
  void InternalGotoBookmark(const void* data) override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return cursorOpen_; }
  void InternalRefresh() override { ReapplyOnRefresh(); }
  bool CopyFieldValue(const TField* field, void* target) override;
  void WriteFieldValue(TField* field, const void* data) override;
  void ClearCalcFields(char* buffer) override;
  void ClearBuffers() override;
  void DoAfterScroll() override;
  void CreateFields() override;

 private:
  [[noreturn]] void Raise(const QString& message);
  // Raises "Cannot perform this operation on a closed table" unless open.
  void CheckOpen();
  void CheckNotServer(const char* what);
  void Select() const;
  int32_t EngRecNo();
  void EngGo(int32_t recno);
  void EngGoTop();
  bool ViewUsable() const { return workArea_ > 0 && Active() && IsCursorOpen(); }
  void Resynchronise();

  // opening (DbfTableOpen.cpp)
  void OpenTable();
  void InitFieldDefs();
  void UpdateIndexDefs();
  void ApplyEnvironment();
  void FieldDefsChanged();
  QString EnginePath() const;

  // records (DbfTableRecord.cpp)
  void LayoutBuffers();
  void LoadRecord(char* buffer);
  void ResetBlobSlot(char* slot);
  int32_t BufferRecno(const char* buffer) const;
  void SetBufferRecno(char* buffer, int32_t recno) const;
  void SetBufferFlag(char* buffer, uint8_t flag) const;

  // query (DbfTableQuery.cpp)
  int32_t QueryCall(const QByteArray& expression);
  void ApplyFilter(const QString& text);
  QByteArray KeyTextOf(int32_t recno, const QByteArray& key, int16_t type);

  // properties
  TAccessMethod accessMethod_ = amLocal;
  QObject* remoteConnection_ = nullptr;
  TDbfCommitLevel commitLevel_ = clNormal;
  QString databasename_;
  TEOFAction eofAction_ = eaMoveLast;
  bool exclusive_ = false;
  QStringList extraIndexes_;
  int fetchCount_ = 50;
  QString indexName_;
  QString masterFields_;
  TDataSource* masterSource_ = nullptr;
  bool oemTranslate_ = false;
  QString password_;
  bool readOnly_ = false;
  bool readCache_ = false;
  QString scopeBegin_, scopeEnd_;
  bool scoped_ = false;
  bool sequenced_ = true;
  TSequencedCount sequencedCount_ = scRawCount;
  bool speedMode_ = false;
  QString tableName_;
  TDbfTableType tableType_ = ttFOX;
  QString filterCopy_;
  bool filteredCopy_ = false;

  // internal state
  int16_t workArea_ = 0;
  QString alias_;
  mutable QString tableDir_;
  int32_t recSize_ = 0;
  int16_t fieldCount_ = 0;
  int16_t encrypted_ = 0;
  int32_t curRec_ = 0;
  int32_t seqCount_ = -1;
  int32_t rawCount_ = -1;
  bool countNeedsRefresh_ = true;
  int16_t currentOrder_ = 0;
  int32_t orderPos_ = -2;
  bool atTopPending_ = false;
  bool atBottomPending_ = false;
  QString lastError_;
  int32_t headerRecCount_ = 0;
  bool cursorOpen_ = false;
  bool opening_ = false;
  std::vector<TFieldInfo> fieldInfos_;
  std::vector<char> engineRecord_;
  // environment settings
  int16_t epoch_ = 1980;
  int16_t errorLevel_ = 1;
  int errorHandler_ = -1;
  bool century_ = true;
  bool exact_ = false;
  bool softSeek_ = false;
  int16_t dateFormat_ = 0;
  int16_t memoBlockSize_ = 0;
  bool deleted_ = false;
  bool envApplied_ = false;
  // view buffer layout
  int calcOffset_ = 0;
  int blobOffset_ = 0;
  int blobCount_ = 0;
  int infoOffset_ = 0;
  int bufferSize_ = 0;
  std::vector<int> blobFieldNos_;  // field numbers of blob and memo fields, in order
};
