// Entry points: navigation and orders.
#include <strings.h>

#include "Areas.h"
#include "MtxWriter.h"
#include "dbfengine.h"

using namespace dbe;

namespace {
dbe_bool flag(bool b) {
  return b ? -1 : 0;
}

Tag* currentTag(WorkArea* a) {
  return a ? a->tag(a->order()) : nullptr;
}
}  // namespace

extern "C" {

void dbe_GoTop(void) {
  if (WorkArea* a = current()) a->goTop();
}
void dbe_GoBottom(void) {
  if (WorkArea* a = current()) a->goBottom();
}
void dbe_Skip(int32_t count) {
  if (WorkArea* a = current()) a->skip(count);
}
void dbe_Go(int32_t recno) {
  if (WorkArea* a = current()) a->go(recno);
}
int32_t dbe_RecNo(void) {
  WorkArea* a = currentQuiet();
  return a ? a->recno() : 0;
}
dbe_bool dbe_Eof(void) {
  WorkArea* a = currentQuiet();
  return flag(!a || a->eof());
}
dbe_bool dbe_Bof(void) {
  WorkArea* a = currentQuiet();
  return flag(!a || a->bof());
}

int16_t dbe_SetOrder(int16_t order) {
  WorkArea* a = current();
  if (!a) return 0;
  const int16_t previous = static_cast<int16_t>(a->order());
  if (!a->setOrder(order)) setError(DBE_E_NO_ORDER, "no order " + std::to_string(order));
  return previous;
}

int16_t dbe_IndexOrd(void) {
  WorkArea* a = currentQuiet();
  return a ? static_cast<int16_t>(a->order()) : 0;
}

double dbe_OrderPosGet(void) {
  WorkArea* a = current();
  return a ? a->orderPosition() : 0;
}

void dbe_OrderPosSet(double position) {
  if (WorkArea* a = current()) a->setOrderPosition(position);
}

int16_t dbe_IndexOpen(const char* file) {
  WorkArea* a = current();
  if (!a) return 0;
  if (!file || !*file) {
    setError(DBE_E_ARGUMENT, "index file name is missing");
    return 0;
  }
  int code = 0;
  std::string message;
  const int first = a->openIndex(file, code, message);
  if (!first) setError(code, message);
  return static_cast<int16_t>(first);
}

void dbe_CloseIndexes(void) {
  if (WorkArea* a = current()) a->closeIndexes();
}

const char* dbe_IndexName(int16_t order) {
  WorkArea* a = current();
  if (!a || !a->tag(order)) return "";
  return returnText(a->indexPath(order));
}

const char* dbe_TagName(int16_t order) {
  WorkArea* a = current();
  Tag* t = a ? a->tag(order) : nullptr;
  return t ? returnText(t->name) : "";
}

int16_t dbe_TagArea(const char* tag) {
  WorkArea* a = current();
  if (!a || !tag) return 0;
  for (int i = 1; i <= a->orderCount(); ++i)
    if (strcasecmp(a->tag(i)->name.c_str(), tag) == 0) return static_cast<int16_t>(i);
  return 0;
}

const char* dbe_IndexKey(void) {
  Tag* t = currentTag(current());
  return t ? returnText(t->keyText) : "";
}

const char* dbe_IndexKeyField(void) {
  Tag* t = currentTag(current());
  return t ? returnText(t->keyFields) : "";
}

int16_t dbe_IndexType(void) {
  Tag* t = currentTag(current());
  if (!t) return 0;
  return static_cast<int16_t>((t->conditionText.empty() ? 1 : 3) + (t->unique ? 1 : 0));
}

const char* dbe_IndexCondition(void) {
  Tag* t = currentTag(current());
  return t ? returnText(t->conditionText) : "";
}

dbe_bool dbe_Seek(const char* key) {
  WorkArea* a = current();
  if (!a) return 0;
  if (!key) {
    setError(DBE_E_ARGUMENT, "seek key is NULL");
    return 0;
  }
  if (a->order() == 0) {
    setError(DBE_E_NO_ORDER, "seek needs an index order");
    return 0;
  }
  return flag(a->seek(key));
}

int16_t dbe_IndexCreate(const char* path, const dbe_tag_def* tags, int16_t count) {
  WorkArea* a = current();
  if (!a) return 0;
  int code = 0;
  std::string message;
  if (!writeIndex(*a, path ? path : "", tags, count, code, message)) {
    setError(code, message);
    return 0;
  }
  return count;
}

}  // extern "C"
