#pragma once
// The command line of zendrel-calc. Only four arguments are options: --bits, --gbk, --help and
// --version, and only before the first operand; "--" ends the options. Any other argument
// that begins with "--" in that place is an unknown option. Every other argument, "-5" and "-"
// included, is an operand, and so is every argument after the first operand or after "--".

#include <span>
#include <string>
#include <string_view>

#include "core/extended_arithmetic.h"

namespace zendrel::cli {

enum class Action {
  Calculate,  // X OP Y from the command line
  Batch,      // no operands: one request per line of standard input
  Help,
  Version,
  Misuse,     // the command line is wrong; problem says how
};

struct CommandLine {
  Action action = Action::Batch;
  bool withBits = false;  // --bits
  bool rawBytes = false;  // --gbk: operands are code page 936 bytes as they are
  std::string_view first;
  Operator op = Operator::Add;
  std::string_view second;
  std::string problem;  // one line naming what is wrong, for Action::Misuse
};

// arguments excludes the program name. --help and --version act as soon as they are met.
CommandLine parseCommandLine(std::span<const std::string_view> arguments);

// "Usage: ..." lines for a misuse message; the full text of --help.
std::string_view usageText();
std::string_view helpText();

}  // namespace zendrel::cli
