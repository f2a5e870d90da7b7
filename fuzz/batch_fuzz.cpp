// zendrel-calc's batch input on any bytes, in both encodings: no crash, and every input line
// gives exactly one output line or exactly one error line.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/batch.h"
#include "tests/cli/memory_streams.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

std::size_t linesIn(const std::string& bytes) {
  const auto ends = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  return ends + (!bytes.empty() && bytes.back() != '\n' ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zendrel::cli;
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (const auto encoding : {OperandEncoding::Utf8, OperandEncoding::CodePage936}) {
    testing::ChunkedInput in(input, 1 + size % 7);  // line ends fall anywhere within reads
    testing::StringOutput sink, diagnostics;
    OutputBuffer out(sink);
    Evaluator evaluator(encoding, size % 2 == 0);
    const BatchSummary summary = runBatch(in, out, diagnostics, evaluator);
    check(summary.readError == 0 && summary.writeError == 0);
    const std::size_t answered = linesIn(sink.bytes);
    const std::size_t reported = linesIn(diagnostics.bytes);
    check(answered + reported == linesIn(input));
    check(summary.malformedLines == reported);
  }
  return 0;
}
