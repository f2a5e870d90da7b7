#pragma once
// A slow, exact model of the calculator's arithmetic, for the tests. The operands become exact
// binary rationals, the result is formed exactly with big integers, and each rounding decides by
// comparing the exact remainder with half a unit: first to 64 significant bits in the x87
// extended range, then to double with gradual underflow. It shares no code with the emulation.

#include <algorithm>
#include <compare>
#include <cstdint>
#include <optional>

#include "core/extended_arithmetic.h"
#include "tests/core/big_integer.h"

namespace zendrel::testing {

// (-1)^negative * numerator / denominator * 2^exponent, numerator and denominator non-zero.
struct BinaryRational {
  bool negative = false;
  BigInteger numerator;
  BigInteger denominator = 1;
  int exponent = 0;
};

// (-1)^negative * significand * 2^unitExponent.
struct RoundedValue {
  bool negative = false;
  std::uint64_t significand = 0;
  int unitExponent = 0;
};

namespace model_detail {

// Where v * 2^-unitExponent lies: its integer part and how its fraction compares with 1/2.
struct ScaledQuotient {
  BigInteger integerPart;
  std::strong_ordering fractionVersusHalf = std::strong_ordering::less;
};

// floor(n / d) and the remainder, by restoring division from the top quotient bit down.
inline void divide(const BigInteger& n, const BigInteger& d, BigInteger& q, BigInteger& r) {
  q = BigInteger();
  r = n;
  for (int i = n.bitLength() - d.bitLength(); i >= 0; --i) {
    const BigInteger shifted = d << i;
    if (r >= shifted) {
      r = r - shifted;
      q = q + BigInteger::powerOfTwo(i);
    }
  }
}

inline ScaledQuotient scaleToUnit(const BinaryRational& v, int unitExponent) {
  const int shift = v.exponent - unitExponent;
  const BigInteger n = shift >= 0 ? v.numerator << shift : v.numerator;
  const BigInteger d = shift >= 0 ? v.denominator : v.denominator << -shift;
  ScaledQuotient s;
  BigInteger remainder;
  if (v.denominator == BigInteger(1) && shift < 0) {  // a power of two: shifting is dividing
    s.integerPart = n >> -shift;
    remainder = n - (s.integerPart << -shift);
  } else {
    divide(n, d, s.integerPart, remainder);
  }
  s.fractionVersusHalf = (remainder << 1) <=> d;
  return s;
}

}  // namespace model_detail

// v rounded to nearest with ties to even, to `precision` significant bits (at most 64) but
// never to a unit finer than 2^minUnitExponent.
inline RoundedValue roundToPrecision(const BinaryRational& v, int precision,
                                     int minUnitExponent) {
  // v lies in (2^(lengthDifference - 1), 2^(lengthDifference + 1)) * 2^exponent, so the
  // significand at this unit lies in (2^(precision - 1), 2^(precision + 1)).
  const int lengthDifference = v.numerator.bitLength() - v.denominator.bitLength();
  int unit = std::max(v.exponent + lengthDifference - precision, minUnitExponent);
  const BigInteger limit = BigInteger::powerOfTwo(precision);
  auto scaled = model_detail::scaleToUnit(v, unit);
  if (scaled.integerPart >= limit) scaled = model_detail::scaleToUnit(v, ++unit);
  BigInteger q = scaled.integerPart;
  const bool odd = q.bit(0);
  if (scaled.fractionVersusHalf > 0 || (scaled.fractionVersusHalf == 0 && odd)) {
    q = q + BigInteger(1);
  }
  if (q == limit) {
    q = BigInteger::powerOfTwo(precision - 1);
    ++unit;
  }
  return {v.negative, q.low64(), unit};
}

namespace model_detail {

constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
constexpr std::uint64_t kInfinity = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t kQuiet = std::uint64_t{1} << 51;
constexpr std::uint64_t kIndefinite = kSign | kInfinity | kQuiet;

inline bool nan(std::uint64_t b) { return (b & ~kSign) > kInfinity; }
inline bool inf(std::uint64_t b) { return (b & ~kSign) == kInfinity; }
inline bool zero(std::uint64_t b) { return (b & ~kSign) == 0; }
inline bool negative(std::uint64_t b) { return (b & kSign) != 0; }
inline std::uint64_t signOf(bool n) { return n ? kSign : 0; }

inline BinaryRational exactValue(std::uint64_t b) {
  const int field = static_cast<int>((b >> 52) & 0x7FF);
  std::uint64_t significand = b & ((std::uint64_t{1} << 52) - 1);
  if (field != 0) significand |= std::uint64_t{1} << 52;
  return {negative(b), significand, 1, (field == 0 ? 1 : field) - 1075};
}

// The x87's choice of NaN when x was loaded by FLD and y is the memory operand.
inline std::uint64_t chosenNaN(std::uint64_t x, std::uint64_t y) {
  const bool xIsNaN = nan(x), yIsNaN = nan(y);
  const bool ySignals = yIsNaN && (y & kQuiet) == 0;
  const std::uint64_t qx = x | kQuiet, qy = y | kQuiet;
  if (xIsNaN && (!yIsNaN || ySignals)) return qx;
  if (!xIsNaN) return qy;
  const std::uint64_t fx = qx & ~kSign, fy = qy & ~kSign;
  if (fx != fy) return fx > fy ? qx : qy;
  return negative(qx) ? qy : qx;
}

inline std::optional<std::uint64_t> specialResult(Operator op, std::uint64_t x, std::uint64_t y) {
  if (nan(x) || nan(y)) return chosenNaN(x, y);
  const bool productSign = negative(x) != negative(y);
  switch (op) {
    case Operator::Subtract:
      y ^= kSign;
      [[fallthrough]];
    case Operator::Add:
      if (inf(x) && inf(y)) return negative(x) == negative(y) ? x : kIndefinite;
      if (inf(x) || zero(y)) return zero(x) && zero(y) ? signOf(negative(x) && negative(y)) : x;
      if (inf(y) || zero(x)) return y;
      return std::nullopt;
    case Operator::Multiply:
      if ((inf(x) && zero(y)) || (zero(x) && inf(y))) return kIndefinite;
      if (inf(x) || inf(y)) return signOf(productSign) | kInfinity;
      if (zero(x) || zero(y)) return signOf(productSign);
      return std::nullopt;
    case Operator::Divide:
      if ((inf(x) && inf(y)) || (zero(x) && zero(y))) return kIndefinite;
      if (inf(x) || zero(y)) return signOf(productSign) | kInfinity;
      if (inf(y) || zero(x)) return signOf(productSign);
      return std::nullopt;
  }
  return std::nullopt;
}

inline std::uint64_t encodeDouble(const RoundedValue& r) {
  const std::uint64_t sign = signOf(r.negative);
  if (r.significand < (std::uint64_t{1} << 52)) return sign | r.significand;  // subnormal or 0
  const int field = r.unitExponent + 1075;
  if (field > 2046) return sign | kInfinity;
  return sign | (static_cast<std::uint64_t>(field) << 52) |
         (r.significand & ((std::uint64_t{1} << 52) - 1));
}

// The x87 extended format: 64-bit significand; its smallest unit is that of its subnormals,
// 2^(1 - 16383 - 63). Its overflow, at 2^16384, is out of reach of two doubles.
constexpr int kExtendedPrecision = 64;
constexpr int kExtendedMinUnitExponent = 1 - 16383 - 63;
constexpr int kDoublePrecision = 53;
constexpr int kDoubleMinUnitExponent = 1 - 1023 - 52;

}  // namespace model_detail

// The exact result of x op y for finite non-zero operands; nullopt for an exact zero sum.
inline std::optional<BinaryRational> exactResultOf(Operator op, std::uint64_t x,
                                                   std::uint64_t y) {
  using namespace model_detail;
  BinaryRational a = exactValue(x), b = exactValue(y);
  switch (op) {
    case Operator::Subtract:
      b.negative = !b.negative;
      [[fallthrough]];
    case Operator::Add: {
      const int e = std::min(a.exponent, b.exponent);
      const BigInteger na = a.numerator << (a.exponent - e), nb = b.numerator << (b.exponent - e);
      if (a.negative == b.negative) return BinaryRational{a.negative, na + nb, 1, e};
      if (na == nb) return std::nullopt;
      return na > nb ? BinaryRational{a.negative, na - nb, 1, e}
                     : BinaryRational{b.negative, nb - na, 1, e};
    }
    case Operator::Multiply:
      return BinaryRational{a.negative != b.negative, a.numerator * b.numerator, 1,
                            a.exponent + b.exponent};
    case Operator::Divide:
      return BinaryRational{a.negative != b.negative, a.numerator, b.numerator,
                            a.exponent - b.exponent};
  }
  return std::nullopt;
}

// The once-rounded double: the exact result rounded straight to double. Precondition: a finite
// non-zero exact result.
inline std::uint64_t roundOnceToDouble(const BinaryRational& exact) {
  using namespace model_detail;
  return encodeDouble(roundToPrecision(exact, kDoublePrecision, kDoubleMinUnitExponent));
}

inline std::uint64_t roundTwiceToDouble(const BinaryRational& exact) {
  using namespace model_detail;
  const RoundedValue extended =
      roundToPrecision(exact, kExtendedPrecision, kExtendedMinUnitExponent);
  const BinaryRational asRational{extended.negative, extended.significand, 1,
                                  extended.unitExponent};
  return roundOnceToDouble(asRational);
}

// x op y on bit patterns, as the calculator computes it.
inline std::uint64_t modelOperation(Operator op, std::uint64_t x, std::uint64_t y) {
  using namespace model_detail;
  if (const auto special = specialResult(op, x, y)) return *special;
  const auto exact = exactResultOf(op, x, y);
  if (!exact) return 0;  // exact cancellation: +0 when rounding to nearest
  return roundTwiceToDouble(*exact);
}

}  // namespace zendrel::testing
