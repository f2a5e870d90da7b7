#pragma once
// The four operator symbols of the command line, "+", "-", "*" and "/", in the order of the
// window's operator list; nothing else (no spaces, no full-width forms) names an operator.

#include <iterator>
#include <optional>
#include <string_view>

#include "core/extended_arithmetic.h"

namespace zendrel::cli {

// Looked up rather than switched on: in a batch the operator changes from line to line at
// random, and a switch would mispredict.
inline std::optional<Operator> parseOperatorSymbol(std::string_view symbol) {
  // The symbols lie in '*' (0x2A) .. '/' (0x2F): "*+,-./".
  constexpr std::optional<Operator> kBySymbol[] = {
      Operator::Multiply, Operator::Add, std::nullopt, Operator::Subtract, std::nullopt,
      Operator::Divide};
  if (symbol.size() != 1) return std::nullopt;
  const unsigned offset = static_cast<unsigned char>(symbol[0]) - unsigned{'*'};
  return offset < std::size(kBySymbol) ? kBySymbol[offset] : std::nullopt;
}

// The entry of the window's operator list that shows the operator.
inline int operatorListIndex(Operator op) { return static_cast<int>(op); }

}  // namespace zendrel::cli
