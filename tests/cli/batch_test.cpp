// The batch loop on in-memory streams: line splitting wherever the reads end, malformed lines,
// answers written before each read, and stopping when the output or the input fails.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/evaluator.h"
#include "cli/output_buffer.h"
#include "memory_streams.h"

namespace zendrel::cli {
namespace {

using testing::ChunkedInput;
using testing::EndlessInput;
using testing::StringOutput;

struct BatchRun {
  BatchSummary summary;
  std::string output;
  std::string diagnostics;
};

BatchRun runOn(ByteInput& input, OutputBuffer& out, StringOutput& sink, bool withBits = false) {
  StringOutput diagnostics;
  Evaluator evaluator(OperandEncoding::Utf8, withBits);
  BatchRun run;
  run.summary = runBatch(input, out, diagnostics, evaluator);
  run.output = sink.bytes;
  run.diagnostics = diagnostics.bytes;
  return run;
}

BatchRun runOn(const std::string& input, std::size_t chunkSize, bool withBits = false) {
  ChunkedInput source(input, chunkSize);
  StringOutput sink;
  OutputBuffer out(sink);
  return runOn(source, out, sink, withBits);
}

// A line longer than a read block, so that it is carried across blocks.
std::string longLine() {
  return std::string(LineReader::kBlockSize + 1000, ' ') + "12.5\t+\t1\n";
}

const std::string kMixedBatch = "1\t+\t2\n"             // 1
                                "6\t*\t7\r\n"           // 2: CR LF
                                "\n"                    // 3: empty
                                "1\t+\t2\t3\n"          // 4: four fields
                                "5\tx\t2\n"             // 5: bad operator
                                "\t-\t5\n"              // 6: empty first operand is 0
                                "\r\n"                  // 7: empty too
                                + longLine() +          // 8
                                "1\t/\t4";              // 9: no line end

const std::string kMixedBatchOutput = "3\n42\n-5\n13.5\n0.25\n";
const std::string kMixedBatchDiagnostics =
    "zendrel-calc: line 3: expected 3 TAB-separated fields (X, OP, Y), found 1\n"
    "zendrel-calc: line 4: expected 3 TAB-separated fields (X, OP, Y), found 4\n"
    "zendrel-calc: line 5: bad operator \"x\" (expected one of + - * /)\n"
    "zendrel-calc: line 7: expected 3 TAB-separated fields (X, OP, Y), found 1\n";

TEST(Batch, AnswersWellFormedLinesAndNumbersTheOthers) {
  const BatchRun run = runOn(kMixedBatch, LineReader::kBlockSize);
  EXPECT_EQ(run.output, kMixedBatchOutput);
  EXPECT_EQ(run.diagnostics, kMixedBatchDiagnostics);
  EXPECT_EQ(run.summary.lines, 9u);
  EXPECT_EQ(run.summary.malformedLines, 4u);
  EXPECT_EQ(run.summary.readError, 0);
  EXPECT_EQ(run.summary.writeError, 0);
}

TEST(Batch, AHundredMegabyteLineWithoutALineEndIsAnswered) {
  // 100 MB of digits in the first operand, carried over some 1600 read blocks.
  std::string line = "1" + std::string(100'000'000, '0') + "\t-\t";
  line += "\xEF\xBC\x91";  // a full-width 1 as the second operand
  const BatchRun run = runOn(line, LineReader::kBlockSize);
  EXPECT_EQ(run.output, "1.#INF\n");
  EXPECT_EQ(run.diagnostics, "");
  EXPECT_EQ(run.summary.lines, 1u);
}

TEST(Batch, ResultDoesNotDependOnWhereReadsEnd) {
  for (const std::size_t chunkSize : {1, 2, 3, 5, 7, 4096}) {
    SCOPED_TRACE("chunk size " + std::to_string(chunkSize));
    const BatchRun run = runOn(kMixedBatch, chunkSize);
    EXPECT_EQ(run.output, kMixedBatchOutput);
    EXPECT_EQ(run.diagnostics, kMixedBatchDiagnostics);
  }
}

TEST(Batch, LineEndsAreNotLines) {
  struct Case {
    const char* input;
    std::uint64_t lines;
  };
  for (const Case& c : {Case{"", 0}, Case{"1\t+\t1\n", 1}, Case{"1\t+\t1", 1},
                        Case{"1\t+\t1\r\n", 1}, Case{"1\t+\t1\n\n", 2}}) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(runOn(c.input, 3).summary.lines, c.lines);
  }
}

TEST(Batch, BitsFollowTheTextAfterATab) {
  EXPECT_EQ(runOn("1\t+\t2\n-0\t*\t5\n", 64, true).output,
            "3\t4008000000000000\n0\t8000000000000000\n");
}

// Reads one chunk per call and notes what had been written out by the time of each read.
class WatchingInput final : public ByteInput {
 public:
  WatchingInput(std::vector<std::string> chunks, const StringOutput& sink)
      : chunks_(std::move(chunks)), sink_(sink) {}
  std::vector<std::string> writtenAtRead;

