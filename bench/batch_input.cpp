// zendrel-bench-input LINES: writes LINES batch requests "X<TAB>OP<TAB>Y" of the benchmark
// operand mix to standard output, the same file on every run.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/operand_mix.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zendrel-bench-input LINES\n");
    return 2;
  }
  const std::size_t lines = std::strtoull(argv[1], nullptr, 10);
  const std::vector<std::string> operands = zendrel::bench::operandTexts(2 * lines);
  const std::vector<zendrel::Operator> ops = zendrel::bench::operatorMix(lines);
  constexpr char kSymbols[] = {'+', '-', '*', '/'};  // in the order of Operator
  std::string out;
  for (std::size_t i = 0; i < lines; ++i) {
    out += operands[2 * i];
    out += '\t';
    out += kSymbols[static_cast<int>(ops[i])];
    out += '\t';
    out += operands[2 * i + 1];
    out += '\n';
  }
  return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0 : 1;
}
