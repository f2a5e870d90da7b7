#pragma once
// Evaluator: one request of the command line, X OP Y, answered with one output line: the
// result text exactly as the window's result box would show it, then with --bits a TAB and
// the result's IEEE 754 bits as 16 lowercase hex digits, then a newline. It runs the same core
// steps as calculate, in the same order: textToNumber of the first operand, then of the
// second, applyOperator, numberToText.

#include <array>
#include <string_view>

#include "cli/output_buffer.h"
#include "core/extended_arithmetic.h"
#include "core/text.h"

namespace zendrel::cli {

enum class OperandEncoding {
  Utf8,         // the locale's text, converted to code page 936 as the window converts typing
  CodePage936,  // taken byte for byte (--gbk)
};

class Evaluator {
 public:
  Evaluator(OperandEncoding encoding, bool withBits) : encoding_(encoding), withBits_(withBits) {}

  void evaluate(Operator op, std::string_view first, std::string_view second, OutputBuffer& out);
  // As evaluate, for operands known to hold no byte of 0x80 or more: ASCII reads the same in
  // both encodings, so they go to the core as they are.
  void evaluateAscii(Operator op, std::string_view first, std::string_view second,
                     OutputBuffer& out);

 private:
  void answer(double result, OutputBuffer& out);
  double operandValue(std::string_view operand);

  OperandEncoding encoding_;
  bool withBits_;
  Text converted_;  // an operand in code page 936 when it had to be converted
};

// The 16 lowercase hex digits of a double's bit pattern, most significant first.
std::array<char, 16> hexBits(double value);

}  // namespace zendrel::cli
