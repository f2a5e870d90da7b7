#include "core/extended_arithmetic.h"

#include <algorithm>
#include <bit>
#include <cstdint>

// Every operation works on the operands' bit patterns. A finite result is first formed exactly,
// or with the bits beyond a wide window folded into a sticky bit (rounding to odd), which
// preserves every decision of a later rounding at least two bits further up. It is then rounded
// twice by one rule, to nearest with ties to even: to a 64-bit significand, then to double.

namespace zendrel {
namespace {

// ---- Double bit patterns ----

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kExponentMask = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << 52;
constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 51;
constexpr std::uint64_t kInfinity = kExponentMask;
// What the x87 delivers for an invalid operation: sign set, exponent all ones, quiet bit only.
constexpr std::uint64_t kIndefinite = kSignBit | kExponentMask | kQuietBit;
constexpr int kExponentBias = 1023;
constexpr int kMaxBiasedExponent = 2046;
// A double's significand is an integer of 53 bits, so its unit is 2^(biased - 1023 - 52);
// subnormals (biased exponent field 0) share the unit of field 1, 2^-1074.
constexpr int kUnitExponentOffset = kExponentBias + 52;

bool isNegative(std::uint64_t bits) { return (bits & kSignBit) != 0; }
int exponentField(std::uint64_t bits) { return static_cast<int>((bits & kExponentMask) >> 52); }
std::uint64_t fraction(std::uint64_t bits) { return bits & kFractionMask; }
std::uint64_t magnitude(std::uint64_t bits) { return bits & ~kSignBit; }
bool isNaN(std::uint64_t bits) { return magnitude(bits) > kInfinity; }
bool isInfinite(std::uint64_t bits) { return magnitude(bits) == kInfinity; }
bool isZero(std::uint64_t bits) { return magnitude(bits) == 0; }
std::uint64_t quieted(std::uint64_t bits) { return bits | kQuietBit; }
std::uint64_t signBitOf(bool negative) { return negative ? kSignBit : 0; }
std::uint64_t infinity(bool negative) { return signBitOf(negative) | kInfinity; }
std::uint64_t zero(bool negative) { return signBitOf(negative); }

// A finite non-zero double as significand * 2^exponent, the significand normalised to
// [2^52, 2^53) (subnormals are shifted up and their exponent lowered to match).
struct Finite {
  bool negative;
  std::uint64_t significand;
  int exponent;
};

Finite decodeFinite(std::uint64_t bits) {
  const int field = exponentField(bits);
  Finite f{isNegative(bits), fraction(bits), std::max(field, 1) - kUnitExponentOffset};
  if (field != 0) f.significand |= kHiddenBit;
  const int shift = std::countl_zero(f.significand) - 11;  // 11 = 64 - 53 bits
  f.significand <<= shift;
  f.exponent -= shift;
  return f;
}

// ---- Portable 128-bit unsigned integers ----

struct Uint128 {
  std::uint64_t high;
  std::uint64_t low;
};

constexpr Uint128 widen(std::uint64_t v) { return {0, v}; }

int bitLength(Uint128 v) {
  return v.high != 0 ? 128 - std::countl_zero(v.high) : 64 - std::countl_zero(v.low);
}

bool bitAt(Uint128 v, int i) {
  if (i >= 128) return false;
  return i >= 64 ? ((v.high >> (i - 64)) & 1) != 0 : ((v.low >> i) & 1) != 0;
}

// Whether any of bits 0 .. n-1 is set.
bool anyBitBelow(Uint128 v, int n) {
  if (n >= 128) return v.high != 0 || v.low != 0;
  if (n >= 64) return v.low != 0 || (n > 64 && (v.high << (128 - n)) != 0);
  return n > 0 && (v.low << (64 - n)) != 0;
}

Uint128 shiftLeft(Uint128 v, int n) {  // 0 <= n < 128, no bit is lost
  if (n == 0) return v;
  if (n >= 64) return {v.low << (n - 64), 0};
  return {(v.high << n) | (v.low >> (64 - n)), v.low << n};
}

Uint128 shiftRight(Uint128 v, int n) {  // any n >= 0
  if (n == 0) return v;
  if (n >= 128) return {0, 0};
  if (n >= 64) return {0, v.high >> (n - 64)};
  return {v.high >> n, (v.low >> n) | (v.high << (64 - n))};
}

// v / 2^n rounded to odd: the bits shifted out are folded into bit 0 of the result.
Uint128 shiftRightSticky(Uint128 v, int n) {
  Uint128 r = shiftRight(v, n);
  if (anyBitBelow(v, n)) r.low |= 1;
  return r;
}

Uint128 add(Uint128 a, Uint128 b) {  // modulo 2^128
  const std::uint64_t low = a.low + b.low;
  return {a.high + b.high + (low < a.low ? 1 : 0), low};
}

// a − b (a >= b) when subtracting, a + b otherwise. Which one is as good as random, so b is
// added either as it is or as its two's complement (every bit flipped, plus one), chosen by a
// mask instead of a branch.
Uint128 addOrSubtract(Uint128 a, Uint128 b, bool subtracting) {
  const std::uint64_t flip = 0 - static_cast<std::uint64_t>(subtracting);  // all ones or zero
  return add(add(a, {b.high ^ flip, b.low ^ flip}), widen(flip & 1));
}

bool isZero(Uint128 v) { return v.high == 0 && v.low == 0; }

// The full 128-bit product, from four 32 x 32 -> 64-bit partial products.
Uint128 multiplyFull(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t mask = 0xFFFFFFFF;
  const std::uint64_t aLow = a & mask, aHigh = a >> 32, bLow = b & mask, bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow, lowHigh = aLow * bHigh, highLow = aHigh * bLow;
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & mask) + (highLow & mask);
  return {aHigh * bHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & mask)};
}

