// zendrel-calc: the calculator's exact answers for scripts and bulk use (see --help).

#include <string_view>
#include <vector>

#include "cli/byte_io.h"
#include "cli/command.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  zendrel::cli::FdInput input(0);
  zendrel::cli::FdOutput output(1);
  zendrel::cli::FdOutput diagnostics(2);
  return zendrel::cli::runCommand(arguments, input, output, diagnostics);
}
