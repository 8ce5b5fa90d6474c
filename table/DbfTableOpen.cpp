// Opening and closing TDbfTable: the engine open, the field and index
// definitions, the extra index files and the environment.
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>

#include "platform/Cp949.h"
#include "table/DbfEngine.h"
#include "table/DbfEnv.h"
#include "table/DbfTable.h"
#include "table/TablePaths.h"

void SetTwoDigitYearWindow(int years);  // DbfTable.cpp

using namespace tablepaths;

namespace {
QString Text(const char* s) {
  return QString::fromLatin1(s ? s : "");
}

// Why the engine refused to open the table, from its last error, as a line
// that follows "Unable to open table: <path>".
QString OpenFailureReason(const TDbfEngineApi& e, const QString& path) {
  const int32_t code = e.dbe_Error ? e.dbe_Error() : DBE_OK;
  switch (code) {
    case DBE_E_OPEN:
      return QFileInfo::exists(path) ? "The file cannot be read." : "The file does not exist.";
    case DBE_E_NOT_DBF:
      return "The file is not a DBF table.";
    case DBE_E_TRUNCATED:
      return "The file is truncated: it ends inside the table header.";
    case DBE_E_CORRUPT:
      return "The field list of the table header is inconsistent.";
    case DBE_E_LOCKED:
      return "The table is locked by another program.";
    default:
      return e.dbe_ErrorText ? Text(e.dbe_ErrorText()) : QString();
  }
}
}  // namespace

void TDbfTable::InternalOpen() {
  CheckNotServer("open");
  if (workArea_ < 1) {
    seqCount_ = 0;
    fieldCount_ = 0;
  }
  opening_ = true;
  try {
    InitFieldDefs();
  } catch (...) {
    opening_ = false;
    InternalClose();
    throw;
  }
  opening_ = false;
  if (workArea_ == 0) return;  // the table stays without a cursor
  try {
    if (FieldCount() == 0) {
      CreateFields();
      SetDefaultFields(true);
    }
    BindFields(true);
    curRec_ = 0;
    LayoutBuffers();
    engineRecord_.assign(static_cast<size_t>(recSize_), 0);
    cursorOpen_ = true;
    SetBookmarkSize(4);
    if (filteredCopy_) QueryCall(platform::ToCp949(filterCopy_));
    Select();
    EngGoTop();
    atTopPending_ = true;
  } catch (...) {
    InternalClose();
    throw;
  }
}

void TDbfTable::InternalClose() {
  seqCount_ = rawCount_ = -1;
  headerRecCount_ = 0;
  countNeedsRefresh_ = true;
  tableDir_.clear();
  cursorOpen_ = false;
  BindFields(false);
  engineRecord_.clear();
  engineRecord_.shrink_to_fit();
  DestroyDefaultFields();
  fieldInfos_.clear();
  if (workArea_ > 0 && TDbfEngine::Instance().EngineLoaded()) {
    const char* alias = Dbe().dbe_Alias(workArea_);
    if (alias && *alias) {
      Select();
      Dbe().dbe_Close();
    }
  }
  workArea_ = 0;
  atTopPending_ = atBottomPending_ = false;
}

void TDbfTable::UpdateFieldDefs() {
  InitFieldDefs();
}

void TDbfTable::InitFieldDefs() {
  if (workArea_ == 0) OpenTable();
  if (workArea_ <= 0) return;
  fieldInfos_.clear();
  FieldDefs().Clear();
  Select();
  const TDbfEngineApi& e = Dbe();
  for (int i = 1; i <= fieldCount_; ++i) {
    const QByteArray name = QByteArray(e.dbe_FieldName(static_cast<int16_t>(i))).toUpper();
    const QByteArray type = e.dbe_FieldType(name.constData());
    TFieldInfo info;
    // The engine counts positions from 1 with the deletion flag first, so the
    // first field is at position 2 and at byte index 1.
    info.Offset = static_cast<uint16_t>(e.dbe_FieldOffset(name.constData())) - 1;
    info.Width = static_cast<uint16_t>(e.dbe_FieldWidth(name.constData()));
    info.Decimals = static_cast<uint16_t>(e.dbe_FieldDecimals(name.constData()));
    fieldInfos_.push_back(info);
    TFieldType kind = ftUnknown;
    int size = 0;
    switch (type.isEmpty() ? '\0' : type[0]) {
      case 'C':
        kind = ftString;
        size = info.Width;
        break;
      case 'N':
        kind = (info.Decimals > 0 || info.Width > 4) ? ftFloat : ftSmallint;
        break;
      case 'I':
        kind = ftInteger;
        break;
      case 'D':
        kind = ftDate;
        break;
      case 'L':
        kind = ftBoolean;
        break;
      case 'M':
        kind = ftMemo;
        break;
      case 'B':
      case 'G':
      case 'P':
        kind = ftBlob;
        break;
      default:
        break;
    }
    if (kind != ftUnknown) FieldDefs().Add(QString::fromLatin1(name), kind, size, false, i);
  }
  // On an open cursor the field objects and buffers stay; the new layout list
  // takes their positions again (the same as at open: same fields).
  if (cursorOpen_) LayoutBuffers();
  if (!cursorOpen_ && !opening_) {  // asked for outside an open
    Dbe().dbe_Close();
    workArea_ = 0;
  }
}