// ---- The two roundings ----

// v / 2^n rounded to nearest, ties to even, for any n >= 0. The one rounding rule of this file.
Uint128 shiftRightRoundingToNearestEven(Uint128 v, int n) {
  if (n == 0) return v;
  const Uint128 truncated = shiftRight(v, n);
  const bool halfBit = bitAt(v, n - 1);
  const bool belowHalfBit = anyBitBelow(v, n - 1);
  const bool odd = (truncated.low & 1) != 0;
  // Added as a number: the data decide at random, and a condition would become a branch.
  const auto roundsUp = static_cast<std::uint64_t>(halfBit & (belowHalfBit | odd));
  return add(truncated, widen(roundsUp));
}

// A non-zero magnitude * 2^exponent, exact or rounded to odd at least two bits below the bit
// where rounding to 64 significant bits happens.
struct Unrounded {
  bool negative;
  Uint128 magnitude;
  int exponent;
};

// A value of the x87 extended format: significand in [2^63, 2^64) times 2^exponent. Results
// of two doubles lie between 2^-2148 and 2^2099, well inside its 15-bit exponent range
// (2^-16445 .. 2^16384), so this rounding never overflows or underflows.
struct Extended {
  bool negative;
  std::uint64_t significand;
  int exponent;
};

Extended roundToSignificand64(const Unrounded& v) {
  const int excessBits = bitLength(v.magnitude) - 64;
  if (excessBits <= 0) {
    return {v.negative, shiftLeft(v.magnitude, -excessBits).low, v.exponent + excessBits};
  }
  const Uint128 rounded = shiftRightRoundingToNearestEven(v.magnitude, excessBits);
  if (rounded.high != 0) {  // rounded up to 2^64
    return {v.negative, kSignBit, v.exponent + excessBits + 1};
  }
  return {v.negative, rounded.low, v.exponent + excessBits};
}

