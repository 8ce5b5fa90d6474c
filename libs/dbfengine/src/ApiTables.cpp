// Entry points: work areas, settings, structure, reading, errors, scrambling.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Areas.h"
#include "FieldDecode.h"
#include "Io.h"
#include "Scramble.h"
#include "Text.h"
#include "dbfengine.h"

using namespace dbe;

namespace {

bool validAlias(const std::string& a) {
  if (a.empty() || a.size() > 10 || isdigit(static_cast<unsigned char>(a[0]))) return false;
  for (char c : a)
    if (!(isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

std::string aliasFromPath(const std::string& path) {
  std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  if (name.size() > 10) name.resize(10);
  for (char& c : name) {
    c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  if (name.empty() || isdigit(static_cast<unsigned char>(name[0]))) name = "_" + name;
  if (name.size() > 10) name.resize(10);
  return name;
}

std::string productionIndex(const std::string& path, const char* ext) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExt ? path.substr(0, dot) : path) + ext;
}

bool isMemoField(const Field& f, bool foxpro) {
  if (f.type == 'M' || f.type == 'G' || f.type == 'P')
    return f.width == 10 || (foxpro && f.width == 4);
  return f.type == 'B' && f.width == 10;  // dBASE binary memo
}

bool foxproTable(const Table& t) {
  const uint8_t v = t.version();
  return (v >= 0x30 && v <= 0x32) || v == 0xF5 || v == 0xFB;
}

// Memo file beside a table with memo fields: .FPT for FoxPro tables, .DBT for
// dBASE ones (the other kind is tried too). A missing or unreadable one is
// recorded; the table opens without it.
void openMemo(WorkArea& a, const std::string& path) {
  const bool fox = foxproTable(a.table());
  bool any = false;
  for (const Field& f : a.table().fields()) any = any || isMemoField(f, fox);
  if (!any) return;
  const char* order[2][4] = {{".DBT", ".dbt", ".FPT", ".fpt"}, {".FPT", ".fpt", ".DBT", ".dbt"}};
  for (const char* ext : order[fox ? 1 : 0]) {
    const std::string file = productionIndex(path, ext);
    if (access(file.c_str(), F_OK) != 0) continue;
    auto memo = std::make_unique<MemoFile>();
    std::string message;
    const bool fpt = ext[1] == 'F' || ext[1] == 'f';
    if (!memo->open(file, fpt, settings().memoBlockSize, message)) {
      setError(DBE_E_OPEN, message, true);
      return;
    }
    a.setMemo(std::move(memo));
    return;
  }
  setError(DBE_E_OPEN, "memo file missing for " + path, true);
}

const Field* findField(WorkArea* a, const char* name) {
  if (!a) return nullptr;
  if (!name) {
    setError(DBE_E_ARGUMENT, "field name is NULL");
    return nullptr;
  }
  std::string n(name);
  while (!n.empty() && n.back() == ' ') n.pop_back();
  const Field* f = a->table().field(n.c_str());
  if (!f) setError(DBE_E_NO_FIELD, "unknown field " + n);
  return f;
}

std::string& numberText() {
  static std::string text;  // reused: no allocation per record
  return text;
}

dbe_bool flag(bool b) {
  return b ? -1 : 0;
}

}  // namespace

extern "C" {

int16_t dbe_WorkArea(const char* alias) {
  if (!alias) return 0;
  for (int i = 1; i <= kMaxAreas; ++i) {
    WorkArea* a = area(i);
    if (a && strcasecmp(a->alias().c_str(), alias) == 0) return static_cast<int16_t>(i);
  }
  return 0;
}

int16_t dbe_UseEx(const char* path, const char* alias, int16_t mode, int16_t driver,
                  int16_t commit) {
  if (!path || !*path) {
    setError(DBE_E_ARGUMENT, "table path is missing");
    return 0;
  }
  if (mode < 0 || mode > 2 || driver < 1 || driver > 4 || commit < 0 || commit > 2) {
    setError(DBE_E_ARGUMENT, "invalid open mode, driver or commit level");
    return 0;
  }
  std::string name = alias && *alias ? alias : aliasFromPath(path);
  for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  if (!validAlias(name)) {
    setError(DBE_E_ALIAS, "invalid alias " + name);
    return 0;
  }
  if (dbe_WorkArea(name.c_str())) {
    setError(DBE_E_ALIAS, "alias already in use: " + name);
    return 0;
  }
  auto table = std::make_unique<Table>();
  int code = 0;
  std::string message;
  if (!table->open(path, mode, code, message)) {
    setError(code, message);
    return 0;
  }
  if (table->shortFile())
    setError(DBE_E_SHORT,
             std::string("record count in the header exceeds the file; using the ") +
                 std::to_string(table->recordCount()) + " records present: " + path,
             true);
  auto a = std::make_unique<WorkArea>(std::move(table), name);
  WorkArea* raw = a.get();
  const int16_t n = addArea(std::move(a));
  if (n == 0) {
    setError(DBE_E_TOO_MANY, "no free work area");
    return 0;
  }
  selectArea(n);
  openMemo(*raw, path);
  if (driver >= 3) {
    for (const char* ext : {".MTX", ".mtx"}) {
      const std::string idx = productionIndex(path, ext);
      if (access(idx.c_str(), F_OK) != 0) continue;
      if (!raw->openIndex(idx, code, message)) setError(code, message);
      break;
    }
  }
  raw->goTop();
  return n;
}

int16_t dbe_Select(int16_t area) {
  return selectArea(area);
}

const char* dbe_Alias(int16_t n) {
  WorkArea* a = area(n);
  return returnText(a ? a->alias() : std::string());
}

void dbe_Close(void) {
  if (current()) closeCurrent();
}

int16_t dbe_ErrorLevel(int16_t level) {
  const int16_t previous = static_cast<int16_t>(settings().errorLevel);
  settings().errorLevel = level < 0 ? 0 : level;
  return previous;
}

dbe_bool dbe_SetReadCache(dbe_bool on) {
  const bool previous = settings().readCache;
  settings().readCache = on != 0;
  // What was read before comes from the file again: a caller that turns the
  // switch sees the records as they are now.
  for (int n = 1; n <= kMaxAreas; ++n)
    if (WorkArea* a = area(n)) a->dropReads();
  return flag(previous);
}

dbe_bool dbe_SetTranslate(dbe_bool on) {
  const bool previous = settings().translate;
  settings().translate = on != 0;
  return flag(previous);
}

void dbe_SetPassword(const char* password) {
  WorkArea* a = current();
  if (!a) return;
  std::string p = password ? password : "";
  if (p.size() > 32) p.resize(32);
  if (!a->setPassword(p)) setError(DBE_E_PASSWORD, "wrong password for " + a->table().path());
}

int16_t dbe_SetStringType(int16_t type) {
  const int16_t previous = static_cast<int16_t>(settings().stringType);
  if (type != 1) setError(DBE_E_ARGUMENT, "only string type 1 (C strings) is supported");
  return previous;
}

int16_t dbe_SetMachineCollation(void) {
  return 1;
}

int16_t dbe_SetEpoch(int16_t year) {
  const int16_t previous = static_cast<int16_t>(settings().epoch);
  if (year >= 100 && year <= 9899)
    settings().epoch = year;
  else
    setError(DBE_E_ARGUMENT, "epoch must be a four-digit year");
  return previous;
}

dbe_bool dbe_SetDeleted(dbe_bool on) {
  const bool previous = settings().deleted;
  settings().deleted = on != 0;
  return flag(previous);
}

dbe_bool dbe_SetCentury(dbe_bool on) {
  const bool previous = settings().century;
  settings().century = on != 0;
  return flag(previous);
}

int16_t dbe_SetMemoBlockSize(int16_t size) {
  const int16_t previous = static_cast<int16_t>(settings().memoBlockSize);
  if (size >= 1)
    settings().memoBlockSize = size;
  else
    setError(DBE_E_ARGUMENT, "memo block size must be positive");
  return previous;
}

int16_t dbe_SetDateFormat(int16_t format) {
  const int16_t previous = static_cast<int16_t>(settings().dateFormat);
  if (format >= 0 && format <= 8)
    settings().dateFormat = format;
  else
    setError(DBE_E_ARGUMENT, "unknown date format");
  return previous;
}

dbe_bool dbe_SetSoftSeek(dbe_bool on) {
  const bool previous = settings().softSeek;
  settings().softSeek = on != 0;
  return flag(previous);
}

dbe_bool dbe_SetExact(dbe_bool on) {
  const bool previous = settings().exact;
  settings().exact = on != 0;
  return flag(previous);
}

int32_t dbe_SysProp(uint16_t property, void* /*value*/) {
  WorkArea* a = currentQuiet();
  switch (property) {
    case 3000:
      return a ? a->orderCount() : 0;
    case 3001:
      return a ? a->order() : 0;
    case 3002: {
      Tag* t = a ? a->tag(a->order()) : nullptr;
      return t && t->descending ? 1 : 0;
    }
    case 3003:
      return a ? static_cast<int32_t>(
                     std::min<uint32_t>(a->table().headerRecordCount(), 0x7FFFFFFF))
               : 0;
    default:
      setError(DBE_E_ARGUMENT, "unknown property " + std::to_string(property));
      return -1;
  }
}

dbe_bool dbe_IsEncrypted(int16_t /*reserved*/) {
  WorkArea* a = current();
  return flag(a && a->table().encrypted());
}

int16_t dbe_FieldCount(void) {
  WorkArea* a = current();
  return a ? static_cast<int16_t>(a->table().fields().size()) : 0;
}

int32_t dbe_RecSize(void) {
  WorkArea* a = current();
  return a ? a->table().recordSize() : 0;
}

int32_t dbe_RecCount(void) {
  WorkArea* a = current();
  return a ? a->recordCount() : 0;
}

const char* dbe_FieldName(int16_t index) {
  WorkArea* a = current();
  if (!a) return "";
  const auto& fields = a->table().fields();
  if (index < 1 || static_cast<size_t>(index) > fields.size()) {
    setError(DBE_E_NO_FIELD, "field number out of range: " + std::to_string(index));
    return "";
  }
  return returnText(fields[index - 1].name);
}

const char* dbe_FieldType(const char* name) {
  const Field* f = findField(current(), name);
  return f ? returnText(std::string(1, f->type)) : "";
}

int16_t dbe_FieldOffset(const char* name) {
  // 1-based with the deletion flag as position 1: the byte index plus one.
  const Field* f = findField(current(), name);
  return f ? static_cast<int16_t>(static_cast<uint16_t>(f->offset + 1)) : 0;
}

int16_t dbe_FieldWidth(const char* name) {
  const Field* f = findField(current(), name);
  return f ? static_cast<int16_t>(f->width) : 0;
}

int16_t dbe_FieldDecimals(const char* name) {
  const Field* f = findField(current(), name);
  return f ? static_cast<int16_t>(f->decimals) : 0;
}

const char* dbe_Version(void) {
  return "dbfengine " DBFENGINE_VERSION;
}

int32_t dbe_VersionNumber(void) {
  return DBFENGINE_VERSION_NUMBER;
}

const char* dbe_LastUpdate(void) {
  WorkArea* a = current();
  return a ? returnText(a->table().lastUpdate()) : "";
}

dbe_bool dbe_SetIo(const dbe_io* io) {
  if (!installIo(io)) {
    setError(DBE_E_ARGUMENT, "I/O layer of another version or without a function it needs");
    return 0;
  }
  return -1;
}

const dbe_io* dbe_DefaultIo(void) {
  return &defaultIo();
}

void dbe_GetRecord(char* buffer) {
  WorkArea* a = current();
  if (!a) return;
  if (!buffer) {
    setError(DBE_E_ARGUMENT, "record buffer is NULL");
    return;
  }
  std::memcpy(buffer, a->current(), static_cast<size_t>(a->table().recordSize()));
}

const char* dbe_GetString(const char* name) {
  WorkArea* a = current();
  const Field* f = findField(a, name);
  if (!f) return "";
  const uint8_t* p = a->current() + f->offset;
  const bool blank = a->eof();
  const bool vfp = a->table().version() >= 0x30 && a->table().version() <= 0x32;
  const bool binary =
      (f->type == 'I' || f->type == '+' || f->type == 'Y' || f->type == 'T' || f->type == '@' ||
       f->type == 'O' || (f->type == 'B' && f->width == 8) ||
       (vfp && (f->type == 'M' || f->type == 'G' || f->type == 'P') && f->width == 4));
  if (!binary || blank) return returnText(reinterpret_cast<const char*>(p), f->width);
  char tmp[64];
  if ((f->type == 'I' || f->type == '+') && f->width == 4) {
    std::snprintf(tmp, sizeof tmp, "%11d", decodeInteger(p, a->table().version()));
    return returnText(tmp);
  }
  if ((f->type == 'B' || f->type == 'O' || f->type == 'Y') && f->width == 8) {
    std::string& out = numberText();
    formatNumber(out, f->type == 'Y' ? decodeCurrency(p) : decodeDouble(p), 20,
                 f->type == 'Y' ? 4 : f->decimals);
    return returnText(out);
  }
  std::string hex;
  for (int i = 0; i < f->width; ++i) {
    std::snprintf(tmp, sizeof tmp, "%02X", p[i]);
    hex += tmp;
  }
  return returnText(hex);
}

int32_t dbe_GetMemo(const char* name, char* buffer, int32_t size) {
  WorkArea* a = current();
  const Field* f = findField(a, name);
  if (!f) return -1;
  if (!isMemoField(*f, foxproTable(a->table()))) {
    setError(DBE_E_TYPE, "not a memo field: " + f->name);
    return -1;
  }
  if (size < 0 || (size > 0 && !buffer)) {
    setError(DBE_E_ARGUMENT, "memo buffer is NULL or its size negative");
    return -1;
  }
  if (a->eof()) return 0;
  const uint8_t* p = a->current() + f->offset;
  uint32_t block = 0;
  if (f->width == 4) {
    block = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  } else {
    const double d = parseNumber(reinterpret_cast<const char*>(p), f->width);
    block = d >= 1 && d < 4294967295.0 ? static_cast<uint32_t>(d) : 0;
  }
  if (block == 0) return 0;
  if (!a->memo()) {
    setError(DBE_E_OPEN, "no memo file for " + a->table().path());
    return -1;
  }
  static std::string text;  // reused between calls
  const int failed = a->memo()->read(block, text);
  if (failed || text.size() > 0x7FFFFFFF) {
    setError(failed == DBE_E_READ ? DBE_E_READ : DBE_E_CORRUPT,
             "memo block " + std::to_string(block) +
                 (failed == DBE_E_READ ? " cannot be read from " : " is damaged in ") +
                 a->memo()->path());
    return -1;
  }
  if (size > 0) std::memcpy(buffer, text.data(), std::min<size_t>(text.size(), size));
  return static_cast<int32_t>(text.size());
}

dbe_bool dbe_Deleted(void) {
  WorkArea* a = current();
  return flag(a && a->current()[0] == '*');
}

int32_t dbe_Error(void) {
  return lastError();
}
const char* dbe_ErrorText(void) {
  return lastErrorText().c_str();
}
void dbe_ClearError(void) {
  clearError();
}

}  // extern "C"
