// Creation, properties with their checks, paths and aliases of TDbfTable.
#include "table/DbfTable.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "table/DbfEngine.h"
#include "table/DbfEnv.h"
#include "table/TablePaths.h"

namespace {
const char* const kOpenTable = "Cannot perform this operation on an open table";
const char* const kClosedTable = "Cannot perform this operation on a closed table";
const QDate kReleaseDate(2026, 12, 9);
}  // namespace

using namespace tablepaths;

TDbfTable::TDbfTable() = default;

TDbfTable::~TDbfTable() {
  try {
    Close();
  } catch (...) {  // a destructor must not throw; the work area is gone either way
  }
  if (workArea_ > 0 && TDbfEngine::Instance().EngineLoaded()) {
    Select();
    Dbe().dbe_Close();
  }
}

void TDbfTable::Raise(const QString& message) {
  lastError_ = message;
  throw EDbfTableError(message);
}

void TDbfTable::CheckOpen() {
  if (workArea_ <= 0) Raise(kClosedTable);
}

void TDbfTable::CheckNotServer(const char* what) {
  if (accessMethod_ == amServer)
    Raise(QStringLiteral("Remote server access is not supported: ") + QLatin1String(what));
}

void TDbfTable::Select() const {
  Dbe().dbe_Select(workArea_);
}

int32_t TDbfTable::EngRecNo() {
  curRec_ = Dbe().dbe_RecNo();
  return curRec_;
}

void TDbfTable::EngGo(int32_t recno) {
  Dbe().dbe_Go(recno);
  curRec_ = recno;
  orderPos_ = indexName_.isEmpty() ? recno : -2;
}

void TDbfTable::EngGoTop() {
  Dbe().dbe_GoTop();
  curRec_ = 1;
}

void TDbfTable::Loaded() {
  if (accessMethod_ == amLocal) TDbfEngine::Instance().EnsureEngineLoaded();
}

void TDbfTable::Resynchronise() {
  if (ViewUsable()) RefetchWindow(rfNone);
}

// ------------------------------------------------------------------ properties

void TDbfTable::SetAccessMethod(TAccessMethod method) {
  if (method == accessMethod_) {
    if (method == amLocal) TDbfEngine::Instance().EnsureEngineLoaded();
    return;
  }
  if (Active()) Raise("Cannot change data access method while table is open");
  accessMethod_ = method;
  if (method == amLocal) TDbfEngine::Instance().EnsureEngineLoaded();
}

void TDbfTable::SetCommitLevel(TDbfCommitLevel level) {
  if (level == commitLevel_) return;
  if (Active()) Raise("Cannot change the commit level while the table is opened");
  commitLevel_ = level;
}

void TDbfTable::SetDatabasename(const QString& name) {
  if (name == databasename_) return;
  databasename_ = name;
  if (name.contains(':') || name.contains('\\')) accessMethod_ = amLocal;
  if (Active() && !tableName_.isEmpty()) {
    tableDir_ = TableDirectory();
    if (!TableExists()) {
      SetActive(false);
      return;
    }
    FieldDefsChanged();
  }
}

void TDbfTable::SetExclusive(bool on) {
  if (on == exclusive_) return;
  if (workArea_ > 0) Raise(kOpenTable);
  exclusive_ = on;
}

void TDbfTable::SetReadOnly(bool on) {
  if (on == readOnly_) return;
  if (workArea_ > 0) Raise(kOpenTable);
  readOnly_ = on;
}

void TDbfTable::SetFetchCount(int count) {
  // Refused while open without storing the last error text.
  if (workArea_ > 0 || Active()) throw EDbfTableError(kOpenTable);
  fetchCount_ = count < 1 ? 1 : count;
}

void TDbfTable::SetTableName(const QString& name) {
  if (name == tableName_) return;
  if (workArea_ != 0 || Active()) Raise(kOpenTable);
  tableName_ = name;
  FieldDefsChanged();
}

void TDbfTable::SetTableType(TDbfTableType type) {
  if (type == tableType_) return;
  tableType_ = type;
  FieldDefsChanged();
}

void TDbfTable::SetPassword(const QString& password) {
  password_ = password;
  if (workArea_ > 0) {
    Select();
    Dbe().dbe_SetPassword(password.toLatin1().constData());
    Resynchronise();
  }
}

void TDbfTable::SetOEMTranslate(bool on) {
  if (on == oemTranslate_) return;
  oemTranslate_ = on;
  if (workArea_ > 0) {
    Select();
    Dbe().dbe_SetTranslate(on ? -1 : 0);
    Resynchronise();
  }
}

