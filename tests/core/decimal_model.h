#pragma once
// An exact model of reading a decimal number, for the normal range of doubles: the value
// digits × 10^exponent, computed with big integers, rounded to the nearest double. The
// calculator's reading agrees with it except close to the half and three-quarter points
// between two doubles, where its 80-bit scaling and its 53-bit rule decide; the model
// declines those cases, and values outside the normal range.

#include <cstdint>
#include <optional>
#include <string>

#include "tests/core/big_integer.h"

namespace zendrel::testing {

// Precondition: digits is a non-empty string of decimal digits without a leading zero.
inline std::optional<std::uint64_t> nearestNormalDouble(const std::string& digits, int exponent) {
  constexpr int kExtraBits = 70;   // bits kept after the 53-bit significand
  constexpr int kQuotientBits = 53 + kExtraBits;
  BigInteger num = BigInteger::fromDecimal(digits);
  BigInteger den = 1;
  if (exponent >= 0)
    num = num * BigInteger::powerOfTen(exponent);
  else
    den = BigInteger::powerOfTen(-exponent);
  // q = floor(value × 2^s) with exactly kQuotientBits bits.
  int s = kQuotientBits - (num.bitLength() - den.bitLength());
  BigInteger q, r;
  for (;;) {
    BigInteger::divide(s >= 0 ? num << s : num, s >= 0 ? den : den << -s, q, r);
    if (q.bitLength() < kQuotientBits) ++s;
    else if (q.bitLength() > kQuotientBits) --s;
    else break;
  }
  int e = kQuotientBits - 1 - s;
  if (e < -1022 || e > 1023) return std::nullopt;
  const BigInteger extra = q - ((q >> kExtraBits) << kExtraBits);
  // The position between the two neighbouring doubles, in units of 2^-70 of their distance.
  const BigInteger half = BigInteger::powerOfTwo(kExtraBits - 1);
  const BigInteger threeQuarters = half + BigInteger::powerOfTwo(kExtraBits - 2);
  const BigInteger margin = BigInteger::powerOfTwo(kExtraBits - 10);
  const auto near = [&](const BigInteger& point) {
    return (extra >= point ? extra - point : point - extra) < margin;
  };
  if (near(half) || near(threeQuarters)) return std::nullopt;
  std::uint64_t significand = (q >> kExtraBits).low64();
  if (extra > half) ++significand;
  if (significand == std::uint64_t{1} << 53) {
    significand >>= 1;
    ++e;
  }
  if (e > 1023) return std::nullopt;
  return (static_cast<std::uint64_t>(e + 1023) << 52) | (significand - (std::uint64_t{1} << 52));
}

}  // namespace zendrel::testing