  std::ptrdiff_t read(char* buffer, std::size_t size) override {
    writtenAtRead.push_back(sink_.bytes);
    if (next_ == chunks_.size()) return 0;
    const std::string& chunk = chunks_[next_++];
    const std::size_t count = std::min(size, chunk.size());
    std::copy_n(chunk.data(), count, buffer);
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::vector<std::string> chunks_;
  std::size_t next_ = 0;
  const StringOutput& sink_;
};

TEST(Batch, AnswersAreWrittenBeforeWaitingForMoreInput) {
  // As at a terminal: each read delivers what the user typed since the last one.
  StringOutput sink;
  OutputBuffer out(sink);
  WatchingInput typing({"1\t+\t1\n", "2\t+\t2\n3\t+", "\t3\n"}, sink);
  const BatchRun run = runOn(typing, out, sink);
  EXPECT_EQ(run.output, "2\n4\n6\n");
  const std::vector<std::string> expected = {"", "2\n", "2\n4\n", "2\n4\n6\n"};
  EXPECT_EQ(typing.writtenAtRead, expected);
}

TEST(Batch, FullWidthOperandsAreReadWhereverTheReadsEnd) {
  // UTF-8 lines between ASCII lines, delivered whole, one line per read (so reads of pure
  // ASCII alternate with reads that are not), and cut inside a character.
  const std::string first = "1\t+\t2\n";
  const std::string second = "１２\t*\t０．５\n";
  const std::string third = "3\t-\t1\n";
  const std::string fourth = "\xE3\x80\x80" "7\t/\t２\n";  // an ideographic space before the 7
  const std::string all = first + second + third + fourth;
  const std::vector<std::vector<std::string>> readings = {
      {all},
      {first, second, third, fourth},
      {first + "\xEF\xBC", all.substr(first.size() + 2)},
  };
  for (const std::vector<std::string>& chunks : readings) {
    SCOPED_TRACE(std::to_string(chunks.size()) + " reads");
    StringOutput sink;
    OutputBuffer out(sink);
    WatchingInput input(chunks, sink);
    EXPECT_EQ(runOn(input, out, sink).output, "3\n6\n2\n3.5\n");
  }
}

TEST(Batch, FileInputIsWrittenInLargeBlocks) {
  std::string input;
  for (int i = 0; i < 20000; ++i) input += "1\t+\t2\n";
  ChunkedInput source(input, input.size());
  StringOutput sink;
  OutputBuffer out(sink);
  const BatchRun run = runOn(source, out, sink);
  EXPECT_EQ(run.output.size(), 20000u * 2);
  EXPECT_LE(sink.writes, 2);
}

TEST(Batch, StopsReadingWhenTheReaderHasGone) {
  EndlessInput endless("1\t+\t2\n", 100);
  StringOutput sink;
  sink.failAfter(1, EPIPE);
  OutputBuffer out(sink);
  const BatchRun run = runOn(endless, out, sink);
  EXPECT_EQ(run.summary.writeError, EPIPE);
  EXPECT_EQ(run.diagnostics, "");
  EXPECT_EQ(run.output.substr(0, 4), "3\n3\n");
  EXPECT_LE(endless.reads(), 3);
}

TEST(Batch, ReadErrorEndsTheBatchWithoutTheBrokenLine) {
  ChunkedInput source("1\t+\t2\n3\t+\t4\n5\t+", 4);
  source.failAtEndWith(EIO);
  StringOutput sink;
  OutputBuffer out(sink);
  const BatchRun run = runOn(source, out, sink);
  EXPECT_EQ(run.output, "3\n7\n");
  EXPECT_EQ(run.summary.readError, EIO);
  EXPECT_EQ(run.summary.lines, 2u);
}

TEST(Batch, MalformedLineMessagesKeepLineOrderWithTheAnswers) {
  // Both streams go to one place (2>&1): the message comes after the answers before it.
  ChunkedInput source("1\t+\t2\nbad\n3\t+\t4\n", 1 << 16);
  StringOutput both;
  OutputBuffer out(both);
  Evaluator evaluator(OperandEncoding::Utf8, false);
  runBatch(source, out, both, evaluator);
  EXPECT_EQ(both.bytes,
            "3\nzendrel-calc: line 2: expected 3 TAB-separated fields (X, OP, Y), found 1\n7\n");
}

}  // namespace
}  // namespace zendrel::cli
