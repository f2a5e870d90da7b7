// The command answers exactly what calculate writes into the window's result box: the same
// texts through the same steps, in both operand encodings; --bits shows the value behind it.

#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "calc_form.h"
#include "cli/diagnostics.h"
#include "cli/evaluator.h"
#include "cli/output_buffer.h"
#include "core/calculator.h"
#include "core/number_to_text.h"
#include "memory_streams.h"
#include "ui/code_page_936.h"

namespace zendrel::cli {
namespace {

using testing::CalcForm;
using testing::StringOutput;

constexpr std::uint64_t kSeed = 0x2041'0070;

// Operand texts that reach every branch of the conversions: the awkward rows of the reading
// and writing rules, specials, garbage, full-width forms in both encodings.
const std::vector<std::string> kAwkwardTexts = {
    "", "0", "-0", "1", "2", "-5", "12.5", "-3.75e-5", "0.043", "6.9", "0.27", "3.09", "70",
    "2041", "9007199254740995", "18014398509481987", "8.4121740480702778375e-273",
    "2.4703282292062328e-324", "4.9e-324", "1234567890122.5", "9999999999999.5", "1e308",
    "1.7976931348623157e308", "1e400", "-1e400", "1e-400", "  12abc", "abc", ".5", "5.", "1.#INF",
    "+7", "1e", "1e+", "0x10", "1d3", "\t\n 3",
    "１２", "０．５", "\xE3\x80\x80" "7", "12345678１", "1234567８", "\xF0\x9F\x98\x80" "5", "\xFF" "5",
    "\xA3\xB1\xA3\xB2", "\xA3\xAD\xA3\xB3"};

std::uint64_t nextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15);  // splitmix64
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
  return z ^ (z >> 31);
}

// "-d.ddd…e±x" with 1 to 26 digits and exponents beyond both ends of the double range.
std::string randomDecimalText(std::uint64_t& state) {
  std::string text = nextRandom(state) % 2 ? "-" : "";
  const int digits = 1 + static_cast<int>(nextRandom(state) % 26);
  for (int i = 0; i < digits; ++i) {
    text += static_cast<char>('0' + nextRandom(state) % 10);
    if (i == 0) text += '.';
  }
  text += 'e' + std::to_string(static_cast<int>(nextRandom(state) % 700) - 350);
  return text;
}

std::vector<std::string> operandTexts() {
  std::vector<std::string> texts = kAwkwardTexts;
  std::uint64_t state = kSeed;
  for (int i = 0; i < 150; ++i) texts.push_back(randomDecimalText(state));
  return texts;
}

std::string windowAnswer(int operatorIndex, const Text& first, const Text& second) {
  CalcForm form;
  form.operatorIndex = operatorIndex;
  form.firstOperand = first;
  form.secondOperand = second;
  calculate(form);
  return form.result;
}

std::string commandAnswer(OperandEncoding encoding, Operator op, const std::string& first,
                          const std::string& second) {
  StringOutput sink;
  OutputBuffer out(sink);
  Evaluator evaluator(encoding, true);
  evaluator.evaluate(op, first, second, out);
  out.flush();
  return sink.bytes;
}

// The text before the TAB must be the window's, and the bits after it a double shown so.
void expectSameAnswer(const std::string& command, const std::string& window,
                      const std::string& first, const std::string& second, int op) {
  const std::size_t tab = command.find('\t');
  ASSERT_NE(tab, std::string::npos) << command;
  ASSERT_EQ(command.size(), tab + 1 + 16 + 1) << command;
  const std::string text = command.substr(0, tab);
  const std::uint64_t bits = std::stoull(command.substr(tab + 1, 16), nullptr, 16);
  EXPECT_EQ(text, window) << "operator " << op << ", operands " << quoteBytes(first) << " and "
                          << quoteBytes(second) << ", seed 0x" << std::hex << kSeed;
  EXPECT_EQ(numberToText(std::bit_cast<double>(bits)), window)
      << "bits 0x" << std::hex << bits << " for operands " << quoteBytes(first) << " and "
      << quoteBytes(second) << ", operator " << op;
}

TEST(Evaluator, CodePageBytesGiveTheWindowsAnswer) {
  const std::vector<std::string> texts = operandTexts();
  for (int op = 0; op < 4; ++op) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const std::string& first = texts[i];
      const std::string& second = texts[(i * 7 + static_cast<std::size_t>(op)) % texts.size()];
      expectSameAnswer(commandAnswer(OperandEncoding::CodePage936, static_cast<Operator>(op),
                                     first, second),
                       windowAnswer(op, first, second), first, second, op);
    }
  }
}

TEST(Evaluator, Utf8GivesTheWindowsAnswerForTheTypedText) {
  // The window converts whatever is typed; the command skips the conversion for ASCII only.
  const std::vector<std::string> texts = operandTexts();
  for (int op = 0; op < 4; ++op) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const std::string& first = texts[i];
      const std::string& second = texts[(i * 5 + static_cast<std::size_t>(op)) % texts.size()];
      const std::string window = windowAnswer(op, utf8ToCodePage936(QByteArrayView(first)),
                                              utf8ToCodePage936(QByteArrayView(second)));
      expectSameAnswer(commandAnswer(OperandEncoding::Utf8, static_cast<Operator>(op), first,
                                     second),
                       window, first, second, op);
    }
  }
}

TEST(Evaluator, AnswersStayWholeWhereTheOutputBufferFills) {
  // Answers are written in place into the buffer, 20 to 38 bytes each: wherever one meets the
  // buffer's end, it must go out whole and in order.
  const std::vector<std::string> texts = operandTexts();
  StringOutput sink;
  OutputBuffer out(sink);
  for (const bool withBits : {true, false}) {
    Evaluator evaluator(OperandEncoding::CodePage936, withBits);
    std::string expected;
    sink.bytes.clear();
    for (std::size_t i = 0; expected.size() < 3 * OutputBuffer::kCapacity + 1000; ++i) {
      const std::string& first = texts[i % texts.size()];
      const std::string& second = texts[(i / texts.size() + i * 3) % texts.size()];
      const auto op = static_cast<Operator>(i % 4);
      const std::string answer = commandAnswer(OperandEncoding::CodePage936, op, first, second);
      expected += withBits ? answer : answer.substr(0, answer.find('\t')) + "\n";
      evaluator.evaluate(op, first, second, out);
    }
    out.flush();
    ASSERT_EQ(sink.bytes.size(), expected.size()) << "with bits: " << withBits;
    EXPECT_TRUE(sink.bytes == expected) << "with bits: " << withBits;
  }
  EXPECT_GE(sink.writes, 6);
}

TEST(Evaluator, HexBitsAreSixteenLowercaseDigits) {
  struct Case {
    std::uint64_t bits;
    const char* hex;
  };
  for (const Case& c : {Case{0, "0000000000000000"}, Case{0x4008000000000000, "4008000000000000"},
                        Case{0xFFF8000000000000, "fff8000000000000"},
                        Case{0x0123456789ABCDEF, "0123456789abcdef"},
                        Case{0x0000000000000001, "0000000000000001"}}) {
    const std::array<char, 16> digits = hexBits(std::bit_cast<double>(c.bits));
    EXPECT_EQ(std::string(digits.data(), digits.size()), c.hex);
  }
}

}  // namespace
}  // namespace zendrel::cli
