// Tokenizer and recursive-descent parser of the expression language.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "Expr.h"
#include "ExprNodes.h"
#include "Text.h"
#include "dbfengine.h"

namespace dbe {

namespace {
constexpr int kMaxDepth = 200;  // nesting limit, keeps the parser off deep recursion
}

class Parser {
 public:
  Parser(const std::string& text, const Table* table, const std::string& alias, Expression& out)
      : s_(text), table_(table), alias_(alias), out_(out) {}

  NodePtr parse() {
    NodePtr n = orExpr();
    if (!n) return nullptr;
    skipBlanks();
    if (pos_ < s_.size())
      return fail(DBE_TYPE_SYNTAX_ERROR, "unexpected text at position " + std::to_string(pos_ + 1));
    return n;
  }

  int code = 0;
  std::string message;

 private:
  NodePtr fail(int c, const std::string& m) {
    if (code == 0) {
      code = c;
      message = m;
    }
    return nullptr;
  }
  NodePtr mismatch(NodePtr n, const std::string& m) {
    if (!n) fail(DBE_TYPE_MISMATCH, m);
    return n;
  }

  void skipBlanks() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
      ++pos_;
  }
  bool accept(const char* tok) {
    skipBlanks();
    const size_t len = std::strlen(tok);
    if (s_.compare(pos_, len, tok) != 0) return false;
    pos_ += len;
    return true;
  }
  // Case-insensitive dotted word such as ".AND.".
  bool acceptWord(const char* word) {
    skipBlanks();
    const size_t len = std::strlen(word);
    if (pos_ + len > s_.size() || strncasecmp(s_.c_str() + pos_, word, len) != 0) return false;
    pos_ += len;
    return true;
  }

  struct Depth {
    explicit Depth(int& d) : d_(d) { ++d_; }
    ~Depth() { --d_; }
    int& d_;
  };

