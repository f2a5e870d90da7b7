#pragma once
// Batch mode: every input line "X<TAB>OP<TAB>Y" (LF or CR LF ended; a last line without an
// end counts) gives one output line, in order. Memory stays bounded by one input block and the
// longest line, however many lines come. A malformed line gives a numbered message and no
// output line; every other line is still answered.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/byte_io.h"
#include "cli/evaluator.h"
#include "cli/output_buffer.h"

namespace zendrel::cli {

// Splits a ByteInput into lines, reading it in large blocks. Whatever the output buffer holds
// is written out before every read, so a person typing at a terminal sees each answer before
// the next line is read, while a file is answered in large blocks.
class LineReader {
 public:
  // 64 KiB per read call keeps the system-call cost per line negligible.
  static constexpr std::size_t kBlockSize = 64 * 1024;

  LineReader(ByteInput& input, OutputBuffer& flushBeforeRead);

  // The next line without its "\n"; valid until the next call. False at the end of the input
  // or after a read error.
  bool next(std::string_view& line);

  // True when the last line is known to hold no byte of 0x80 or more (each block is checked
  // once as it is read); false when it may hold one.
  bool lineIsAscii() const { return lineIsAscii_; }

  // The errno of a failed read, 0 if none failed.
  int readError() const { return readError_; }

 private:
  bool refill();

  ByteInput& input_;
  OutputBuffer& flushBeforeRead_;
  std::vector<char> block_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::string carried_;  // the start of a line that continues in the next block
  bool blockIsAscii_ = false;
  bool lineIsAscii_ = false;
  bool atEnd_ = false;
  int readError_ = 0;
};

struct BatchSummary {
  std::uint64_t lines = 0;
  std::uint64_t malformedLines = 0;
  int readError = 0;   // errno of a failed read of the input, 0 if none
  int writeError = 0;  // errno of a failed write of the output, 0 if none
};

// Answers every line of input into out (flushed at the end); messages go to diagnostics.
// Stops early only when the input cannot be read or the output cannot be written.
BatchSummary runBatch(ByteInput& input, OutputBuffer& out, ByteOutput& diagnostics,
                      Evaluator& evaluator);

}  // namespace zendrel::cli
