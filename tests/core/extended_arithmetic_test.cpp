// The calculator's arithmetic: worked examples and special values, then millions of operand
// pairs from many distributions (random patterns, extremes, cancellation, pairs built to land on
// double-rounding midpoints) against the x87 itself where there is one, and against a slow exact
// model everywhere, the model being checked against the x87 too.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <ostream>
#include <string>

#include "core/extended_arithmetic.h"
#include "tests/core/big_integer.h"
#include "tests/core/double_rounding_model.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define ZENDREL_TEST_HAS_X87 1
#else
#define ZENDREL_TEST_HAS_X87 0
#endif

namespace zendrel {
namespace {

using zendrel::testing::BigInteger;

// ---- Bit patterns ----

constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
constexpr std::uint64_t kHidden = std::uint64_t{1} << 52;
constexpr std::uint64_t kFractionMask = kHidden - 1;
constexpr std::uint64_t kPositiveZero = 0;
constexpr std::uint64_t kNegativeZero = kSign;
constexpr std::uint64_t kInfinity = 0x7FF0000000000000;
constexpr std::uint64_t kNegativeInfinity = kSign | kInfinity;
constexpr std::uint64_t kIndefinite = 0xFFF8000000000000;
constexpr std::uint64_t kOne = 0x3FF0000000000000;
constexpr std::uint64_t kTwo = 0x4000000000000000;
constexpr std::uint64_t kFive = 0x4014000000000000;
constexpr std::uint64_t kMinSubnormal = 1;
constexpr std::uint64_t kMaxSubnormal = kFractionMask;
constexpr std::uint64_t kMinNormal = kHidden;
constexpr std::uint64_t kMaxFinite = 0x7FEFFFFFFFFFFFFF;
// NaNs with small payloads, quiet (bit 51 set) and signalling.
constexpr std::uint64_t kQuiet1 = 0x7FF8000000000001;
constexpr std::uint64_t kQuiet2 = 0x7FF8000000000002;
constexpr std::uint64_t kSignalling1 = 0x7FF0000000000001;
constexpr std::uint64_t kSignalling2 = 0x7FF0000000000002;

constexpr std::uint64_t negated(std::uint64_t bits) { return bits ^ kSign; }

std::uint64_t emulate(Operator op, std::uint64_t x, std::uint64_t y) {
  return std::bit_cast<std::uint64_t>(
      applyOperator(op, std::bit_cast<double>(x), std::bit_cast<double>(y)));
}

constexpr std::array kOperators = {Operator::Add, Operator::Subtract, Operator::Multiply,
                                   Operator::Divide};

const char* nameOf(Operator op) {
  switch (op) {
    case Operator::Add: return "Add";
    case Operator::Subtract: return "Subtract";
    case Operator::Multiply: return "Multiply";
    case Operator::Divide: return "Divide";
  }
  return "?";
}

std::string hex(std::uint64_t bits) {
  char text[19];
  std::snprintf(text, sizeof text, "0x%016" PRIx64, bits);
  return text;
}

// ---- The hardware: the x87 as the calculator uses it ----

#if ZENDREL_TEST_HAS_X87
// Control word 0x037F: every exception masked, 64-bit precision, rounding to nearest. The
// instruction form matters for NaN operands: x is loaded by FLD (which quiets a signalling NaN)
// and y is the double memory operand of the non-reversed instruction.
#define ZENDREL_X87_OPERATION(instruction)                                                    \
  asm volatile("fnstcw %1\n\tfldcw %2\n\tfldl %3\n\t" instruction " %4\n\tfstpl %0\n\tfldcw %1" \
               : "=m"(result), "=m"(savedControl)                                             \
               : "m"(control), "m"(x), "m"(y)                                                 \
               : "st")

std::uint64_t x87Operation(Operator op, std::uint64_t xBits, std::uint64_t yBits) {
  const double x = std::bit_cast<double>(xBits);
  const double y = std::bit_cast<double>(yBits);
  const std::uint16_t control = 0x037F;
  std::uint16_t savedControl;
  double result;
  switch (op) {
    case Operator::Add: ZENDREL_X87_OPERATION("faddl"); break;
    case Operator::Subtract: ZENDREL_X87_OPERATION("fsubl"); break;
    case Operator::Multiply: ZENDREL_X87_OPERATION("fmull"); break;
    case Operator::Divide: ZENDREL_X87_OPERATION("fdivl"); break;
  }
  return std::bit_cast<std::uint64_t>(result);
}
#undef ZENDREL_X87_OPERATION
#endif

// ---- Examples ----

struct Example {
  const char* what;
  Operator op;
  std::uint64_t x;
  std::uint64_t y;
  std::uint64_t expected;
};

void checkExamples(const Example* begin, const Example* end) {
  for (const Example* e = begin; e != end; ++e) {
    EXPECT_EQ(hex(emulate(e->op, e->x, e->y)), hex(e->expected))
        << e->what << ": " << hex(e->x) << ' ' << nameOf(e->op) << ' ' << hex(e->y);
#if ZENDREL_TEST_HAS_X87
    EXPECT_EQ(hex(x87Operation(e->op, e->x, e->y)), hex(e->expected))
        << "the x87 disagrees with the table: " << e->what;
#endif
  }
}

TEST(ExtendedArithmetic, RoundsTwiceFirstTo64BitsThenToDouble) {
  static const Example examples[] = {
      // The operands are the doubles nearest the decimals.
      {"0.043 * 6.9 gives the double below the one nearest 0.2967 (0x3fd2fd21ff2e48e9)",
       Operator::Multiply, 0x3FA604189374BC6A, 0x401B99999999999A, 0x3FD2FD21FF2E48E8},
      {"0.27 / 3.09 gives one unit above the correctly rounded 0x3fb65e7254813e23",
       Operator::Divide, 0x3FD147AE147AE148, 0x4008B851EB851EB8, 0x3FB65E7254813E24},
      {"1 + (2^-53 + 2^-78) rounds to the midpoint 1 + 2^-53, then to even: 1", Operator::Add,
       kOne, 0x3CA0000008000000, kOne},
      {"1 - (2^-54 + 2^-79) rounds to the midpoint 1 - 2^-54, then to even: 1",
       Operator::Subtract, kOne, 0x3C90000008000000, kOne},
      {"2^53 + 1 is a tie, to even", Operator::Add, 0x4340000000000000, kOne,
       0x4340000000000000},
      {"2^53 + 3 is a tie, to even", Operator::Add, 0x4340000000000000, 0x4008000000000000,
       0x4340000000000002},
      {"7 / 3 is correctly rounded when no midpoint is near", Operator::Divide,
       0x401C000000000000, 0x4008000000000000, 0x4002AAAAAAAAAAAB},
      // Overflow.
      {"1e308 * 10 overflows to +inf", Operator::Multiply, 0x7FE1CCF385EBC8A0,
       0x4024000000000000, kInfinity},
      {"-1e308 * 10 overflows to -inf", Operator::Multiply, negated(0x7FE1CCF385EBC8A0),
       0x4024000000000000, kNegativeInfinity},
      // The largest double's unit is 2^971.
      {"max + a quarter unit stays max", Operator::Add, kMaxFinite, 0x7C80000000000000,
       kMaxFinite},
      {"max + half a unit is a tie; to even overflows", Operator::Add, kMaxFinite,
       0x7C90000000000000, kInfinity},
      {"max + just under half a unit first rounds to the tie, then overflows", Operator::Add,
       kMaxFinite, 0x7C8FFFFFFFFFFFFF, kInfinity},
      // Gradual underflow.
      {"min normal / 2 is an exact subnormal", Operator::Divide, kMinNormal, kTwo,
       0x0008000000000000},
      {"min subnormal / 2 is a tie, to even zero", Operator::Divide, kMinSubnormal, kTwo,
       kPositiveZero},
      {"-min subnormal / 2 keeps its sign", Operator::Divide, negated(kMinSubnormal), kTwo,
       kNegativeZero},
      {"3 min subnormal / 2 is a tie, to even 2", Operator::Divide, 3, kTwo, 2},
      {"min subnormal * 0.75 rounds up", Operator::Multiply, kMinSubnormal, 0x3FE8000000000000,
       kMinSubnormal},
      {"subnormal sums are exact", Operator::Add, kMinSubnormal, kMinSubnormal, 2},
      {"min normal - min subnormal is the largest subnormal", Operator::Subtract, kMinNormal,
       kMinSubnormal, kMaxSubnormal},
      {"the product of two subnormals underflows to zero", Operator::Multiply, kMinSubnormal,
       negated(kMaxSubnormal), kNegativeZero},
      {"max subnormal * (1 + 2^-52) rounds to the smallest normal", Operator::Multiply,
       kMaxSubnormal, 0x3FF0000000000001, kMinNormal},
      {"a product just below a subnormal midpoint rounds to it in 64 bits, then to even",
       Operator::Multiply, 0x0007FFFFFFFFFFFF, 0x3FF0000000000001, 0x0008000000000000},
  };
  checkExamples(std::begin(examples), std::end(examples));
}

TEST(ExtendedArithmetic, GivesIeeeSpecialValuesWithEveryExceptionMasked) {
  static const Example examples[] = {
      {"1 / +0", Operator::Divide, kOne, kPositiveZero, kInfinity},
      {"1 / -0", Operator::Divide, kOne, kNegativeZero, kNegativeInfinity},
      {"-1 / +0", Operator::Divide, negated(kOne), kPositiveZero, kNegativeInfinity},
      {"min subnormal / -0", Operator::Divide, kMinSubnormal, kNegativeZero,
       kNegativeInfinity},
      {"0 / 0", Operator::Divide, kPositiveZero, kPositiveZero, kIndefinite},
      {"-0 / 0", Operator::Divide, kNegativeZero, kPositiveZero, kIndefinite},
      {"inf / inf", Operator::Divide, kInfinity, kNegativeInfinity, kIndefinite},
      {"0 * inf", Operator::Multiply, kPositiveZero, kInfinity, kIndefinite},
      {"-inf * 0", Operator::Multiply, kNegativeInfinity, kPositiveZero, kIndefinite},
      {"inf - inf", Operator::Subtract, kInfinity, kInfinity, kIndefinite},
      {"inf + -inf", Operator::Add, kInfinity, kNegativeInfinity, kIndefinite},
      {"-inf - -inf", Operator::Subtract, kNegativeInfinity, kNegativeInfinity, kIndefinite},
      {"inf + inf", Operator::Add, kInfinity, kInfinity, kInfinity},
      {"inf - -inf", Operator::Subtract, kInfinity, kNegativeInfinity, kInfinity},
      {"inf + 1", Operator::Add, kInfinity, kOne, kInfinity},
      {"1 - inf", Operator::Subtract, kOne, kInfinity, kNegativeInfinity},
      {"inf * -2", Operator::Multiply, kInfinity, negated(kTwo), kNegativeInfinity},
      {"-inf / -0", Operator::Divide, kNegativeInfinity, kNegativeZero, kInfinity},
      {"inf / 5", Operator::Divide, kInfinity, kFive, kInfinity},
      {"5 / -inf", Operator::Divide, kFive, kNegativeInfinity, kNegativeZero},
      {"0 / -5", Operator::Divide, kPositiveZero, negated(kFive), kNegativeZero},
      {"x - x", Operator::Subtract, 0x400921FB54442D18, 0x400921FB54442D18, kPositiveZero},
      {"-x + x", Operator::Add, negated(0x400921FB54442D18), 0x400921FB54442D18, kPositiveZero},
      {"-x - -x", Operator::Subtract, negated(kMinSubnormal), negated(kMinSubnormal),
       kPositiveZero},
      {"-0 + -0", Operator::Add, kNegativeZero, kNegativeZero, kNegativeZero},
      {"-0 - 0", Operator::Subtract, kNegativeZero, kPositiveZero, kNegativeZero},
      {"0 + -0", Operator::Add, kPositiveZero, kNegativeZero, kPositiveZero},
      {"-0 - -0", Operator::Subtract, kNegativeZero, kNegativeZero, kPositiveZero},
      {"0 - 5", Operator::Subtract, kPositiveZero, kFive, negated(kFive)},
      {"-0 + min subnormal", Operator::Add, kNegativeZero, kMinSubnormal, kMinSubnormal},
      {"-0 * 5", Operator::Multiply, kNegativeZero, kFive, kNegativeZero},
      {"-0 * -5", Operator::Multiply, kNegativeZero, negated(kFive), kPositiveZero},
  };
  checkExamples(std::begin(examples), std::end(examples));
}

TEST(ExtendedArithmetic, ChoosesNaNsAsTheX87Does) {
  static const Example examples[] = {
      {"a quiet NaN comes back unchanged", Operator::Add, kQuiet2, kOne, kQuiet2},
      {"a negative quiet NaN keeps its sign", Operator::Multiply, kOne, negated(kQuiet1),
       negated(kQuiet1)},
      {"subtracting a NaN does not flip its sign", Operator::Subtract, kOne, negated(kQuiet1),
       negated(kQuiet1)},
      {"a signalling x is quieted", Operator::Add, kSignalling1, kOne, kQuiet1},
      {"a signalling y is quieted", Operator::Divide, kOne, kSignalling2, kQuiet2},
      {"a NaN wins over an invalid operation", Operator::Multiply, kPositiveZero, kQuiet1,
       kQuiet1},
      {"a NaN wins over an infinity", Operator::Subtract, kInfinity, kSignalling1, kQuiet1},
      {"two quiet NaNs: the larger significand, on the right", Operator::Add, kQuiet1, kQuiet2,
       kQuiet2},
      {"two quiet NaNs: the larger significand, on the left", Operator::Divide,
       negated(kQuiet2), kQuiet1, negated(kQuiet2)},
      {"equal significands: the positive one, on the right", Operator::Add, negated(kQuiet1),
       kQuiet1, kQuiet1},
      {"equal significands: the positive one, on the left", Operator::Multiply, kQuiet1,
       negated(kQuiet1), kQuiet1},
      {"the indefinite and the positive default NaN", Operator::Add, kIndefinite,
       0x7FF8000000000000, 0x7FF8000000000000},
      {"a signalling y loses to a quiet x with a smaller significand", Operator::Add, kQuiet1,
       kSignalling2, kQuiet1},
      {"a signalling y loses to a signalling x, quieted on loading", Operator::Subtract,
       kSignalling1, kSignalling2, kQuiet1},
      {"... whatever their signs", Operator::Add, negated(kSignalling1), kSignalling1,
       negated(kQuiet1)},
      {"a quieted x competes with a quiet y by significand", Operator::Add, kSignalling1,
       kQuiet2, kQuiet2},
      {"... and by sign when the significands are equal", Operator::Multiply,
       negated(kSignalling1), kQuiet1, kQuiet1},
      {"... x winning with the larger significand", Operator::Divide, kSignalling2, kQuiet1,
       kQuiet2},
  };
  checkExamples(std::begin(examples), std::end(examples));
}

TEST(ExtendedArithmetic, NamedOperationsTakeTheFirstOperandOnTheLeft) {
  EXPECT_EQ(extendedAdd(7.0, 2.0), 9.0);
  EXPECT_EQ(extendedSubtract(7.0, 2.0), 5.0);
  EXPECT_EQ(extendedMultiply(7.0, 2.0), 14.0);
  EXPECT_EQ(extendedDivide(7.0, 2.0), 3.5);
  EXPECT_EQ(applyOperator(Operator::Subtract, 7.0, 2.0), 5.0);
  EXPECT_EQ(applyOperator(Operator::Divide, 7.0, 2.0), 3.5);
}

// ---- Operand distributions ----

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t bits() { return engine_(); }
  bool coin() { return (engine_() & 1) != 0; }
  // Uniform enough in [low, high] for test inputs; the engine's output is fixed by the
  // standard, so the sequence is the same on every platform.
  int range(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
  }
  std::uint64_t below(std::uint64_t n) { return engine_() % n; }
  std::uint64_t signBit() { return coin() ? kSign : 0; }

