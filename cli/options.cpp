#include "cli/options.h"

#include <optional>

#include "cli/diagnostics.h"
#include "cli/operator_symbol.h"

namespace zendrel::cli {

namespace {

constexpr std::size_t kOperandCount = 3;  // X OP Y

CommandLine misuse(std::string problem) {
  CommandLine line;
  line.action = Action::Misuse;
  line.problem = std::move(problem);
  return line;
}

bool beginsWithTwoDashes(std::string_view argument) { return argument.starts_with("--"); }

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments) {
  CommandLine line;
  std::size_t next = 0;
  for (; next < arguments.size(); ++next) {
    const std::string_view argument = arguments[next];
    if (argument == "--") {
      ++next;
      break;
    }
    if (argument == "--help") {
      line.action = Action::Help;
      return line;
    }
    if (argument == "--version") {
      line.action = Action::Version;
      return line;
    }
    if (argument == "--bits") {
      line.withBits = true;
    } else if (argument == "--gbk") {
      line.rawBytes = true;
    } else if (beginsWithTwoDashes(argument)) {
      return misuse("unknown option " + quoteBytes(argument));
    } else {
      break;  // the first operand
    }
  }

  const std::span<const std::string_view> operands = arguments.subspan(next);
  if (operands.empty()) {
    line.action = Action::Batch;
    return line;
  }
  if (operands.size() != kOperandCount) {
    return misuse("expected 3 operands X OP Y (or none, to read standard input), got " +
                  std::to_string(operands.size()));
  }
  const std::optional<Operator> op = parseOperatorSymbol(operands[1]);
  if (!op) return misuse("bad operator " + quoteBytes(operands[1]) + " (expected one of + - * /)");
  line.action = Action::Calculate;
  line.first = operands[0];
  line.op = *op;
  line.second = operands[2];
  return line;
}

std::string_view usageText() {
  return "Usage: zendrel-calc [--bits] [--gbk] [--] X OP Y\n"
         "       zendrel-calc [--bits] [--gbk] < requests\n"
         "       zendrel-calc --help | --version\n";
}

std::string_view helpText() {
  return "Usage: zendrel-calc [--bits] [--gbk] [--] X OP Y\n"
         "       zendrel-calc [--bits] [--gbk] < requests\n"
         "       zendrel-calc --help | --version\n"
         "\n"
         "Calculates X OP Y exactly as the Zendrel window does and prints the text its result\n"
         "box would show, then a newline. OP is one of + - * / (quote * for the shell). X and Y\n"
         "are whole operand texts, anything an operand box could hold: leading white space is\n"
         "skipped, full-width digits and signs are read, text after the number is ignored, and\n"
         "a text without a number counts as 0.\n"
         "\n"
         "With no operands, each line of standard input is a request X<TAB>OP<TAB>Y (LF or\n"
         "CR LF line ends) and gives one output line, in order. A malformed line gives\n"
         "\"zendrel-calc: line N: ...\" on standard error and no output line; all other lines\n"
         "are still answered. Answers are written before each read of the input, so a terminal\n"
         "or a co-process sees every answer at once.\n"
         "\n"
         "Options (only before the first operand; \"--\" ends them):\n"
         "  --bits     after the text, a TAB and the result's IEEE 754 bits as 16 hex digits\n"
         "  --gbk      operands are code page 936 (GBK) bytes as they are; without it they are\n"
         "             UTF-8 and converted to code page 936 as the window converts typing, a\n"
         "             character that code page 936 lacks becoming \"?\"\n"
         "  --help     show this text and exit\n"
         "  --version  show the version and exit\n"
         "Any other argument beginning with \"--\" before the operands is an unknown option.\n"
         "An argument beginning with a single \"-\" is an operand: zendrel-calc -5 '*' 3.\n"
         "\n"
         "Exit status: 0 when every request was answered; 1 when a line of standard input was\n"
         "malformed or the input could not be read or the output written; 2 for a wrong\n"
         "command line (unknown option, not three operands, bad operator).\n"
         "\n"
         "Examples:\n"
         "  zendrel-calc 0.1 + 0.2                    prints 0.3\n"
         "  zendrel-calc --bits 1 / 0                 prints 1.#INF<TAB>7ff0000000000000\n"
         "  printf '70\\t/\\t2041\\n' | zendrel-calc\n";
}

}  // namespace zendrel::cli
