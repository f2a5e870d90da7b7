#include "cli/evaluator.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "cli/ascii.h"
#include "core/number_to_text.h"
#include "core/text_to_number.h"
#include "ui/code_page_936.h"

namespace zendrel::cli {

namespace {

// The two lowercase hex digits of every byte value, so that a byte costs one lookup.
constexpr std::array<std::array<char, 2>, 256> kHexPairs = [] {
  constexpr char kHex[] = "0123456789abcdef";
  std::array<std::array<char, 2>, 256> pairs{};
  for (std::size_t byte = 0; byte < 256; ++byte) pairs[byte] = {kHex[byte >> 4], kHex[byte & 0xF]};
  return pairs;
}();

}  // namespace

std::array<char, 16> hexBits(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  std::array<char, 16> digits;
  for (std::size_t i = 0; i < 8; ++i) {
    const std::array<char, 2>& pair = kHexPairs[(bits >> (56 - 8 * i)) & 0xFF];
    digits[2 * i] = pair[0];
    digits[2 * i + 1] = pair[1];
  }
  return digits;
}

void Evaluator::evaluate(Operator op, std::string_view first, std::string_view second,
                         OutputBuffer& out) {
  const double x = operandValue(first);
  const double y = operandValue(second);
  answer(applyOperator(op, x, y), out);
}

void Evaluator::evaluateAscii(Operator op, std::string_view first, std::string_view second,
                              OutputBuffer& out) {
  const double x = textToNumber(first);
  const double y = textToNumber(second);
  answer(applyOperator(op, x, y), out);
}

void Evaluator::answer(double result, OutputBuffer& out) {
  // The line is written in place. Its room covers the text's working room, and the TAB, 16 hex
  // digits and newline that follow the text's at most 20 bytes.
  constexpr std::size_t kLineRoom = kNumberTextRoom + 18;
  char* const line = out.room(kLineRoom);
  const std::span<char, kNumberTextRoom> textRoom(line, kNumberTextRoom);
  std::size_t length = numberToText(result, textRoom);
  if (withBits_) {
    const std::array<char, 16> digits = hexBits(result);
    line[length++] = '\t';
    std::memcpy(line + length, digits.data(), digits.size());
    length += digits.size();
  }
  line[length++] = '\n';
  out.commit(length);
}

double Evaluator::operandValue(std::string_view operand) {
  // ASCII reads the same in UTF-8 and in code page 936, so only other text is converted.
  if (encoding_ == OperandEncoding::CodePage936 || isAscii(operand)) return textToNumber(operand);
  converted_ =
      utf8ToCodePage936(QByteArrayView(operand.data(), static_cast<qsizetype>(operand.size())));
  return textToNumber(converted_);
}

}  // namespace zendrel::cli
