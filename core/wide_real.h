#pragma once
// WideReal: a binary floating-point value with an 80-bit significand and the x87 extended
// exponent (15 bits, bias 16383). Normal values have significand bit 79 set; an exponent field
// of 0 with a non-zero significand is subnormal. Zeros made here have sign 0. Infinity is
// exponent field 0x7FFF with significand 2^79.

#include <cstdint>

namespace zendrel {

struct WideReal {
  std::uint16_t low = 0;           // significand bits 0..15
  std::uint32_t middle = 0;        // significand bits 16..47
  std::uint32_t high = 0;          // significand bits 48..79; bit 79 is the explicit top bit
  std::uint16_t signExponent = 0;  // bit 15 sign, bits 0..14 exponent field

  static constexpr int kBias = 16383;
  static constexpr std::uint16_t kInfinityExponent = 0x7FFF;

  constexpr int exponentField() const { return signExponent & 0x7FFF; }
  constexpr bool negative() const { return (signExponent & 0x8000) != 0; }
  // The top 64 bits of the significand (bits 16..79).
  constexpr std::uint64_t top64() const { return (std::uint64_t{high} << 32) | middle; }

  friend constexpr bool operator==(const WideReal&, const WideReal&) = default;
};

static_assert(sizeof(WideReal) == 12 || sizeof(WideReal) == 16,
              "WideReal holds 12 bytes of data");

// Builds a WideReal from an 80-bit significand given as its top 64 bits and its low word.
constexpr WideReal makeWideReal(bool negative, int exponentField, std::uint64_t top64,
                                std::uint16_t low) {
  WideReal w;
  w.low = low;
  w.middle = static_cast<std::uint32_t>(top64);
  w.high = static_cast<std::uint32_t>(top64 >> 32);
  w.signExponent = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (exponentField & 0x7FFF));
  return w;
}

// The product a × b with the 15 upper partial products of 16-bit words only, rounded to 80
// bits on the low word (ties to even). Not correctly rounded; both conversions rely on exactly
// this result.
WideReal wideMultiply(const WideReal& a, const WideReal& b);

// w × 10^n as a chain of wideMultiply by the table entries, lowest octal digit of |n| first.
// With clearLowWord and n != 0 the low word of w is cleared first.
// Precondition: |n| <= 8191.
WideReal scaleByPowerOfTen(WideReal w, int n, bool clearLowWord);

}  // namespace zendrel
