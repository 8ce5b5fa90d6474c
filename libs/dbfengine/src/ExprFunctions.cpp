// The functions of the expression language.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "ExprNodes.h"
#include "Text.h"
#include "dbfengine.h"

namespace dbe {

namespace {

constexpr size_t kMaxText = 65535;

std::string_view view(const Value& v) {
  return {v.s, v.len};
}
void setText(Node& n, Value& v) {
  v.s = n.buf.data();
  v.len = static_cast<uint32_t>(n.buf.size());
}
Value arg(Node& n, const EvalContext& c, size_t i) {
  Value v;
  n.kids[i]->eval(c, v);
  return v;
}
// Whole number from a numeric argument, clamped to a sane range.
long count(double d) {
  if (!std::isfinite(d)) return 0;
  return static_cast<long>(std::clamp(d, -1e9, 1e9));
}

void fnUpper(Node& n, const EvalContext& c, Value& v) {
  upperInto(n.buf, view(arg(n, c, 0)), c.dbcs);
  setText(n, v);
}
void fnLower(Node& n, const EvalContext& c, Value& v) {
  lowerInto(n.buf, view(arg(n, c, 0)), c.dbcs);
  setText(n, v);
}
void fnRtrim(Node& n, const EvalContext& c, Value& v) {
  v = arg(n, c, 0);
  while (v.len > 0 && (v.s[v.len - 1] == ' ' || v.s[v.len - 1] == '\0')) --v.len;
}
void fnLtrim(Node& n, const EvalContext& c, Value& v) {
  v = arg(n, c, 0);
  while (v.len > 0 && v.s[0] == ' ') ++v.s, --v.len;
}
void fnAlltrim(Node& n, const EvalContext& c, Value& v) {
  fnRtrim(n, c, v);
  while (v.len > 0 && v.s[0] == ' ') ++v.s, --v.len;
}
void fnSubstr(Node& n, const EvalContext& c, Value& v) {
  Value s = arg(n, c, 0);
  long start = count(arg(n, c, 1).n);
  const long len = static_cast<long>(s.len);
  if (start < 0) start = std::max(1L, len + start + 1);  // from the right
  if (start == 0) start = 1;
  long take = n.kids.size() > 2 ? count(arg(n, c, 2).n) : len;
  v.s = s.s;
  v.len = 0;
  if (start > len || take <= 0) return;
  take = std::min(take, len - start + 1);
  v.s = s.s + start - 1;
  v.len = static_cast<uint32_t>(take);
}
void fnLeft(Node& n, const EvalContext& c, Value& v) {
  v = arg(n, c, 0);
  const long take = count(arg(n, c, 1).n);
  v.len = static_cast<uint32_t>(std::clamp(take, 0L, static_cast<long>(v.len)));
}
void fnRight(Node& n, const EvalContext& c, Value& v) {
  v = arg(n, c, 0);
  const long take = std::clamp(count(arg(n, c, 1).n), 0L, static_cast<long>(v.len));
  v.s += v.len - take;
  v.len = static_cast<uint32_t>(take);
}
void fnLen(Node& n, const EvalContext& c, Value& v) {
  v.n = arg(n, c, 0).len;
}
void fnAt(Node& n, const EvalContext& c, Value& v) {
  const Value needle = arg(n, c, 0), hay = arg(n, c, 1);
  const size_t pos = findText(view(hay), view(needle), c.dbcs);
  v.n = pos == std::string_view::npos ? 0 : static_cast<double>(pos + 1);
}
void fnStr(Node& n, const EvalContext& c, Value& v) {
  const double x = arg(n, c, 0).n;
  int width = n.kids[0]->width;
  int decimals = n.kids.size() > 2 ? static_cast<int>(count(arg(n, c, 2).n)) : 0;
  if (n.kids.size() > 1)
    width = static_cast<int>(std::clamp(count(arg(n, c, 1).n), 1L, 255L));
  else if (n.kids[0]->decimals > 0)
    decimals = n.kids[0]->decimals;
  if (n.kids.size() == 1 && decimals > 0 && width < 10 + decimals + 1) width = 10 + decimals + 1;
  formatNumber(n.buf, x, width, std::clamp(decimals, 0, std::max(0, width - 2)));
  setText(n, v);
}
void fnVal(Node& n, const EvalContext& c, Value& v) {
  const Value s = arg(n, c, 0);
  v.n = parseNumber(s.s, s.len);
}
void fnDtos(Node& n, const EvalContext& c, Value& v) {
  formatDtos(n.buf, arg(n, c, 0).d);
  setText(n, v);
}
void fnDtoc(Node& n, const EvalContext& c, Value& v) {
  formatDtoc(n.buf, arg(n, c, 0).d);
  setText(n, v);
}
void fnCtod(Node& n, const EvalContext& c, Value& v) {
  v.d = parseCtod(view(arg(n, c, 0)));
}
void fnDate(Node&, const EvalContext&, Value& v) {
  v.d = today();
}
void fnRecno(Node&, const EvalContext& c, Value& v) {
  v.n = c.recno;
}
void fnDeleted(Node&, const EvalContext& c, Value& v) {
  v.l = c.record[0] == '*';
}
void fnIif(Node& n, const EvalContext& c, Value& v) {
  n.kids[arg(n, c, 0).l ? 1 : 2]->eval(c, v);
}
void fnEmpty(Node& n, const EvalContext& c, Value& v) {
  const Value a = arg(n, c, 0);
  switch (n.kids[0]->type) {
    case Type::Character: {
      v.l = true;
      for (uint32_t i = 0; i < a.len && v.l; ++i)
        v.l = a.s[i] == ' ' || a.s[i] == '\0' || a.s[i] == '\t' || a.s[i] == '\r' || a.s[i] == '\n';
      break;
    }
    case Type::Numeric:
      v.l = a.n == 0;
      break;
    case Type::Logical:
      v.l = !a.l;
      break;
    case Type::Date:
      v.l = a.d == 0;
      break;
  }
}
void fnSpace(Node& n, const EvalContext& c, Value& v) {
  n.buf.assign(static_cast<size_t>(std::clamp(count(arg(n, c, 0).n), 0L, 65535L)), ' ');
  setText(n, v);
}
void fnReplicate(Node& n, const EvalContext& c, Value& v) {
  const Value s = arg(n, c, 0);
  long times = std::max(0L, count(arg(n, c, 1).n));
  n.buf.clear();
  while (times-- > 0 && s.len > 0 && n.buf.size() + s.len <= kMaxText) n.buf.append(s.s, s.len);
  setText(n, v);
}
void fnAbs(Node& n, const EvalContext& c, Value& v) {
  v.n = std::fabs(arg(n, c, 0).n);
}
void fnInt(Node& n, const EvalContext& c, Value& v) {
  v.n = std::trunc(arg(n, c, 0).n);
}
void fnRound(Node& n, const EvalContext& c, Value& v) {
  const double x = arg(n, c, 0).n;
  const double places = arg(n, c, 1).n;
  const int decimals =
      std::isfinite(places) ? static_cast<int>(std::clamp(places, -400.0, 400.0)) : 0;
  const std::string text = roundedDecimal(x, decimals);
  v.n = text.empty() ? x : std::strtod(text.c_str(), nullptr);
}
void fnMin(Node& n, const EvalContext& c, Value& v) {
  const Value a = arg(n, c, 0), b = arg(n, c, 1);
  v = n.type == Type::Date ? (b.d < a.d ? b : a) : (b.n < a.n ? b : a);
}
void fnMax(Node& n, const EvalContext& c, Value& v) {
  const Value a = arg(n, c, 0), b = arg(n, c, 1);
  v = n.type == Type::Date ? (b.d > a.d ? b : a) : (b.n > a.n ? b : a);
}
template <int Part>
void fnDatePart(Node& n, const EvalContext& c, Value& v) {
  const int32_t jd = arg(n, c, 0).d;
  if (jd <= 0) {
    v.n = 0;
    return;
  }
  int y, m, d;
  civilDate(jd, y, m, d);
  v.n = Part == 0 ? y : Part == 1 ? m : d;
}

// Argument kinds: C character, N numeric, L logical, D date, A any,
// S same type as the second argument (IIF), X numeric or date (MIN/MAX).
struct FunctionDef {
  const char* name;
  const char* args;  // required arguments, then '[' and optional ones
  Type result;       // for IIF/MIN/MAX the type of the matching argument
  EvalFn fn;
  int width;  // numeric result width
};

const FunctionDef kFunctions[] = {
    {"UPPER", "C", Type::Character, fnUpper, 0},
    {"LOWER", "C", Type::Character, fnLower, 0},
    {"TRIM", "C", Type::Character, fnRtrim, 0},
    {"RTRIM", "C", Type::Character, fnRtrim, 0},
    {"LTRIM", "C", Type::Character, fnLtrim, 0},
    {"ALLTRIM", "C", Type::Character, fnAlltrim, 0},
    {"SUBSTR", "CN[N", Type::Character, fnSubstr, 0},
    {"LEFT", "CN", Type::Character, fnLeft, 0},
    {"RIGHT", "CN", Type::Character, fnRight, 0},
    {"LEN", "C", Type::Numeric, fnLen, 5},
    {"AT", "CC", Type::Numeric, fnAt, 5},
    {"STR", "N[NN", Type::Character, fnStr, 0},
    {"VAL", "C", Type::Numeric, fnVal, 10},
    {"DTOS", "D", Type::Character, fnDtos, 0},
    {"DTOC", "D", Type::Character, fnDtoc, 0},
    {"CTOD", "C", Type::Date, fnCtod, 0},
    {"DATE", "", Type::Date, fnDate, 0},
    {"RECNO", "", Type::Numeric, fnRecno, 7},
    {"DELETED", "", Type::Logical, fnDeleted, 0},
    {"IIF", "LAS", Type::Character, fnIif, 0},
    {"EMPTY", "A", Type::Logical, fnEmpty, 0},
    {"SPACE", "N", Type::Character, fnSpace, 0},
    {"REPLICATE", "CN", Type::Character, fnReplicate, 0},
    {"ABS", "N", Type::Numeric, fnAbs, 10},
    {"INT", "N", Type::Numeric, fnInt, 10},
    {"ROUND", "NN", Type::Numeric, fnRound, 10},
    {"MIN", "XS", Type::Numeric, fnMin, 10},
    {"MAX", "XS", Type::Numeric, fnMax, 10},
    {"YEAR", "D", Type::Numeric, fnDatePart<0>, 4},
    {"MONTH", "D", Type::Numeric, fnDatePart<1>, 2},
    {"DAY", "D", Type::Numeric, fnDatePart<2>, 2},
};

// Exact name, or (xBase style) an abbreviation of at least four letters.
const FunctionDef* findFunction(const std::string& name) {
  for (const FunctionDef& f : kFunctions)
    if (name == f.name) return &f;
  if (name.size() >= 4) {
    for (const FunctionDef& f : kFunctions)
      if (std::strncmp(f.name, name.c_str(), name.size()) == 0) return &f;
  }
  return nullptr;
}

bool argFits(char kind, Type t, const std::vector<NodePtr>& args) {
  switch (kind) {
    case 'C':
      return t == Type::Character;
    case 'N':
      return t == Type::Numeric;
    case 'L':
      return t == Type::Logical;
    case 'D':
      return t == Type::Date;
    case 'X':
      return t == Type::Numeric || t == Type::Date;
    case 'S':
      return t == args[args.size() == 3 ? 1 : 0]->type;
    default:
      return true;
  }
}

}  // namespace

NodePtr makeFunction(const std::string& name, std::vector<NodePtr> args, int& code,
                     std::string& message) {
  const FunctionDef* f = findFunction(name);
  if (!f) {
    code = DBE_TYPE_UNKNOWN_NAME;
    message = "unknown function " + name + "()";
    return nullptr;
  }
  const std::string_view signature = f->args;
  const size_t bracket = signature.find('[');
  const size_t required = bracket == std::string_view::npos ? signature.size() : bracket;
  const size_t maximum =
      bracket == std::string_view::npos ? signature.size() : signature.size() - 1;
  if (args.size() < required || args.size() > maximum) {
    code = DBE_TYPE_MISMATCH;
    message = std::string("wrong number of arguments for ") + f->name + "()";
    return nullptr;
  }
  size_t k = 0;
  for (size_t i = 0; i < args.size(); ++i, ++k) {
    if (signature[k] == '[') ++k;
    if (!argFits(signature[k], args[i]->type, args)) {
      code = DBE_TYPE_MISMATCH;
      message = std::string("argument ") + std::to_string(i + 1) + " of " + f->name +
                "() has the wrong type";
      return nullptr;
    }
  }
  auto n = std::make_unique<Node>();
  n->fn = f->fn;
  n->type = f->result;
  n->width = f->width;
  if (f->fn == fnIif) {
    n->type = args[1]->type;
    n->width = std::max(args[1]->width, args[2]->width);
    n->decimals = std::max(args[1]->decimals, args[2]->decimals);
  } else if (f->fn == fnMin || f->fn == fnMax) {
    n->type = args[0]->type;
    n->decimals = std::max(args[0]->decimals, args[1]->decimals);
  } else if (f->fn == fnAbs || f->fn == fnRound) {
    n->decimals = f->fn == fnRound && args[1]->fn ? args[0]->decimals : args[0]->decimals;
  }
  n->kids = std::move(args);
  return n;
}

}  // namespace dbe