void TDbfTable::ApplyEnvironment() {
  TDbfEnv* env = TDbfEnv::FindLocal();
  if (!env) {
    envApplied_ = false;
    return;
  }
  epoch_ = static_cast<int16_t>(env->Epoch);
  errorLevel_ = static_cast<int16_t>(env->ErrorLevel);
  countNeedsRefresh_ = env->CountNeedsRefresh;
  errorHandler_ = env->ErrorFunc;
  century_ = env->Century;
  exact_ = env->Exact;
  softSeek_ = env->SoftSeek;
  dateFormat_ = static_cast<int16_t>(env->DateFormat);
  memoBlockSize_ = static_cast<int16_t>(env->MemoBlockSize);
  deleted_ = env->Deleted;
  envApplied_ = true;
}

void TDbfTable::OpenTable() {
  workArea_ = 0;
  CheckNotServer("open");
  if (tableName_.isEmpty() && errorHandler_ == -1)
    Raise(Name() + " : " + "Missing TableName property");
  TDbfEngine::Instance().EnsureEngineLoaded();
  if (!TDbfEngine::Instance().EngineLoaded())
    Raise(QStringLiteral("Unable to load required database engine library: ") +
          QString::fromLatin1(TDbfEngine::kLibraryName));
  tableDir_ = TableDirectory();
  alias_ = MakeAlias(tableName_);
  const int16_t driver = DriverCode(tableType_);
  const int16_t mode = exclusive_ ? 2 : (readOnly_ ? 1 : 0);
  ApplyEnvironment();
  if (!TableExists() && errorHandler_ == -1)
    Raise("Table, file or directory does not exist.\rFile: " + TablePath());
  SetTwoDigitYearWindow(std::abs(QDate::currentDate().year() - epoch_) % 100);
  const TDbfEngineApi& e = Dbe();
  if (envApplied_) {
    e.dbe_SetEpoch(epoch_);
    e.dbe_SetDeleted(deleted_ ? -1 : 0);
    e.dbe_SetCentury(century_ ? -1 : 0);
    if (memoBlockSize_ > 0) e.dbe_SetMemoBlockSize(memoBlockSize_);
    e.dbe_SetDateFormat(dateFormat_);
    e.dbe_SetSoftSeek(softSeek_ ? -1 : 0);
    e.dbe_SetExact(exact_ ? -1 : 0);
  }
  if (errorHandler_ == -1) e.dbe_ErrorLevel(0);
  const QByteArray path = QFile::encodeName(EnginePath());
  if (e.dbe_ClearError) e.dbe_ClearError();
  workArea_ = e.dbe_UseEx(path.constData(), alias_.toLatin1().constData(), mode, driver,
                          static_cast<int16_t>(commitLevel_));
  if (workArea_ < 1) {
    workArea_ = 0;
    const QString reason = OpenFailureReason(e, TablePath());
    Raise("Unable to open table: " + TablePath() + (reason.isEmpty() ? QString() : "\r" + reason));
  }
  e.dbe_ErrorLevel(errorLevel_);
  e.dbe_SetReadCache(readCache_ ? -1 : 0);
  e.dbe_SetTranslate(oemTranslate_ ? -1 : 0);
  fieldCount_ = e.dbe_FieldCount();
  recSize_ = e.dbe_RecSize();
  encrypted_ = IsEncrypted(0);
  if (!password_.isEmpty()) e.dbe_SetPassword(password_.toLatin1().constData());
  e.dbe_SetReadCache(readCache_ ? -1 : 0);
  try {
    if (!indexName_.isEmpty()) {
      const QString name = indexName_;
      SetIndexName(QString());
      SetIndexName(name);
    }
    OpenExtraIndexes();
    IndexDefs().SetUpdated(false);
    UpdateIndexDefs();
  } catch (...) {
    Select();
    e.dbe_Close();
    workArea_ = 0;
    throw;
  }
  Select();
  seqCount_ = e.dbe_RecCount();
  headerRecCount_ = std::max(seqCount_, e.dbe_SysProp(3003, nullptr));
  rawCount_ = seqCount_;
  countNeedsRefresh_ = true;
}

