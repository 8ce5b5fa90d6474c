// Builders of expression nodes; each checks its operand types.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Expr.h"

namespace dbe {

using NodePtr = std::unique_ptr<Node>;

enum class Op { Add, Sub, Mul, Div, Mod, Pow, Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Contains, And, Or };

NodePtr makeCharConstant(std::string text);
NodePtr makeNumConstant(double value, int decimals);
NodePtr makeLogConstant(bool value);
NodePtr makeDateConstant(int32_t jd);
NodePtr makeField(const Field& field, uint8_t tableVersion);

// These answer nullptr with a message on a type mismatch.
NodePtr makeBinary(Op op, NodePtr a, NodePtr b, std::string& message);
NodePtr makeNot(NodePtr a, std::string& message);
NodePtr makeNegate(NodePtr a, std::string& message);
// code: DBE_TYPE_UNKNOWN_NAME for an unknown function, DBE_TYPE_MISMATCH for
// wrong arguments.
NodePtr makeFunction(const std::string& name, std::vector<NodePtr> args, int& code,
                     std::string& message);

}  // namespace dbe
