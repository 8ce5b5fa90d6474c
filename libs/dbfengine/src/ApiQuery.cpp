// Entry points: the query set and expressions.
#include <string>

#include "Areas.h"
#include "Text.h"
#include "dbfengine.h"

using namespace dbe;

namespace {

void recordExpressionError(int code, const std::string& message) {
  setError(code == DBE_TYPE_MISMATCH       ? DBE_E_TYPE
           : code == DBE_TYPE_UNKNOWN_NAME ? DBE_E_NO_FIELD
                                           : DBE_E_SYNTAX,
           message);
}

// Compiles against the current area, or without fields when none is open.
Expression* compileHere(const char* text, int& code) {
  std::string message;
  if (!text) {
    code = DBE_TYPE_SYNTAX_ERROR;
    setError(DBE_E_ARGUMENT, "expression is NULL");
    return nullptr;
  }
  if (WorkArea* a = currentQuiet()) {
    Expression* e = a->compile(text, code, message);
    if (!e) recordExpressionError(code, message);
    return e;
  }
  static std::unique_ptr<Expression> loose;
  loose = Expression::compile(text, nullptr, "", code, message);
  if (!loose) recordExpressionError(code, message);
  return loose.get();
}

EvalContext contextHere() {
  WorkArea* a = currentQuiet();
  static const uint8_t blank[1] = {' '};
  return a ? a->context() : EvalContext{blank, 0, true};
}

}  // namespace

extern "C" {

int32_t dbe_Query(const char* expression) {
  WorkArea* a = current();
  if (!a) return 0;
  int code = 0;
  std::string message;
  const std::string text = expression ? expression : "";
  if (!a->runQuery(text, code, message)) {
    recordExpressionError(code, message);
    return 0;
  }
  a->goTop();
  return a->eof() ? 0 : a->recno();
}

int16_t dbe_QueryTest(const char* expression) {
  if (!expression || !*expression) return 0;
  int code = 0;
  Expression* e = compileHere(expression, code);
  return e && e->type() == Type::Logical ? 1 : 0;
}

int32_t dbe_QueryRecCount(void) {
  WorkArea* a = current();
  if (!a) return 0;
  return a->query().inForce() ? a->query().count() : a->recordCount();
}

void dbe_SetQueryBit(int32_t recno, dbe_bool value) {
  dbe_SetQueryBits(&recno, 1, value);
}

void dbe_SetQueryBits(const int32_t* recnos, int32_t count, dbe_bool value) {
  WorkArea* a = current();
  if (!a || count <= 0) return;
  if (!recnos) {
    setError(DBE_E_ARGUMENT, "no record numbers given");
    return;
  }
  QuerySet& q = a->query();
  const int32_t records = a->recordCount();
  for (int32_t i = 0; i < count; ++i) {
    const int32_t recno = recnos[i];
    if (recno < 1 || recno > records) {
      setError(DBE_E_ARGUMENT, "record number out of range: " + std::to_string(recno));
      continue;
    }
    if (q.kind() == QuerySet::Kind::None) {
      if (!value) continue;  // nothing to unmark
      q.reset(records, QuerySet::Kind::Marks);
    }
    q.set(recno, value != 0);
  }
}

const char* dbe_DBFilter(void) {
  WorkArea* a = current();
  return a ? returnText(a->query().expression) : "";
}

int32_t dbe_Count(void) {
  WorkArea* a = current();
  return a ? a->visibleCount() : 0;
}

int16_t dbe_EvalTest(const char* expression) {
  int code = 0;
  Expression* e = compileHere(expression, code);
  return static_cast<int16_t>(e ? static_cast<int>(e->type()) : code);
}

const char* dbe_EvalString(const char* expression) {
  int code = 0;
  Expression* e = compileHere(expression, code);
  if (!e) return "";
  static std::string out;  // kept: its buffer is reused call after call
  e->evalText(contextHere(), out);
  return returnText(out.data(), out.size());
}

double dbe_EvalNumeric(const char* expression) {
  int code = 0;
  Expression* e = compileHere(expression, code);
  if (!e) return 0;
  if (e->type() != Type::Numeric) {
    setError(DBE_E_TYPE, std::string("not a numeric expression: ") + expression);
    return 0;
  }
  Value v;
  e->eval(contextHere(), v);
  return v.n;
}

dbe_bool dbe_EvalLogical(const char* expression) {
  int code = 0;
  Expression* e = compileHere(expression, code);
  if (!e) return 0;
  if (e->type() != Type::Logical) {
    setError(DBE_E_TYPE, std::string("not a logical expression: ") + expression);
    return 0;
  }
  Value v;
  e->eval(contextHere(), v);
  return v.l ? -1 : 0;
}

}  // extern "C"
