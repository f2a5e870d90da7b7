#include "cli/batch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "cli/ascii.h"
#include "cli/diagnostics.h"
#include "cli/operator_symbol.h"

namespace zendrel::cli {

LineReader::LineReader(ByteInput& input, OutputBuffer& flushBeforeRead)
    : input_(input), flushBeforeRead_(flushBeforeRead), block_(kBlockSize) {}

bool LineReader::next(std::string_view& line) {
  carried_.clear();
  for (;;) {
    const char* start = block_.data() + begin_;
    const std::size_t available = end_ - begin_;
    if (const void* newline = std::memchr(start, '\n', available)) {
      const auto length = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      begin_ += length + 1;
      if (carried_.empty()) {
        line = std::string_view(start, length);
        lineIsAscii_ = blockIsAscii_;
      } else {
        carried_.append(start, length);
        line = carried_;
        lineIsAscii_ = false;  // unknown: rare enough to leave to the operands' own check
      }
      return true;
    }
    carried_.append(start, available);
    begin_ = end_ = 0;
    if (!refill()) {
      // A last line without "\n" is still a line; what a failed read interrupted is not.
      line = carried_;
      lineIsAscii_ = false;
      return readError_ == 0 && !carried_.empty();
    }
  }
}

bool LineReader::refill() {
  if (atEnd_) return false;
  flushBeforeRead_.flush();
  const std::ptrdiff_t count = input_.read(block_.data(), block_.size());
  if (count > 0) {
    end_ = static_cast<std::size_t>(count);
    blockIsAscii_ = isAscii(std::string_view(block_.data(), end_));
    return true;
  }
  atEnd_ = true;
  if (count < 0) readError_ = errno;
  return false;
}

namespace {

struct Request {
  std::string_view first;
  Operator op = Operator::Add;
  std::string_view second;
};

std::string_view withoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The position of the first TAB at or after from. A line's second TAB is looked for from just
// after its first; a one-byte operator puts it one byte further, so that case costs no search.
std::size_t tabFrom(std::string_view line, std::size_t from) {
  if (from + 1 < line.size() && line[from] != '\t' && line[from + 1] == '\t') return from + 1;
  return line.find('\t', from);
}

// The request on a line, or the reason it is malformed.
std::optional<Request> parseLine(std::string_view line, std::string& problem) {
  const std::size_t firstTab = line.find('\t');
  const std::size_t secondTab =
      firstTab == std::string_view::npos ? firstTab : tabFrom(line, firstTab + 1);
  const bool threeFields = secondTab != std::string_view::npos &&
                           line.find('\t', secondTab + 1) == std::string_view::npos;
  if (!threeFields) {
    const auto fields = 1 + std::count(line.begin(), line.end(), '\t');
    problem = "expected 3 TAB-separated fields (X, OP, Y), found " + std::to_string(fields);
    return std::nullopt;
  }
  const std::string_view symbol = line.substr(firstTab + 1, secondTab - firstTab - 1);
  const std::optional<Operator> op = parseOperatorSymbol(symbol);
  if (!op) {
    problem = "bad operator " + quoteBytes(symbol) + " (expected one of + - * /)";
    return std::nullopt;
  }
  return Request{line.substr(0, firstTab), *op, line.substr(secondTab + 1)};
}

void reportMalformedLine(ByteOutput& diagnostics, OutputBuffer& out, std::uint64_t number,
                         std::string_view problem) {
  // The answers to earlier lines go out first, so both streams read in line order.
  out.flush();
  report(diagnostics, "line " + std::to_string(number) + ": " + std::string(problem));
}

}  // namespace

BatchSummary runBatch(ByteInput& input, OutputBuffer& out, ByteOutput& diagnostics,
                      Evaluator& evaluator) {
  BatchSummary summary;
  LineReader reader(input, out);
  std::string problem;
  std::string_view line;
  while (!out.failed() && reader.next(line)) {
    ++summary.lines;
    if (const std::optional<Request> request = parseLine(withoutCarriageReturn(line), problem)) {
      if (reader.lineIsAscii()) {
        evaluator.evaluateAscii(request->op, request->first, request->second, out);
      } else {
        evaluator.evaluate(request->op, request->first, request->second, out);
      }
    } else {
      ++summary.malformedLines;
      reportMalformedLine(diagnostics, out, summary.lines, problem);
    }
  }
  out.flush();
  summary.readError = reader.readError();
  summary.writeError = out.error();
  return summary;
}

}  // namespace zendrel::cli
