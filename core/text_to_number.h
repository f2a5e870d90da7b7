#pragma once
// textToNumber: an operand text (code page 936) to a double, by the calculator's own reading
// rules: full-width forms folded to ASCII, leading white space skipped, the longest leading
// decimal number read, at most 24 significant digits, 80-bit scaling and a 53-bit cut that
// rounds only above the half. Every text gives a number; never a NaN. Integer arithmetic only.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/text.h"
#include "core/wide_real.h"

namespace zendrel {

// What scanDecimal reads from the start of a folded text.
struct DecimalScan {
  static constexpr int kMaxDigits = 25;
  static constexpr std::uint32_t kExponentLimit = 5200;  // magnitudes above it saturate to 5201

  bool negative = false;
  bool sawDigit = false;
  std::array<std::uint8_t, kMaxDigits> digits{};  // significant digits; the first is never 0
  int digitCount = 0;
  std::int32_t digitExponent = 0;  // saturates far beyond any exponent that can still matter
  std::uint32_t exponentValue = 0;
  bool exponentNegative = false;
};

// Copy of the text up to its first zero byte with the full-width ASCII forms, the ideographic
// space and the two stars of code page 936 replaced by ASCII bytes. A lone lead byte at the end
// is dropped. The result holds no terminating zero of its own (std::string supplies one).
Text foldFullWidth(std::string_view text);

// Reads the decimal number at the start of a folded text, after skipping white space
// (0x09..0x0D, 0x20). Stops at the first byte that cannot continue the number.
DecimalScan scanDecimal(std::string_view folded);

// The exact value of the digit sequence (at most 24 digits, each 0..10), normalised.
// Precondition: digitCount >= 1 and digits[0] != 0.
WideReal digitsToWide(const std::array<std::uint8_t, DecimalScan::kMaxDigits>& digits,
                      int digitCount);

// Rounds a WideReal to a double by the calculator's 53-bit rule: up only when the first
// dropped bit is set and some bit after the next one is set; the subnormal path rounds at the
// bit below the last fraction bit and then drops that bit.
double wideToDouble(const WideReal& x);

double textToNumber(std::string_view text);

}  // namespace zendrel
