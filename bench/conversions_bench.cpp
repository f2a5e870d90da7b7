// The calculator's conversions and arithmetic timed beside the library routines they are
// measured against, on the same inputs in the same run; ends with each pair's time ratio and
// whether it meets its goal.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/operand_mix.h"
#include "core/extended_arithmetic.h"
#include "core/number_to_text.h"
#include "core/text_to_number.h"

namespace zendrel::bench {
namespace {

// 65536 inputs: a stream that does not repeat within what the processor's branch predictors
// remember, as a batch's lines do not. With a few thousand the predictors learn the sequence,
// and every branch on the data looks free, for the yardsticks as for the calculator. A power
// of two, so the next index is a mask.
constexpr std::size_t kInputCount = 65536;
constexpr std::size_t kIndexMask = kInputCount - 1;

const std::vector<std::string>& texts() {
  static const std::vector<std::string> inputs = operandTexts(kInputCount);
  return inputs;
}

const std::vector<double>& values() {
  static const std::vector<double> inputs = operandValues(texts());
  return inputs;
}

// Quotients, repeated to fill kInputCount (a few divisions give no finite non-zero result).
const std::vector<double>& quotients() {
  static const std::vector<double> inputs = [] {
    const std::vector<double> found = divisionResults(values());
    std::vector<double> filled;
    for (std::size_t i = 0; i < kInputCount; ++i) filled.push_back(found[i % found.size()]);
    return filled;
  }();
  return inputs;
}

const std::vector<Operator>& operators() {
  static const std::vector<Operator> inputs = operatorMix(kInputCount);
  return inputs;
}

// Text to number ---------------------------------------------------------------------------

void BM_TextToNumber(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(textToNumber(texts()[i]));
    i = (i + 1) & kIndexMask;
  }
}

void BM_Strtod(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::strtod(texts()[i].c_str(), nullptr));
    i = (i + 1) & kIndexMask;
  }
}

void BM_FromChars(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& text = texts()[i];
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    benchmark::DoNotOptimize(value);
    i = (i + 1) & kIndexMask;
  }
}

// Number to text ---------------------------------------------------------------------------

void BM_NumberToText(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(numberToText(quotients()[i]));
    i = (i + 1) & kIndexMask;
  }
}

void BM_Snprintf13g(benchmark::State& state) {
  std::size_t i = 0;
  char buffer[32];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.13g", quotients()[i]));
    benchmark::ClobberMemory();
    i = (i + 1) & kIndexMask;
  }
}

void BM_ToChars13(benchmark::State& state) {
  std::size_t i = 0;
  char buffer[32];
  for (auto _ : state) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, quotients()[i],
                                      std::chars_format::general, 13);
    benchmark::DoNotOptimize(result.ptr);
    benchmark::ClobberMemory();
    i = (i + 1) & kIndexMask;
  }
}

// Arithmetic -------------------------------------------------------------------------------

void BM_ApplyOperator(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t j = (i + 1) & kIndexMask;
    benchmark::DoNotOptimize(applyOperator(operators()[i], values()[i], values()[j]));
    i = j;
  }
}

double nativeOperator(Operator op, double x, double y) {
  switch (op) {
    case Operator::Add: return x + y;
    case Operator::Subtract: return x - y;
    case Operator::Multiply: return x * y;
    case Operator::Divide: return x / y;
  }
  return 0;
}

void BM_NativeOperator(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t j = (i + 1) & kIndexMask;
    benchmark::DoNotOptimize(nativeOperator(operators()[i], values()[i], values()[j]));
    i = j;
  }
}

BENCHMARK(BM_TextToNumber);
BENCHMARK(BM_Strtod);
BENCHMARK(BM_FromChars);
BENCHMARK(BM_NumberToText);
BENCHMARK(BM_Snprintf13g);
BENCHMARK(BM_ToChars13);
BENCHMARK(BM_ApplyOperator);
BENCHMARK(BM_NativeOperator);

// The console report, keeping each benchmark's time per item for the ratios: the median of
// its repetitions when it is repeated, otherwise its one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> nanoseconds;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        nanoseconds[name] = run.GetAdjustedCPUTime();
        medians_[name] = true;
      } else if (run.run_type == Run::RT_Iteration && !medians_[name]) {
        nanoseconds[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  std::map<std::string, bool> medians_;
};

struct Pair {
  const char* label;
  const char* measured;
  const char* yardstick;
  double goal;  // the largest time ratio allowed; 0 for a pair shown for comparison only
};

constexpr Pair kPairs[] = {
    {"textToNumber / from_chars", "BM_TextToNumber", "BM_FromChars", 2.5},
    {"textToNumber / strtod", "BM_TextToNumber", "BM_Strtod", 0},
    {"from_chars / strtod", "BM_FromChars", "BM_Strtod", 0},
    {"numberToText / to_chars", "BM_NumberToText", "BM_ToChars13", 2.0},
    {"numberToText / snprintf", "BM_NumberToText", "BM_Snprintf13g", 0},
    {"to_chars / snprintf", "BM_ToChars13", "BM_Snprintf13g", 0},
    {"applyOperator / native", "BM_ApplyOperator", "BM_NativeOperator", 0},
};

// Prints the summary; false when a goal is missed.
bool printRatios(const std::map<std::string, double>& nanoseconds) {
  bool allMet = true;
  std::printf("\nRatios (time per item; below 1 is faster than the yardstick):\n");
  for (const Pair& pair : kPairs) {
    const auto measured = nanoseconds.find(pair.measured);
    const auto yardstick = nanoseconds.find(pair.yardstick);
    if (measured == nanoseconds.end() || yardstick == nanoseconds.end()) continue;
    const double ratio = measured->second / yardstick->second;
    std::printf("  %-28s %6.2fx  (%.1f ns / %.1f ns)", pair.label, ratio, measured->second,
                yardstick->second);
    if (pair.goal > 0) {
      const bool met = ratio <= pair.goal;
      allMet = allMet && met;
      std::printf("  goal <= %.1fx: %s", pair.goal, met ? "met" : "MISSED");
    }
    std::printf("\n");
  }
  return allMet;
}

}  // namespace
}  // namespace zendrel::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  zendrel::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return zendrel::bench::printRatios(reporter.nanoseconds) ? 0 : 1;
}