void TDbfTable::UpdateIndexDefs() {
  if (IndexDefs().Updated() || workArea_ <= 0) return;
  const TDbfEngineApi& e = Dbe();
  Select();
  e.dbe_SetStringType(1);
  const int32_t n = e.dbe_SysProp(3000, nullptr);
  IndexDefs().Clear();
  if (n > 0) {
    const int16_t kept = e.dbe_IndexOrd();
    for (int16_t i = 1; i <= n; ++i) {
      if (tableType_ == ttNTX && Text(e.dbe_IndexName(i)).isEmpty()) continue;
      e.dbe_SetOrder(i);
      const QString key = Text(e.dbe_IndexKey()).toUpper();
      const QString name =
          tableType_ == ttNTX ? FileNamePart(Text(e.dbe_IndexName(i))) : Text(e.dbe_TagName(i));
      if (name.isEmpty() || key.isEmpty()) {
        e.dbe_SetOrder(kept);
        Raise("Invalid Index File or Tag");
      }
      TIndexDef def;
      def.Name = name;
      if (tableType_ == ttNTX) def.Options |= ixNonMaintained;
      const int16_t type = e.dbe_IndexType();
      if (type == 2 || type == 4) def.Options |= ixUnique;
      if (key.contains("UPPER(")) def.Options |= ixCaseInsensitive;
      if (e.dbe_SysProp(3002, nullptr) != 0) def.Options |= ixDescending;
      if (key.contains('+') || key.contains('(') || key.contains('-')) def.Options |= ixExpression;
      if (def.Options & ixExpression)
        def.Expression = key;
      else
        def.Fields = Text(e.dbe_IndexKeyField());
      def.Source = FileNamePart(Text(e.dbe_IndexName(i)));
      IndexDefs().Add(def);
    }
    e.dbe_SetOrder(kept);
  }
  IndexDefs().SetUpdated(true);
}

void TDbfTable::SetExtraIndexes(const QStringList& files) {
  indexName_.clear();
  extraIndexes_ = files;
  if (workArea_ > 0) OpenExtraIndexes();
}

void TDbfTable::OpenExtraIndexes() {
  if (extraIndexes_.isEmpty() || workArea_ <= 0) return;
  const TDbfEngineApi& e = Dbe();
  Select();
  int16_t kept = e.dbe_IndexOrd();
  e.dbe_CloseIndexes();
  if (tableType_ != ttNTX) {
    const QString ext = (tableType_ == ttMTX || tableType_ == ttMTX_DBT) ? ".MTX" : ".CDX";
    const QString production = tableDir_ + WithoutExtension(FileNamePart(tableName_)) + ext;
    if (QFileInfo::exists(production)) e.dbe_IndexOpen(QFile::encodeName(production).constData());
  }
  e.dbe_SetOrder(0);
  for (const QString& entry : extraIndexes_) {
    const QString name = entry.trimmed();
    if (name.isEmpty()) continue;
    const QString file = CompletedPath(
        name, tableDir_, tableType_ == ttNTX ? ".NTX" : (tableType_ == ttFOX ? ".IDX" : ".MTX"));
    if (!QFileInfo::exists(file)) {
      if (errorHandler_ == -1) Raise("Invalid IndexName value : " + entry);
      continue;
    }
    Select();
    const int16_t order = e.dbe_IndexOpen(QFile::encodeName(file).constData());
    if (kept == 0 && order > 0) {
      kept = order;
      indexName_ = entry;
    }
  }
  Select();
  e.dbe_SetOrder(kept);
  currentOrder_ = kept;
  IndexDefs().SetUpdated(false);
  UpdateIndexDefs();
  countNeedsRefresh_ = true;
  if (ViewUsable()) {
    Resynchronise();
  } else if (cursorOpen_ && Recno() > 0) {
    Select();
    EngGo(Recno());
  }
}

void TDbfTable::SetIndexName(const QString& name) {
  if (name == indexName_) return;
  if (tableType_ == ttNTX && WithoutExtension(FileNamePart(name)).toUpper() ==
                                 WithoutExtension(FileNamePart(indexName_)).toUpper())
    return;
  indexName_ = name;
  if (workArea_ <= 0) return;
  const TDbfEngineApi& e = Dbe();
  Select();
  if (Active()) EndPendingEdit();
  int16_t order = 0;
  if (name.isEmpty()) {
    order = 0;
  } else if (tableType_ != ttNTX && !name.toUpper().endsWith(".IDX")) {
    order = e.dbe_TagArea(name.toLatin1().constData());
  } else {
    const qsizetype pos = extraIndexes_.indexOf(name);
    if (pos >= 0) {
      order = static_cast<int16_t>(pos + 1);
    } else {
      const QString file = CompletedPath(name, tableDir_, tableType_ == ttNTX ? ".NTX" : ".IDX");
      if (QFileInfo::exists(file)) {
        order = e.dbe_IndexOpen(QFile::encodeName(file).constData());
        IndexDefs().SetUpdated(false);
        UpdateIndexDefs();
        Select();
      }
    }
  }
  if (order == 0 && !name.isEmpty() && Active() && errorHandler_ == -1)
    Raise("Invalid IndexName value : " + name);
  e.dbe_SetOrder(order);
  currentOrder_ = order;
  countNeedsRefresh_ = true;
  if (cursorOpen_ && Recno() > 0) {
    Select();
    EngGo(Recno());
  }
  Resynchronise();
}