QString TDbfTable::LastUpdate() {
  if (workArea_ <= 0) return {};
  Select();
  return QString::fromLatin1(Dbe().dbe_LastUpdate());
}

void TDbfTable::SetReadCache(bool on) {
  readCache_ = on;
  if (workArea_ > 0) {
    Select();
    Dbe().dbe_SetReadCache(on ? -1 : 0);
  }
}

void TDbfTable::FieldDefsChanged() {
  FieldDefs().Clear();
  if (Active()) {
    InitFieldDefs();
    IndexDefs().SetUpdated(false);
    UpdateIndexDefs();
  }
}

QString TDbfTable::Version() const {
  QString engine;
  if (TDbfEngine::Instance().EngineLoaded()) engine = QString::fromLatin1(Dbe().dbe_Version());
  return engine + ", " + "DbfTable 1.0, " + QLocale().toString(kReleaseDate, QLocale::ShortFormat);
}

int16_t TDbfTable::IsEncrypted(int16_t reserved) {
  CheckOpen();
  if (!Dbe().dbe_IsEncrypted) return 0;
  Select();
  return Dbe().dbe_IsEncrypted(reserved) != 0 ? -1 : 0;
}

// ----------------------------------------------------------------------- paths

QString TDbfTable::DatabaseDirectory() const {
  const QString& db = databasename_;
  QString dir;
  if (!db.isEmpty() &&
      (db.contains('\\') || db.contains('/') || db.contains(':') || db.contains('.'))) {
    dir = db;
  } else if (TDbfDatabase* d = db.isEmpty() ? nullptr : TDbfDatabase::FindByAlias(db)) {
    dir = d->DataPath;
  } else if (!db.isEmpty()) {
    QString p = db;
    while (p.size() > 1 && IsSeparator(p.back())) p.chop(1);
    if (!QFileInfo::exists(p)) {
      const QString message = "Invalid DatabaseName value : " + db;
      const_cast<TDbfTable*>(this)->lastError_ = message;
      throw EDbfTableError(message);
    }
    dir = db;
  }
  if (dir.isEmpty()) dir = QDir::currentPath();
  return WithTrailingSeparator(dir);
}

QString TDbfTable::TableDirectory() const {
  if (HasDirectory(tableName_)) return WithTrailingSeparator(DirectoryPart(tableName_));
  return DatabaseDirectory();
}

QString TDbfTable::TablePath() const {
  const QString dir = tableDir_.isEmpty() ? TableDirectory() : tableDir_;
  const QString file = FileNamePart(tableName_);
  if (HasExtension(file)) return dir + file;
  // This platform's file names are case-sensitive: take the lower-case
  // extension when only that file exists.
  const QString upper = dir + file + ".DBF";
  if (!QFileInfo::exists(upper) && QFileInfo::exists(dir + file + ".dbf"))
    return dir + file + ".dbf";
  return upper;
}

bool TDbfTable::TableExists() const {
  const QFileInfo info(TablePath());
  return info.exists() && info.isFile();
}

QString TDbfTable::EnginePath() const {
  // The engine opens the name it is given as it stands, so a name without an
  // extension goes to it as the file found on disk.
  const QString file = FileNamePart(tableName_);
  if (!HasExtension(file)) return TablePath();
  return (tableDir_.isEmpty() ? TableDirectory() : tableDir_) + file;
}

QString TDbfTable::MakeAlias(const QString& tableName) const {
  QString name = FileNamePart(tableName).toUpper();
  const qsizetype dot = name.indexOf('.');
  if (dot >= 0) name.truncate(dot);
  name.truncate(8);
  for (QChar& c : name)
    if (c < 'A' || c > 'Z') c = '_';
  QString alias = name;
  for (int n = 1; Dbe().dbe_WorkArea(alias.toLatin1().constData()) != 0; ++n) {
    const QString digits = QString::number(n);
    alias = alias.left(8 - digits.size()) + digits;
  }
  return alias;
}

int16_t TDbfTable::DriverCode(TDbfTableType type) {
  switch (type) {
    case ttNTX:
      return 1;
    case ttFOX:
      return 2;
    case ttMTX:
      return 3;
    case ttMTX_DBT:
      return 4;
    case ttNONE:
      return 2;
  }
  return 2;
}

namespace {
int g_twoDigitYearWindow = 50;
}

int TDbfTable::TwoDigitYearWindow() {
  return g_twoDigitYearWindow;
}

// Used by OpenTable.
void SetTwoDigitYearWindow(int years) {
  g_twoDigitYearWindow = years;
}
