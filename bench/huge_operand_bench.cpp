// Operands of megabytes: textToNumber reads a text of n digits, or of n full-width digits, in
// time linear in n (the digit counts saturate; nothing is kept per digit). Reported per byte
// and fitted to O(n) by the benchmark library.

#include <benchmark/benchmark.h>

#include <string>

#include "core/text_to_number.h"

namespace {

// "1" then n - 1 zeros: every digit is scanned, the value saturates to infinity.
std::string asciiDigits(std::size_t n) {
  std::string text(n, '0');
  text[0] = '1';
  return text;
}

// The same number in full-width digits (two bytes each) of n bytes in all.
std::string fullWidthDigits(std::size_t n) {
  std::string text = "\xA3\xB1";
  while (text.size() < n) text += "\xA3\xB0";
  return text;
}

void readAll(benchmark::State& state, const std::string& text) {
  for (auto _ : state) benchmark::DoNotOptimize(zendrel::textToNumber(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetComplexityN(static_cast<std::int64_t>(text.size()));
}

void BM_TextToNumberAsciiDigits(benchmark::State& state) {
  readAll(state, asciiDigits(static_cast<std::size_t>(state.range(0))));
}

void BM_TextToNumberFullWidthDigits(benchmark::State& state) {
  readAll(state, fullWidthDigits(static_cast<std::size_t>(state.range(0))));
}

BENCHMARK(BM_TextToNumberAsciiDigits)->Arg(1 << 20)->Arg(10 << 20)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextToNumberFullWidthDigits)->Arg(1 << 20)->Arg(10 << 20)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