  NodePtr orExpr() {
    Depth guard(depth_);
    if (depth_ > kMaxDepth) return fail(DBE_TYPE_SYNTAX_ERROR, "expression nested too deeply");
    NodePtr a = andExpr();
    while (a && acceptWord(".OR.")) {
      NodePtr b = andExpr();
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(Op::Or, std::move(a), std::move(b), m), m);
    }
    return a;
  }
  NodePtr andExpr() {
    NodePtr a = notExpr();
    while (a && acceptWord(".AND.")) {
      NodePtr b = notExpr();
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(Op::And, std::move(a), std::move(b), m), m);
    }
    return a;
  }
  NodePtr notExpr() {
    Depth guard(depth_);
    if (depth_ > kMaxDepth) return fail(DBE_TYPE_SYNTAX_ERROR, "expression nested too deeply");
    skipBlanks();
    if (acceptWord(".NOT.") || (peek('!') && !peekAt(1, '=') && accept("!"))) {
      NodePtr a = notExpr();
      if (!a) return nullptr;
      std::string m;
      return mismatch(makeNot(std::move(a), m), m);
    }
    return relExpr();
  }
  NodePtr relExpr() {
    NodePtr a = addExpr();
    while (a) {
      Op op;
      if (accept("=="))
        op = Op::ExactEq;
      else if (accept("<>") || accept("!=") || accept("#"))
        op = Op::Ne;
      else if (accept("<="))
        op = Op::Le;
      else if (accept(">="))
        op = Op::Ge;
      else if (accept("="))
        op = Op::Eq;
      else if (accept("<"))
        op = Op::Lt;
      else if (accept(">"))
        op = Op::Gt;
      else if (accept("$"))
        op = Op::Contains;
      else
        break;
      NodePtr b = addExpr();
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(op, std::move(a), std::move(b), m), m);
    }
    return a;
  }
  NodePtr addExpr() {
    NodePtr a = mulExpr();
    while (a) {
      Op op;
      if (accept("+"))
        op = Op::Add;
      else if (peek('-') && !peekAt(1, '>') && accept("-"))
        op = Op::Sub;
      else
        break;
      NodePtr b = mulExpr();
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(op, std::move(a), std::move(b), m), m);
    }
    return a;
  }
  NodePtr mulExpr() {
    NodePtr a = unary();
    while (a) {
      Op op;
      if (peek('*') && peekAt(1, '*')) break;  // power, handled below
      if (accept("*"))
        op = Op::Mul;
      else if (accept("/"))
        op = Op::Div;
      else if (accept("%"))
        op = Op::Mod;
      else
        break;
      NodePtr b = unary();
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(op, std::move(a), std::move(b), m), m);
    }
    return a;
  }
  NodePtr unary() {
    Depth guard(depth_);
    if (depth_ > kMaxDepth) return fail(DBE_TYPE_SYNTAX_ERROR, "expression nested too deeply");
    skipBlanks();
    if (peek('-') && accept("-")) {
      NodePtr a = unary();
      if (!a) return nullptr;
      std::string m;
      return mismatch(makeNegate(std::move(a), m), m);
    }
    if (peek('+') && accept("+")) return unary();
    NodePtr a = primary();
    if (a && (accept("**") || accept("^"))) {
      NodePtr b = unary();  // right-associative
      if (!b) return nullptr;
      std::string m;
      a = mismatch(makeBinary(Op::Pow, std::move(a), std::move(b), m), m);
    }
    return a;
  }

  bool peek(char c) {
    skipBlanks();
    return pos_ < s_.size() && s_[pos_] == c;
  }
  bool peekAt(size_t k, char c) const { return pos_ + k < s_.size() && s_[pos_ + k] == c; }

  NodePtr primary() {
    skipBlanks();
    if (pos_ >= s_.size()) return fail(DBE_TYPE_SYNTAX_ERROR, "expression ends too early");
    const char c = s_[pos_];
    if (c == '(') {
      ++pos_;
      NodePtr n = orExpr();
      if (!n) return nullptr;
      if (!accept(")")) return fail(DBE_TYPE_SYNTAX_ERROR, "missing )");
      return n;
    }
    if (c == '"' || c == '\'' || c == '[') {
      const char close = c == '[' ? ']' : c;
      const size_t end = s_.find(close, pos_ + 1);
      if (end == std::string::npos) return fail(DBE_TYPE_SYNTAX_ERROR, "unterminated text");
      std::string text = s_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = end + 1;
      return makeCharConstant(std::move(text));
    }
    if (c == '{') return dateLiteral();
    if (c == '.') {
      for (const char* w : {".T.", ".Y."})
        if (acceptWord(w)) return makeLogConstant(true);
      for (const char* w : {".F.", ".N."})
        if (acceptWord(w)) return makeLogConstant(false);
      if (pos_ + 1 < s_.size() && isdigit(static_cast<unsigned char>(s_[pos_ + 1])))
        return number();
      return fail(DBE_TYPE_SYNTAX_ERROR, "unexpected . at position " + std::to_string(pos_ + 1));
    }
    if (isdigit(static_cast<unsigned char>(c))) return number();
    if (isalpha(static_cast<unsigned char>(c)) || c == '_') return name();
    return fail(DBE_TYPE_SYNTAX_ERROR,
                std::string("unexpected character at position ") + std::to_string(pos_ + 1));
  }

  NodePtr number() {
    const size_t start = pos_;
    int decimals = 0;
    bool point = false;
    while (pos_ < s_.size()) {
      const char ch = s_[pos_];
      if (isdigit(static_cast<unsigned char>(ch))) {
        if (point) ++decimals;
      } else if (ch == '.' && !point && pos_ + 1 < s_.size() &&
                 isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
        point = true;
      } else {
        break;
      }
      ++pos_;
    }
    return makeNumConstant(parseNumber(s_.c_str() + start, pos_ - start), decimals);
  }

  // {^yyyy-mm-dd} (strict), {text} in the date format, {} empty date.
  NodePtr dateLiteral() {
    const size_t end = s_.find('}', pos_);
    if (end == std::string::npos) return fail(DBE_TYPE_SYNTAX_ERROR, "unterminated date");
    std::string body = s_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = end + 1;
    size_t b = body.find_first_not_of(' ');
    if (b == std::string::npos) return makeDateConstant(0);
    body = body.substr(b);
    int32_t jd = 0;
    if (body[0] == '^') {
      int y = 0, m = 0, d = 0;
      char tail = 0;
      if (std::sscanf(body.c_str() + 1, "%d%*[-/.]%d%*[-/.]%d%c", &y, &m, &d, &tail) >= 3)
        jd = julianDay(y, m, d);
    } else {
      jd = parseCtod(body);
    }
    if (jd == 0) return fail(DBE_TYPE_SYNTAX_ERROR, "invalid date {" + body + "}");
    return makeDateConstant(jd);
  }

  std::string word() {
    std::string w;
    while (pos_ < s_.size() && (isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
      w.push_back(static_cast<char>(toupper(static_cast<unsigned char>(s_[pos_++]))));
    return w;
  }

  NodePtr name() {
    std::string w = word();
    skipBlanks();
    if (pos_ < s_.size() && s_[pos_] == '(') {
      ++pos_;
      std::vector<NodePtr> args;
      if (!accept(")")) {
        for (;;) {
          NodePtr a = orExpr();
          if (!a) return nullptr;
          args.push_back(std::move(a));
          if (accept(")")) break;
          if (!accept(",")) return fail(DBE_TYPE_SYNTAX_ERROR, "missing , or ) after argument");
        }
      }
      int c = 0;
      std::string m;
      NodePtr n = makeFunction(w, std::move(args), c, m);
      if (!n) return fail(c, m);
      return n;
    }
    if (accept("->")) {
      skipBlanks();
      std::string f = word();
      if (f.empty()) return fail(DBE_TYPE_SYNTAX_ERROR, "field name missing after ->");
      if (w != "FIELD" && strcasecmp(w.c_str(), alias_.c_str()) != 0)
        return fail(DBE_TYPE_UNKNOWN_NAME, "unknown alias " + w);
      w = f;
    }
    const Field* field = table_ ? table_->field(w.c_str()) : nullptr;
    if (!field) return fail(DBE_TYPE_UNKNOWN_NAME, "unknown field " + w);
    bool seen = false;
    for (const std::string& f : out_.fields_) seen = seen || f == field->name;
    if (!seen) out_.fields_.push_back(field->name);
    return makeField(*field, table_->version());
  }

  const std::string& s_;
  const Table* table_;
  const std::string& alias_;
  Expression& out_;
  size_t pos_ = 0;
  int depth_ = 0;
};

std::unique_ptr<Expression> Expression::compile(const std::string& text, const Table* table,
                                                const std::string& alias, int& code,
                                                std::string& message) {
  auto e = std::make_unique<Expression>();
  e->text_ = text;
  if (text.find('\0') != std::string::npos ||
      text.find_first_not_of(" \t\r\n") == std::string::npos) {
    code = DBE_TYPE_SYNTAX_ERROR;
    message = "empty expression";
    return nullptr;
  }
  Parser p(text, table, alias, *e);
  e->root_ = p.parse();
  if (!e->root_) {
    code = p.code ? p.code : DBE_TYPE_SYNTAX_ERROR;
    message = p.message + " in: " + text;
    return nullptr;
  }
  code = static_cast<int>(e->root_->type);
  return e;
}

void Expression::evalText(const EvalContext& c, std::string& out) {
  Value v;
  eval(c, v);
  switch (type()) {
    case Type::Character:
      out.assign(v.s, v.len);
      break;
    case Type::Numeric: {
      // A field keeps its own width; computed numbers get STR's width.
      const int decimals = root_->decimals;
      int width = root_->size > 0 ? root_->width : std::max(root_->width, 10);
      if (root_->size == 0 && decimals > 0 && width < 10 + decimals + 1) width = 10 + decimals + 1;
      formatNumber(out, v.n, width, decimals);
      break;
    }
    case Type::Logical:
      out = v.l ? "T" : "F";
      break;
    case Type::Date:
      formatDtos(out, v.d);
      break;
  }
}

}  // namespace dbe