std::uint64_t roundToDouble(const Extended& v) {
  // value = significand * 2^exponent with the top bit 63 worth 2^(exponent + 63).
  const int biased = v.exponent + 63 + kExponentBias;
  if (biased > kMaxBiasedExponent) return infinity(v.negative);
  // Below the normal range the unit stays 2^-1074 and precision is lost (gradual underflow).
  const int field = std::max(biased, 1);
  const int droppedBits = 11 + (field - biased);  // 11 = 64 - 53 significant bits
  const std::uint64_t kept = shiftRightRoundingToNearestEven(widen(v.significand), droppedBits).low;
  // kept includes the hidden bit, so adding it to (field - 1) << 52 sets the exponent field;
  // a significand rounded up to 2^53, or a subnormal rounded up to 2^52, carries into it.
  const std::uint64_t bits = (static_cast<std::uint64_t>(field - 1) << 52) + kept;
  if (bits >= kInfinity) return infinity(v.negative);
  return signBitOf(v.negative) | bits;
}

std::uint64_t roundTwice(const Unrounded& v) { return roundToDouble(roundToSignificand64(v)); }

// ---- Exact results of finite non-zero operands ----

// The sum of two finite non-zero doubles with |a| >= |b|. Both significands are placed with
// their top bit at bit 126 (53 bits shifted up by 74), one bit of headroom for the carry. When
// b is shifted by d >= 2 places the result exceeds 2^125, so rounding to 64 bits drops at least
// 62 bits, far above b's sticky bit; when d <= 1 nothing is shifted out and a - b is exact.
std::uint64_t sumOfFinite(std::uint64_t aBits, std::uint64_t bBits) {
  const Finite a = decodeFinite(aBits);
  const Finite b = decodeFinite(bBits);
  constexpr int kPlacement = 74;  // 126 - 52
  const Uint128 aPlaced = shiftLeft(widen(a.significand), kPlacement);
  const Uint128 bPlaced = shiftRightSticky(shiftLeft(widen(b.significand), kPlacement),
                                           a.exponent - b.exponent);
  const Uint128 sum = addOrSubtract(aPlaced, bPlaced, a.negative != b.negative);
  if (isZero(sum)) return zero(false);  // exact cancellation gives +0 when rounding to nearest
  return roundTwice({a.negative, sum, a.exponent - kPlacement});
}

std::uint64_t productOfFinite(std::uint64_t xBits, std::uint64_t yBits) {
  const Finite x = decodeFinite(xBits);
  const Finite y = decodeFinite(yBits);
  return roundTwice({x.negative != y.negative, multiplyFull(x.significand, y.significand),
                     x.exponent + y.exponent});
}

// floor(x * 2^77 / y) for 53-bit significands, rounded to odd with the remainder. Long division
// in base 2^11: the remainder stays below y < 2^53, so shifting it up by 11 bits fits 64 bits.
// Seven digits give 77 bits; x / y lies in (1/2, 2), so the quotient has at least 77 significant
// bits, 13 more than the 64 that are kept.
constexpr int kQuotientDigitBits = 11;
constexpr int kQuotientDigits = 7;
constexpr int kQuotientShift = kQuotientDigitBits * kQuotientDigits;

Uint128 divideSignificands(std::uint64_t x, std::uint64_t y) {
  Uint128 quotient = widen(0);
  std::uint64_t remainder = x;
  for (int i = 0; i < kQuotientDigits; ++i) {
    remainder <<= kQuotientDigitBits;
    quotient = shiftLeft(quotient, kQuotientDigitBits);
    quotient.low |= remainder / y;
    remainder %= y;
  }
  if (remainder != 0) quotient.low |= 1;
  return quotient;
}

std::uint64_t quotientOfFinite(std::uint64_t xBits, std::uint64_t yBits) {
  const Finite x = decodeFinite(xBits);
  const Finite y = decodeFinite(yBits);
  return roundTwice({x.negative != y.negative, divideSignificands(x.significand, y.significand),
                     x.exponent - y.exponent - kQuotientShift});
}

// ---- Special operands ----

