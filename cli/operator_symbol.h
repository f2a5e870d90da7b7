#pragma once
// The four operator symbols of the command line, "+", "-", "*" and "/", in the order of the
// window's operator list; nothing else (no spaces, no full-width forms) names an operator.

#include <optional>
#include <string_view>

#include "core/extended_arithmetic.h"

namespace zendrel::cli {

inline std::optional<Operator> parseOperatorSymbol(std::string_view symbol) {
  if (symbol.size() != 1) return std::nullopt;
  switch (symbol[0]) {
    case '+': return Operator::Add;
    case '-': return Operator::Subtract;
    case '*': return Operator::Multiply;
    case '/': return Operator::Divide;
    default: return std::nullopt;
  }
}

// The entry of the window's operator list that shows the operator.
inline int operatorListIndex(Operator op) { return static_cast<int>(op); }

}  // namespace zendrel::cli
