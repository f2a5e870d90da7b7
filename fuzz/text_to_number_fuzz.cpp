// textToNumber on any bytes: never a NaN, the same bits on every call, the same result as
// reading the folded copy, and the exact model's double wherever the model applies.

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text_to_number.h"
#include "tests/core/decimal_model.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto bits = std::bit_cast<std::uint64_t>(zendrel::textToNumber(text));
  check((bits & 0x7FF0000000000000u) != 0x7FF0000000000000u || (bits & 0xFFFFFFFFFFFFFu) == 0);
  check(std::bit_cast<std::uint64_t>(zendrel::textToNumber(text)) == bits);

  const zendrel::Text folded = zendrel::foldFullWidth(text);
  check(std::bit_cast<std::uint64_t>(zendrel::textToNumber(folded)) == bits);

  // The model: the exact value of the scanned digits, rounded to the nearest double, away from
  // the points where the calculator's own rounding decides.
  const zendrel::DecimalScan scan = zendrel::scanDecimal(folded);
  if (scan.digitCount == 0 || scan.digitCount > 24) return 0;
  std::string digits;
  for (int i = 0; i < scan.digitCount; ++i) digits += static_cast<char>('0' + scan.digits[i]);
  while (digits.back() == '0') digits.pop_back();
  const int exponent = scan.digitExponent + scan.digitCount - static_cast<int>(digits.size()) +
                       (scan.exponentNegative ? -1 : 1) * static_cast<int>(scan.exponentValue);
  if (exponent < -400 || exponent > 400) return 0;
  const auto expected = zendrel::testing::nearestNormalDouble(digits, exponent);
  if (!expected) return 0;
  check((bits & 0x7FFFFFFFFFFFFFFFu) == *expected);
  check((bits >> 63) == (scan.negative ? 1u : 0u));
  return 0;
}
