#include "cli/command.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "cli/batch.h"
#include "cli/diagnostics.h"
#include "cli/evaluator.h"
#include "cli/options.h"
#include "cli/output_buffer.h"

namespace zendrel::cli {

namespace {

// True when all output was written. A failed write is reported, except when the reader has
// gone (EPIPE): that ends the command quietly, as it does any program in a pipeline.
bool outputEndedWell(ByteOutput& diagnostics, int writeError) {
  if (writeError == 0) return true;
  if (writeError != EPIPE) {
    report(diagnostics, std::string("cannot write standard output: ") + std::strerror(writeError));
  }
  return false;
}

int writeText(std::string_view text, ByteOutput& output, ByteOutput& diagnostics) {
  return outputEndedWell(diagnostics, output.write(text)) ? kExitSuccess : kExitFailedRequests;
}

int misuse(const CommandLine& line, ByteOutput& diagnostics) {
  report(diagnostics, line.problem);
  diagnostics.write(usageText());
  return kExitMisuse;
}

Evaluator makeEvaluator(const CommandLine& line) {
  return Evaluator(line.rawBytes ? OperandEncoding::CodePage936 : OperandEncoding::Utf8,
                   line.withBits);
}

int calculateOnce(const CommandLine& line, ByteOutput& output, ByteOutput& diagnostics) {
  OutputBuffer out(output);
  Evaluator evaluator = makeEvaluator(line);
  evaluator.evaluate(line.op, line.first, line.second, out);
  out.flush();
  return outputEndedWell(diagnostics, out.error()) ? kExitSuccess : kExitFailedRequests;
}

int calculateBatch(const CommandLine& line, ByteInput& input, ByteOutput& output,
                   ByteOutput& diagnostics) {
  OutputBuffer out(output);
  Evaluator evaluator = makeEvaluator(line);
  const BatchSummary summary = runBatch(input, out, diagnostics, evaluator);
  if (summary.readError != 0) {
    report(diagnostics,
           std::string("cannot read standard input: ") + std::strerror(summary.readError));
  }
  const bool wroteAll = outputEndedWell(diagnostics, summary.writeError);
  const bool allAnswered = wroteAll && summary.readError == 0 && summary.malformedLines == 0;
  return allAnswered ? kExitSuccess : kExitFailedRequests;
}

}  // namespace

int runCommand(std::span<const std::string_view> arguments, ByteInput& input, ByteOutput& output,
               ByteOutput& diagnostics) {
  const CommandLine line = parseCommandLine(arguments);
  switch (line.action) {
    case Action::Help:
      return writeText(helpText(), output, diagnostics);
    case Action::Version:
      return writeText(std::string(kProgramName) + " " ZENDREL_VERSION "\n", output, diagnostics);
    case Action::Misuse:
      return misuse(line, diagnostics);
    case Action::Calculate:
      return calculateOnce(line, output, diagnostics);
    case Action::Batch:
      break;
  }
  return calculateBatch(line, input, output, diagnostics);
}

}  // namespace zendrel::cli
