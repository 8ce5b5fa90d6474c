// The expression language: compiled once into a tree of nodes, then
// evaluated on any number of records without parsing or allocating again
// (text buffers of the nodes are reused).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Table.h"

namespace dbe {

enum class Type : uint8_t { Character = 1, Numeric = 2, Logical = 3, Date = 4 };

struct Value {
  const char* s = "";  // Character: bytes (not terminated), valid until the next evaluation
  uint32_t len = 0;
  double n = 0;    // Numeric
  int32_t d = 0;   // Date: Julian day, 0 = empty
  bool l = false;  // Logical
};

struct EvalContext {
  const uint8_t* record = nullptr;  // raw record in clear (blank at end of file)
  int32_t recno = 0;
  bool dbcs = true;
};

struct Node;
using EvalFn = void (*)(Node&, const EvalContext&, Value&);

struct Node {
  Type type = Type::Character;
  int decimals = 0;  // numeric: digits after the point for text forms
  int width = 10;    // numeric: width for text forms
  EvalFn fn = nullptr;
  std::vector<std::unique_ptr<Node>> kids;
  Value constant;
  std::string buf;           // own text result or constant text
  int offset = 0, size = 0;  // field position in the record
  char fieldType = 'C';
  bool bigEndianInt = false;

  void eval(const EvalContext& c, Value& v) { fn(*this, c, v); }
};

class Expression {
 public:
  // Compiles `text` against `table` (NULL: no fields) whose area is `alias`.
  // On failure answers nullptr with `code` one of DBE_TYPE_SYNTAX_ERROR,
  // DBE_TYPE_UNKNOWN_NAME, DBE_TYPE_MISMATCH and a message.
  static std::unique_ptr<Expression> compile(const std::string& text, const Table* table,
                                             const std::string& alias, int& code,
                                             std::string& message);

  Type type() const { return root_->type; }
  const std::string& text() const { return text_; }
  // Field names used, in order of first use.
  const std::vector<std::string>& fields() const { return fields_; }
  void eval(const EvalContext& c, Value& v) { root_->eval(c, v); }
  // Value as text: character as is, numeric by STR, logical T/F, date DTOS.
  void evalText(const EvalContext& c, std::string& out);
  Node& root() { return *root_; }

 private:
  friend class Parser;
  std::string text_;
  std::unique_ptr<Node> root_;
  std::vector<std::string> fields_;
};

}  // namespace dbe
