#include "ExprNodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "FieldDecode.h"
#include "Settings.h"
#include "Text.h"
#include "dbfengine.h"

namespace dbe {

namespace {

constexpr size_t kMaxText = 65535;  // longest text an expression builds

std::string_view view(const Value& v) {
  return {v.s, v.len};
}
void setText(Node& n, Value& v) {
  v.s = n.buf.data();
  v.len = static_cast<uint32_t>(n.buf.size());
}

// Byte comparison where the shorter text counts as padded with blanks.
int comparePadded(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  if (int r = std::memcmp(a.data(), b.data(), n)) return r < 0 ? -1 : 1;
  for (size_t i = n; i < a.size(); ++i)
    if (a[i] != ' ') return static_cast<unsigned char>(a[i]) < ' ' ? -1 : 1;
  for (size_t i = n; i < b.size(); ++i)
    if (b[i] != ' ') return static_cast<unsigned char>(b[i]) < ' ' ? 1 : -1;
  return 0;
}

bool textEquals(std::string_view a, std::string_view b, bool exact) {
  if (exact) return comparePadded(a, b) == 0;
  // Exact off: the left text begins with the right one.
  if (b.empty()) return true;
  if (a.size() >= b.size()) return std::memcmp(a.data(), b.data(), b.size()) == 0;
  return comparePadded(a, b) == 0;
}

std::string_view rtrim(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

// ---- leaves
void evalConstant(Node& n, const EvalContext&, Value& v) {
  v = n.constant;
  if (n.type == Type::Character) setText(n, v);
}

void evalCharField(Node& n, const EvalContext& c, Value& v) {
  v.s = reinterpret_cast<const char*>(c.record + n.offset);
  v.len = static_cast<uint32_t>(n.size);
}
void evalNumField(Node& n, const EvalContext& c, Value& v) {
  v.n = parseNumber(reinterpret_cast<const char*>(c.record + n.offset), n.size);
}
void evalIntField(Node& n, const EvalContext& c, Value& v) {
  v.n = decodeInteger(c.record + n.offset, n.bigEndianInt ? 0x04 : 0x30);
}
void evalDoubleField(Node& n, const EvalContext& c, Value& v) {
  v.n = decodeDouble(c.record + n.offset);
}
void evalCurrencyField(Node& n, const EvalContext& c, Value& v) {
  v.n = decodeCurrency(c.record + n.offset);
}
void evalDateField(Node& n, const EvalContext& c, Value& v) {
  v.d = parseDtos(reinterpret_cast<const char*>(c.record + n.offset), n.size);
}
void evalDateTimeField(Node& n, const EvalContext& c, Value& v) {
  v.d = decodeDateTimeDay(c.record + n.offset);
}
void evalLogField(Node& n, const EvalContext& c, Value& v) {
  const char ch = static_cast<char>(c.record[n.offset]);
  v.l = ch == 'T' || ch == 't' || ch == 'Y' || ch == 'y';
}

// ---- operators
#define KIDS2            \
  Value a, b;            \
  n.kids[0]->eval(c, a); \
  n.kids[1]->eval(c, b)

void evalConcat(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  n.buf.assign(a.s, std::min<size_t>(a.len, kMaxText));
  n.buf.append(b.s, std::min<size_t>(b.len, kMaxText - n.buf.size()));
  setText(n, v);
}
void evalConcatTrim(Node& n, const EvalContext& c, Value& v) {
  // "a - b": the blanks at the end of a move to the end of the result.
  KIDS2;
  std::string_view left = rtrim(view(a));
  n.buf.assign(left.data(), std::min<size_t>(left.size(), kMaxText));
  n.buf.append(b.s, std::min<size_t>(b.len, kMaxText - n.buf.size()));
  n.buf.append(std::min<size_t>(a.len - left.size(), kMaxText - n.buf.size()), ' ');
  setText(n, v);
}
void evalAdd(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = a.n + b.n;
}
void evalSub(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = a.n - b.n;
}
void evalMul(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = a.n * b.n;
}
void evalDiv(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = b.n == 0 ? 0 : a.n / b.n;
}
void evalMod(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = b.n == 0 ? 0 : std::fmod(a.n, b.n);
}
void evalPow(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = std::pow(a.n, b.n);
  if (!std::isfinite(v.n)) v.n = 0;
}
// Date moved by a number of days (whole days: the fraction is dropped); a
// result outside the calendar, or a number that is not finite, is the empty
// date.
int32_t shiftDate(int32_t jd, double days) {
  const double d = std::trunc(jd + days);
  if (!std::isfinite(d) || d < kFirstDay || d > kLastDay) return 0;
  return static_cast<int32_t>(d);
}

void evalDatePlus(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  const Value& date = n.kids[0]->type == Type::Date ? a : b;
  const Value& days = n.kids[0]->type == Type::Date ? b : a;
  v.d = date.d == 0 ? 0 : shiftDate(date.d, days.n);
}
void evalDateMinus(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.d = a.d == 0 ? 0 : shiftDate(a.d, -b.n);
}
void evalDateDiff(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.n = a.d - b.d;
}

int compareValues(Type t, const Value& a, const Value& b) {
  switch (t) {
    case Type::Character:
      return comparePadded(view(a), view(b));
    case Type::Numeric:
      return a.n < b.n ? -1 : a.n > b.n ? 1 : 0;
    case Type::Date:
      return a.d < b.d ? -1 : a.d > b.d ? 1 : 0;
    case Type::Logical:
      return a.l == b.l ? 0 : a.l ? 1 : -1;
  }
  return 0;
}

bool equalValues(Node& n, const Value& a, const Value& b, bool exactOp) {
  if (n.kids[0]->type != Type::Character) return compareValues(n.kids[0]->type, a, b) == 0;
  if (exactOp) return a.len == b.len && std::memcmp(a.s, b.s, a.len) == 0;
  return textEquals(view(a), view(b), settings().exact);
}

void evalEq(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = equalValues(n, a, b, false);
}
void evalExactEq(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = equalValues(n, a, b, true);
}
void evalNe(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = !equalValues(n, a, b, false);
}
void evalLt(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = compareValues(n.kids[0]->type, a, b) < 0;
}
void evalLe(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = compareValues(n.kids[0]->type, a, b) <= 0;
}
void evalGt(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = compareValues(n.kids[0]->type, a, b) > 0;
}
void evalGe(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = compareValues(n.kids[0]->type, a, b) >= 0;
}
void evalContains(Node& n, const EvalContext& c, Value& v) {
  KIDS2;
  v.l = findText(view(b), view(a), c.dbcs) != std::string_view::npos;
}
void evalAnd(Node& n, const EvalContext& c, Value& v) {
  Value a;
  n.kids[0]->eval(c, a);
  if (!a.l) {
    v.l = false;
    return;
  }
  n.kids[1]->eval(c, v);
}
void evalOr(Node& n, const EvalContext& c, Value& v) {
  Value a;
  n.kids[0]->eval(c, a);
  if (a.l) {
    v.l = true;
    return;
  }
  n.kids[1]->eval(c, v);
}
void evalNot(Node& n, const EvalContext& c, Value& v) {
  n.kids[0]->eval(c, v);
  v.l = !v.l;
}
void evalNegate(Node& n, const EvalContext& c, Value& v) {
  n.kids[0]->eval(c, v);
  v.n = -v.n;
}

const char* typeName(Type t) {
  switch (t) {
    case Type::Character:
      return "character";
    case Type::Numeric:
      return "numeric";
    case Type::Logical:
      return "logical";
    case Type::Date:
      return "date";
  }
  return "?";
}

NodePtr node(Type t, EvalFn fn) {
  auto n = std::make_unique<Node>();
  n->type = t;
  n->fn = fn;
  return n;
}

}  // namespace

NodePtr makeCharConstant(std::string text) {
  auto n = node(Type::Character, evalConstant);
  if (text.size() > kMaxText) text.resize(kMaxText);
  n->buf = std::move(text);
  return n;
}
NodePtr makeNumConstant(double value, int decimals) {
  auto n = node(Type::Numeric, evalConstant);
  n->constant.n = value;
  n->decimals = decimals;
  return n;
}
NodePtr makeLogConstant(bool value) {
  auto n = node(Type::Logical, evalConstant);
  n->constant.l = value;
  return n;
}
NodePtr makeDateConstant(int32_t jd) {
  auto n = node(Type::Date, evalConstant);
  n->constant.d = jd;
  return n;
}

NodePtr makeField(const Field& f, uint8_t version) {
  NodePtr n;
  switch (f.type) {
    case 'N':
    case 'F':
      n = node(Type::Numeric, evalNumField);
      n->width = f.width;
      n->decimals = f.decimals;
      break;
    case 'I':
    case '+':
      if (f.width != 4) break;
      n = node(Type::Numeric, evalIntField);
      n->bigEndianInt = version == 0x04;  // see decodeInteger
      n->width = 11;
      break;
    case 'B':
    case 'O':
      if (f.width != 8) break;  // dBASE III/IV B is a ten-byte memo reference
      n = node(Type::Numeric, evalDoubleField);
      n->width = 20;
      n->decimals = f.decimals;
      break;
    case 'Y':
      if (f.width != 8) break;
      n = node(Type::Numeric, evalCurrencyField);
      n->width = 20;
      n->decimals = 4;
      break;
    case 'D':
      if (f.width == 8) n = node(Type::Date, evalDateField);
      break;
    case 'T':
    case '@':
      if (f.width == 8) n = node(Type::Date, evalDateTimeField);
      break;
    case 'L':
      n = node(Type::Logical, evalLogField);
      break;
    default:
      break;
  }
  if (!n) n = node(Type::Character, evalCharField);  // C, memo references, raw types
  n->offset = f.offset;
  n->size = f.width;
  n->fieldType = f.type;
  return n;
}

NodePtr makeBinary(Op op, NodePtr a, NodePtr b, std::string& message) {
  const Type ta = a->type, tb = b->type;
  auto mismatch = [&](const char* what) {
    message = std::string("type mismatch: ") + typeName(ta) + " " + what + " " + typeName(tb);
    return NodePtr();
  };
  NodePtr n;
  switch (op) {
    case Op::Add:
      if (ta == Type::Character && tb == Type::Character)
        n = node(Type::Character, evalConcat);
      else if (ta == Type::Numeric && tb == Type::Numeric)
        n = node(Type::Numeric, evalAdd);
      else if ((ta == Type::Date && tb == Type::Numeric) ||
               (ta == Type::Numeric && tb == Type::Date))
        n = node(Type::Date, evalDatePlus);
      else
        return mismatch("+");
      break;
    case Op::Sub:
      if (ta == Type::Character && tb == Type::Character)
        n = node(Type::Character, evalConcatTrim);
      else if (ta == Type::Numeric && tb == Type::Numeric)
        n = node(Type::Numeric, evalSub);
      else if (ta == Type::Date && tb == Type::Numeric)
        n = node(Type::Date, evalDateMinus);
      else if (ta == Type::Date && tb == Type::Date)
        n = node(Type::Numeric, evalDateDiff);
      else
        return mismatch("-");
      break;
    case Op::Mul:
    case Op::Div:
    case Op::Mod:
    case Op::Pow:
      if (ta != Type::Numeric || tb != Type::Numeric) return mismatch("with arithmetic");
      n = node(Type::Numeric, op == Op::Mul   ? evalMul
                              : op == Op::Div ? evalDiv
                              : op == Op::Mod ? evalMod
                                              : evalPow);
      break;
    case Op::Eq:
    case Op::ExactEq:
    case Op::Ne:
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge:
      if (ta != tb) return mismatch("compared with");
      n = node(Type::Logical, op == Op::Eq        ? evalEq
                              : op == Op::ExactEq ? evalExactEq
                              : op == Op::Ne      ? evalNe
                              : op == Op::Lt      ? evalLt
                              : op == Op::Le      ? evalLe
                              : op == Op::Gt      ? evalGt
                                                  : evalGe);
      break;
    case Op::Contains:
      if (ta != Type::Character || tb != Type::Character) return mismatch("$");
      n = node(Type::Logical, evalContains);
      break;
    case Op::And:
    case Op::Or:
      if (ta != Type::Logical || tb != Type::Logical)
        return mismatch(op == Op::And ? ".AND." : ".OR.");
      n = node(Type::Logical, op == Op::And ? evalAnd : evalOr);
      break;
  }
  if (n->type == Type::Numeric) {
    n->decimals = op == Op::Mul   ? a->decimals + b->decimals
                  : op == Op::Div ? std::max(2, std::max(a->decimals, b->decimals))
                                  : std::max(a->decimals, b->decimals);
    n->decimals = std::min(n->decimals, 15);
    n->width = std::max(10, std::max(a->width, b->width));
  }
  n->kids.push_back(std::move(a));
  n->kids.push_back(std::move(b));
  return n;
}

NodePtr makeNot(NodePtr a, std::string& message) {
  if (a->type != Type::Logical) {
    message = std::string("type mismatch: .NOT. of ") + typeName(a->type);
    return nullptr;
  }
  auto n = node(Type::Logical, evalNot);
  n->kids.push_back(std::move(a));
  return n;
}

NodePtr makeNegate(NodePtr a, std::string& message) {
  if (a->type != Type::Numeric) {
    message = std::string("type mismatch: minus sign before ") + typeName(a->type);
    return nullptr;
  }
  auto n = node(Type::Numeric, evalNegate);
  n->decimals = a->decimals;
  n->width = a->width;
  n->kids.push_back(std::move(a));
  return n;
}

}  // namespace dbe