 private:
  std::mt19937_64 engine_;
};

struct OperandPair {
  std::uint64_t x;
  std::uint64_t y;
};

std::uint64_t withField(std::uint64_t sign, int field, std::uint64_t fraction) {
  return sign | (static_cast<std::uint64_t>(field) << 52) | (fraction & kFractionMask);
}

// significand * 2^unitExponent as a double. Precondition: representable exactly and finite.
std::uint64_t composeDouble(bool negative, std::uint64_t significand, int unitExponent) {
  while (significand != 0 && significand < kHidden && unitExponent > -1074) {
    significand <<= 1;
    --unitExponent;
  }
  const std::uint64_t sign = negative ? kSign : 0;
  if (significand < kHidden) return sign | significand;  // subnormal
  return sign | ((static_cast<std::uint64_t>(unitExponent + 1075 - 1) << 52) + significand);
}

std::uint64_t inverseModulo2To64(std::uint64_t odd) {
  std::uint64_t inverse = odd;  // right to 3 bits: every odd square is 1 mod 8
  for (int i = 0; i < 5; ++i) inverse *= 2 - odd * inverse;  // each step doubles the bits
  return inverse;
}

std::uint64_t oddWithBits(Random& r, int bitCount) {
  const std::uint64_t top = std::uint64_t{1} << (bitCount - 1);
  return top | (r.bits() & (top - 1)) | 1;
}

// Offsets around +-2^k, the half unit of the first rounding, inside and outside it, and a few
// next to 0; only the latter when k < 0.
std::int64_t offsetNearHalfUnit(Random& r, int k) {
  const std::int64_t small = r.range(-2, 2);
  if (k < 0) return small;
  const std::int64_t half = std::int64_t{1} << k;
  const std::int64_t sign = r.coin() ? 1 : -1;
  switch (r.below(4)) {
    case 0: return sign * static_cast<std::int64_t>(r.below(static_cast<std::uint64_t>(half)));
    case 1: return sign * static_cast<std::int64_t>(r.below(4 * static_cast<std::uint64_t>(half)));
    case 2: return sign * (half + small);
    default: return small;
  }
}

OperandPair randomBitPatterns(Random& r, Operator) { return {r.bits(), r.bits()}; }

std::uint64_t interestingOperand(Random& r) {
  static constexpr std::uint64_t kFixed[] = {
      kPositiveZero, kInfinity, kOne, kTwo, kMinSubnormal, kMaxSubnormal, kMinNormal,
      kMaxFinite, 0x4340000000000000, 0x3FE0000000000000, kQuiet1, kQuiet2, kSignalling1,
      kSignalling2, 0x7FF8000000000000, 0x7FFFFFFFFFFFFFFF, 0x7FF7FFFFFFFFFFFF};
  switch (r.below(4)) {
    case 0: return r.signBit() | withField(0, 0x7FF, r.bits() | 1);  // a NaN of any payload
    case 1: return r.signBit() | withField(0, r.range(0, 2046), r.bits());
    default: return r.signBit() | kFixed[r.below(std::size(kFixed))];
  }
}

OperandPair specialOperands(Random& r, Operator) {
  const std::uint64_t a = interestingOperand(r), b = interestingOperand(r);
  return {a, b};
}

OperandPair subnormalOperands(Random& r, Operator) {
  const std::uint64_t subnormal = r.signBit() | ((r.bits() & kFractionMask) >> r.range(0, 51));
  std::uint64_t other;
  switch (r.below(4)) {
    case 0: other = r.signBit() | ((r.bits() & kFractionMask) >> r.range(0, 51)); break;
    case 1: other = withField(r.signBit(), r.range(1, 120), r.bits()); break;
    case 2: other = withField(r.signBit(), r.range(1023 - 60, 1023 + 60), r.bits()); break;
    default: other = withField(r.signBit(), r.range(1900, 2046), r.bits()); break;
  }
  return r.coin() ? OperandPair{subnormal, other} : OperandPair{other, subnormal};
}

OperandPair extremeExponents(Random& r, Operator) {
  auto extreme = [&r] {
    return withField(r.signBit(), r.coin() ? r.range(0, 40) : r.range(2006, 2046), r.bits());
  };
  const std::uint64_t a = extreme(), b = extreme();
  return {a, b};
}

// Operands of nearly the same magnitude, so that sums and differences cancel.
OperandPair nearlyEqualMagnitudes(Random& r, Operator) {
  const std::uint64_t x = withField(r.signBit(), r.range(0, 2046), r.bits());
  std::uint64_t y;
  switch (r.below(3)) {
    case 0: y = x ^ (r.bits() >> r.range(11, 63)); break;  // low bits re-drawn
    case 1: y = x + static_cast<std::uint64_t>(r.range(-3, 3)); break;  // neighbouring doubles
    default: y = (x ^ (r.bits() >> r.range(11, 63))) + (std::uint64_t{1} << 52); break;
  }
  return {x, (y & ~kSign) | r.signBit()};
}

// Significands made of long runs of ones and zeros: carries that ripple and exact ties.
std::uint64_t runsOfBits(Random& r) {
  std::uint64_t fraction = 0;
  bool ones = r.coin();
  for (int top = 52; top > 0;) {
    const int length = std::min(r.range(1, 24), top);
    if (ones) fraction |= ((std::uint64_t{1} << length) - 1) << (top - length);
    ones = !ones;
    top -= length;
  }
  return fraction;
}

OperandPair sparseSignificands(Random& r, Operator) {
  const int field = r.range(1, 2046);
  const int other = r.coin() ? std::clamp(field + r.range(-70, 70), 0, 2046) : r.range(0, 2046);
  const std::uint64_t x = withField(r.signBit(), field, runsOfBits(r));
  return {x, withField(r.signBit(), other, runsOfBits(r))};
}

// x + y where y is within 2^-11 (relatively) of half of x's unit u, so that the sum rounded to
// 64 bits lands exactly on a midpoint between two doubles, or just beside it: y = u/2 plus an
// offset in units of u * 2^-53, of which the first rounding's half unit u * 2^-12 is 2^41.
OperandPair sumNearMidpoint(Random& r) {
  const int field = r.range(55, 2046);
  const std::uint64_t fraction = r.coin() ? r.bits() : (r.coin() ? 0 : kFractionMask);
  const std::uint64_t x = withField(r.signBit(), field, fraction);
  const int unit = field - 1075;
  const bool negative = r.coin();
  const std::int64_t offset = offsetNearHalfUnit(r, 41);
  const std::uint64_t y = offset >= 0 ? composeDouble(negative, kHidden + offset, unit - 53)
                                      : composeDouble(negative, 2 * (kHidden + offset), unit - 54);
  return {x, y};
}

// Picks unit exponents ax, ay with ax + ay = sum (or ax - ay = sum when dividing), keeping
// significands of the given lengths inside the double range.
OperandPair placeExponents(Random& r, bool negative, std::uint64_t xs, std::uint64_t ys,
                           int combined, bool difference) {
  const int xLength = std::bit_width(xs), yLength = std::bit_width(ys);
  // ay within [-1074, 1024 - yLength]; ax = +-(combined - ay) within [-1074, 1024 - xLength].
  int low = -1074, high = 1024 - yLength;
  if (difference) {  // ax = combined + ay
    low = std::max(low, -1074 - combined);
    high = std::min(high, 1024 - xLength - combined);
  } else {  // ax = combined - ay
    low = std::max(low, combined - (1024 - xLength));
    high = std::min(high, combined + 1074);
  }
  const int ay = r.range(low, high);
  const int ax = difference ? combined + ay : combined - ay;
  return {composeDouble(negative, xs, ax), composeDouble(r.coin(), ys, ay)};
}

// X * Y with X odd: Y = (2^51 + e) / X mod 2^52 makes the low 52 bits of the product 2^51 + e.
// When the product's top bit is bit 104 its double unit is bit 52, so bit 51 is the midpoint
// and e within +-2^(xLength - 13) puts the first rounding on it. Exponents that sum to -1126
// give the product bit 52 the weight 2^-1074: with a short X the result is subnormal.
OperandPair productNearMidpoint(Random& r) {
  const int xLength = r.coin() ? 53 : r.range(1, 53);
  const std::uint64_t xs = oddWithBits(r, xLength);
  const std::int64_t offset = offsetNearHalfUnit(r, xLength - 13);
  const std::uint64_t low52 = (std::uint64_t{1} << 51) + static_cast<std::uint64_t>(offset);
  const std::uint64_t ys = ((low52 * inverseModulo2To64(xs)) & kFractionMask) | kHidden;
  constexpr int kBottom = -1126;  // -1074 - 52
  const int sum = xLength >= 52 && r.coin() ? kBottom + r.range(0, 2045) : kBottom;
  return placeExponents(r, r.coin(), xs, ys, sum, false);
}

// X / Y with M odd and X * 2^54 = M * Y - e: Y = e / M mod 2^54 and X / Y = (M - e / Y) / 2^54,
// just beside the midpoint M / 2^54 of two doubles of (mLength - 1) bits; e within
// +-2^(mLength - 12) puts the first rounding on it when Y is near 2^53. Exponents that differ
// by -1021 give M's last bit the weight 2^-1075: with a short M the result is subnormal.
OperandPair quotientNearMidpoint(Random& r) {
  for (;;) {
    const int mLength = r.coin() ? 54 : r.range(2, 54);
    const std::uint64_t m = oddWithBits(r, mLength);
    std::int64_t e = offsetNearHalfUnit(r, mLength - 12);
    if (e == 0) e = 1;
    constexpr std::uint64_t kMask54 = (std::uint64_t{1} << 54) - 1;
    std::uint64_t ys = (static_cast<std::uint64_t>(e) * inverseModulo2To64(m)) & kMask54;
    if (ys >= (std::uint64_t{1} << 53)) {  // -e gives 2^54 - ys instead
      e = -e;
      ys = (std::uint64_t{1} << 54) - ys;
    }
    const BigInteger product = BigInteger(m) * BigInteger(ys);
    const BigInteger magnitude = BigInteger(static_cast<std::uint64_t>(e < 0 ? -e : e));
    const std::uint64_t xs = ((e < 0 ? product + magnitude : product - magnitude) >> 54).low64();
    if (xs == 0) continue;
    constexpr int kBottom = -1021;  // -1075 + 54
    const int difference = mLength == 54 && r.coin() ? kBottom + r.range(0, 2045) : kBottom;
    return placeExponents(r, r.coin(), xs, ys, difference, true);
  }
}

OperandPair constructedMidpoints(Random& r, Operator op) {
  switch (op) {
    case Operator::Multiply: return productNearMidpoint(r);
    case Operator::Divide: return quotientNearMidpoint(r);
    default: return sumNearMidpoint(r);
  }
}

struct Distribution {
  const char* name;
  OperandPair (*draw)(Random&, Operator);
};

constexpr Distribution kDistributions[] = {
    {"random bit patterns", randomBitPatterns},
    {"special operands", specialOperands},
    {"subnormal operands", subnormalOperands},
    {"extreme exponents", extremeExponents},
    {"nearly equal magnitudes", nearlyEqualMagnitudes},
    {"runs of ones and zeros", sparseSignificands},
    {"near double midpoints", constructedMidpoints},
};
constexpr int kMidpointDistribution = 6;

constexpr std::uint64_t kDefaultSeed = 0x2E4D8A61F0C3B597;

// The seed, overridable for exploration with ZENDREL_ARITHMETIC_SEED (hexadecimal).
std::uint64_t baseSeed() {
  const char* text = std::getenv("ZENDREL_ARITHMETIC_SEED");
  return text != nullptr ? std::strtoull(text, nullptr, 16) : kDefaultSeed;
}

// Each operator and distribution draws from its own stream, so a failure reproduces alone.
std::uint64_t streamSeed(std::uint64_t seed, Operator op, int distribution) {
  return seed ^ (static_cast<std::uint64_t>(op) << 56) ^
         (static_cast<std::uint64_t>(distribution) << 48);
}

using Computation = std::uint64_t (*)(Operator, std::uint64_t, std::uint64_t);

struct NamedComputation {
  const char* name;
  Computation compute;
};

const NamedComputation kEmulation{"emulation", emulate};
const NamedComputation kModel{"model", testing::modelOperation};
#if ZENDREL_TEST_HAS_X87
const NamedComputation kX87{"x87", x87Operation};
#endif

// Counts the pairs of every distribution on which a and b disagree, reporting the first few.
int countDisagreements(Operator op, std::uint64_t seed, int pairsPerDistribution,
                       const NamedComputation& a, const NamedComputation& b) {
  int disagreements = 0;
  for (int d = 0; d < static_cast<int>(std::size(kDistributions)); ++d) {
    Random random(streamSeed(seed, op, d));
    for (int i = 0; i < pairsPerDistribution; ++i) {
      const OperandPair p = kDistributions[d].draw(random, op);
      const std::uint64_t fromA = a.compute(op, p.x, p.y);
      const std::uint64_t fromB = b.compute(op, p.x, p.y);
      if (fromA != fromB && ++disagreements <= 10) {
        ADD_FAILURE() << "seed " << hex(seed) << ", " << kDistributions[d].name << ": "
                      << hex(p.x) << ' ' << nameOf(op) << ' ' << hex(p.y) << ": " << a.name
                      << ' ' << hex(fromA) << ", " << b.name << ' ' << hex(fromB);
      }
    }
  }
  return disagreements;
}

class ExtendedArithmeticRandom : public ::testing::TestWithParam<Operator> {};

std::string operatorName(const ::testing::TestParamInfo<Operator>& info) {
  return nameOf(info.param);
}

// The slow exact model decides every pair by exact big-integer remainders; on every platform.
TEST_P(ExtendedArithmeticRandom, MatchesTheExactModel) {
  EXPECT_EQ(countDisagreements(GetParam(), baseSeed(), 15000, kEmulation, kModel), 0);
}

// The constructed midpoints must really exercise double rounding: a good share of them must
// round differently from a single rounding to double. (Subtraction draws the same pairs as
// addition, with random signs.)
TEST(ExtendedArithmeticPairs, ConstructedMidpointsDefeatSingleRounding) {
  constexpr int kPairs = 4000;
  for (const Operator op : {Operator::Add, Operator::Multiply, Operator::Divide}) {
    Random random(streamSeed(baseSeed(), op, kMidpointDistribution));
    int differing = 0;
    for (int i = 0; i < kPairs; ++i) {
      const OperandPair p = constructedMidpoints(random, op);
      const auto exact = testing::exactResultOf(op, p.x, p.y);
      ASSERT_TRUE(exact.has_value()) << hex(p.x) << ' ' << hex(p.y);
      if (testing::roundTwiceToDouble(*exact) != testing::roundOnceToDouble(*exact)) ++differing;
    }
    EXPECT_GE(differing, kPairs / 10) << nameOf(op) << ": " << differing << " of " << kPairs;
  }
}

#if ZENDREL_TEST_HAS_X87
// The model is proved against the hardware, so that it can stand in for it elsewhere.
TEST_P(ExtendedArithmeticRandom, ExactModelMatchesTheX87) {
  EXPECT_EQ(countDisagreements(GetParam(), baseSeed() + 1, 5000, kModel, kX87), 0);
}

TEST_P(ExtendedArithmeticRandom, MatchesTheX87OnAMillionPairs) {
  EXPECT_EQ(countDisagreements(GetParam(), baseSeed() + 2, 150000, kEmulation, kX87), 0);
}
#else
TEST_P(ExtendedArithmeticRandom, MatchesTheX87OnAMillionPairs) {
  GTEST_SKIP() << "no x87 unit on this platform; the exact model stands in for it";
}
#endif

INSTANTIATE_TEST_SUITE_P(AllOperators, ExtendedArithmeticRandom,
                         ::testing::ValuesIn(kOperators), operatorName);

}  // namespace

// Names the operator in test listings instead of its bytes.
void PrintTo(Operator op, std::ostream* out) { *out << nameOf(op); }

}  // namespace zendrel
