#include "cli/evaluator.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "core/number_to_text.h"
#include "core/text_to_number.h"
#include "ui/code_page_936.h"

namespace zendrel::cli {

namespace {

// Eight bytes at a time: a byte of 0x80 or more sets a bit of kHighBits in its word.
bool isAscii(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  std::uint64_t any = 0;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    any |= word;
  }
  for (; i < bytes.size(); ++i) any |= static_cast<unsigned char>(bytes[i]);
  return (any & kHighBits) == 0;
}

}  // namespace

std::array<char, 16> hexBits(double value) {
  constexpr char kHex[] = "0123456789abcdef";
  std::array<char, 16> digits{};
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 15; i >= 0; --i, bits >>= 4) digits[i] = kHex[bits & 0xF];
  return digits;
}

void Evaluator::evaluate(Operator op, std::string_view first, std::string_view second,
                         OutputBuffer& out) {
  const double x = operandValue(first);
  const double y = operandValue(second);
  const double result = applyOperator(op, x, y);
  out.append(numberToText(result));
  if (withBits_) {
    const std::array<char, 16> digits = hexBits(result);
    out.append('\t');
    out.append(std::string_view(digits.data(), digits.size()));
  }
  out.append('\n');
}

double Evaluator::operandValue(std::string_view operand) {
  // ASCII reads the same in UTF-8 and in code page 936, so only other text is converted.
  if (encoding_ == OperandEncoding::CodePage936 || isAscii(operand)) return textToNumber(operand);
  converted_ =
      utf8ToCodePage936(QByteArrayView(operand.data(), static_cast<qsizetype>(operand.size())));
  return textToNumber(converted_);
}

}  // namespace zendrel::cli