// The NaN result when x or y is a NaN, as the x87 gives it with x loaded from its double
// (which quiets a signalling x) and y taken as a memory operand: a lone NaN comes back quieted;
// of two, the larger significand wins and, for equal significands, the positive one. The quiet
// bit counts in the comparison, so a quieted x wins over a signalling y, as the x87 has it.
std::uint64_t propagateNaN(std::uint64_t x, std::uint64_t y) {
  if (!isNaN(y)) return quieted(x);
  if (!isNaN(x)) return quieted(y);
  const std::uint64_t qx = quieted(x);
  if (fraction(qx) != fraction(y)) return fraction(qx) > fraction(y) ? qx : y;
  return std::min(qx, y);  // equal but for the sign: the one with the sign bit clear
}

std::uint64_t addBits(std::uint64_t x, std::uint64_t y) {
  if (isInfinite(x) && isInfinite(y)) return x == y ? x : kIndefinite;
  if (isInfinite(x)) return x;
  if (isInfinite(y)) return y;
  if (isZero(x) && isZero(y)) return zero(isNegative(x) && isNegative(y));
  if (isZero(y)) return x;  // exact, and a double is unchanged by both roundings
  if (isZero(x)) return y;
  // The larger magnitude first, swapped by a mask: which one is larger is as good as random.
  const auto yIsLarger = static_cast<std::uint64_t>(magnitude(x) < magnitude(y));
  const std::uint64_t swap = (x ^ y) & (0 - yIsLarger);
  return sumOfFinite(x ^ swap, y ^ swap);
}

std::uint64_t sumBits(std::uint64_t x, std::uint64_t y) {
  return isNaN(x) || isNaN(y) ? propagateNaN(x, y) : addBits(x, y);
}

std::uint64_t differenceBits(std::uint64_t x, std::uint64_t y) {
  return isNaN(x) || isNaN(y) ? propagateNaN(x, y) : addBits(x, y ^ kSignBit);
}

std::uint64_t productBits(std::uint64_t x, std::uint64_t y) {
  if (isNaN(x) || isNaN(y)) return propagateNaN(x, y);
  const bool negative = isNegative(x) != isNegative(y);
  if (isInfinite(x) || isInfinite(y)) {
    return isZero(x) || isZero(y) ? kIndefinite : infinity(negative);
  }
  if (isZero(x) || isZero(y)) return zero(negative);
  return productOfFinite(x, y);
}

std::uint64_t quotientBits(std::uint64_t x, std::uint64_t y) {
  if (isNaN(x) || isNaN(y)) return propagateNaN(x, y);
  const bool negative = isNegative(x) != isNegative(y);
  if (isInfinite(x)) return isInfinite(y) ? kIndefinite : infinity(negative);
  if (isInfinite(y)) return zero(negative);
  if (isZero(y)) return isZero(x) ? kIndefinite : infinity(negative);
  if (isZero(x)) return zero(negative);
  return quotientOfFinite(x, y);
}

template <std::uint64_t (*operation)(std::uint64_t, std::uint64_t)>
double onBits(double x, double y) {
  return std::bit_cast<double>(
      operation(std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(y)));
}

}  // namespace

double extendedAdd(double x, double y) { return onBits<sumBits>(x, y); }
double extendedSubtract(double x, double y) { return onBits<differenceBits>(x, y); }
double extendedMultiply(double x, double y) { return onBits<productBits>(x, y); }
double extendedDivide(double x, double y) { return onBits<quotientBits>(x, y); }

double applyOperator(Operator op, double x, double y) {
  switch (op) {
    case Operator::Add: return extendedAdd(x, y);
    case Operator::Subtract: return extendedSubtract(x, y);
    case Operator::Multiply: return extendedMultiply(x, y);
    case Operator::Divide: return extendedDivide(x, y);
  }
  return extendedAdd(x, y);  // not reached: every Operator is handled above
}

}  // namespace zendrel
