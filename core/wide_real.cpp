#include "core/wide_real.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>

#include "core/powers_of_ten.h"

namespace zendrel {

namespace {

// A 96-bit unsigned working value: hi holds bits 32..95, lo bits 0..31.
struct Bits96 {
  std::uint64_t hi = 0;
  std::uint32_t lo = 0;

  bool isZero() const { return hi == 0 && lo == 0; }
  int leadingZeros() const {
    return hi != 0 ? std::countl_zero(hi) : 64 + std::countl_zero(lo);
  }
  void shiftLeft(int n) {  // 0 <= n < 96; the bits shifted out are zero
    if (n == 0) return;
    if (n >= 32) {
      hi = (n < 64 ? hi << n : 0) | (std::uint64_t{lo} << (n - 32));
      lo = 0;
      return;
    }
    hi = (hi << n) | (lo >> (32 - n));
    lo <<= n;
  }
  // Shifts right by n >= 1 bits and sets bit 0 when any bit shifted out was 1.
  void shiftRightSticky(int n) {
    if (n >= 96) {
      const bool any = !isZero();
      hi = 0;
      lo = any ? 1 : 0;
      return;
    }
    bool lost;
    if (n >= 32) {
      const std::uint64_t lowMask = (std::uint64_t{1} << (n - 32)) - 1;
      lost = lo != 0 || (hi & lowMask) != 0;
      lo = static_cast<std::uint32_t>(hi >> (n - 32));
      hi = n < 64 ? hi >> n : 0;
    } else {
      lost = (lo & ((std::uint32_t{1} << n) - 1)) != 0;
      lo = static_cast<std::uint32_t>((lo >> n) | (hi << (32 - n)));
      hi >>= n;
    }
    if (lost) lo |= 1;
  }
};

// An 80-bit significand as its top 64 bits and its low word: how a chain of products carries
// it between steps, unpacked.
struct Significand {
  std::uint64_t top;
  std::uint16_t low;

  static constexpr Significand of(const WideReal& w) { return {w.top64(), w.low}; }
  constexpr std::uint32_t high() const { return static_cast<std::uint32_t>(top >> 32); }
  constexpr std::uint32_t middle() const { return static_cast<std::uint32_t>(top); }
};

// Sum of the 15 partial products ai × bj with i + j >= 4 of the 16-bit words of the two
// significands, weighted 2^(16 × (i + j − 4)). The ten lower products and their carries are
// left out; no carry among the included ones is lost.
//
// The included products are formed six at a time rather than one by one: with the 32-bit
// halves high = a4:a3 and middle = a2:a1, every pair of words inside high × high,
// high × middle and middle × high has i + j >= 4, so each of these three 32 × 32-bit
// products is a sum of four included terms. a0 × b4, a2 × b2 and a4 × b0 are the other three.
// The sum is the same exact integer as word by word.
Bits96 upperPartialProducts(const Significand& a, const Significand& b) {
  const std::uint64_t highByHigh = std::uint64_t{a.high()} * b.high();  // weight 2^32
  const std::uint64_t highByMiddle = std::uint64_t{a.high()} * b.middle();  // weight 1
  const std::uint64_t middleByHigh = std::uint64_t{a.middle()} * b.high();  // weight 1
  const std::uint64_t singles = std::uint64_t{a.low} * (b.high() >> 16) +
                                std::uint64_t{a.middle() >> 16} * (b.middle() >> 16) +
                                std::uint64_t{a.high() >> 16} * b.low;  // below 3 × 2^32
  std::uint64_t sum = highByMiddle + middleByHigh;
  std::uint64_t sumCarry = sum < highByMiddle ? 1 : 0;
  sum += singles;
  sumCarry += sum < singles ? 1 : 0;
  // The whole value is below 2^96 (the product of two 80-bit values is below 2^160), so the
  // part above bit 32 fits in 64 bits.
  Bits96 p;
  p.lo = static_cast<std::uint32_t>(sum);
  p.hi = highByHigh + (sum >> 32) + (sumCarry << 32);
  return p;
}

constexpr WideReal wideZero() { return WideReal{}; }

constexpr WideReal wideInfinity(bool negative) {
  return makeWideReal(negative, WideReal::kInfinityExponent, std::uint64_t{1} << 63, 0);
}

// Rounds P to 80 bits on its low word, ties to even: the one rounding step of every product.
// A carry out of bit 95 (bits 16..95 were all ones) leaves the top bit alone and raises s.
// Whether to round up is as good as random, so it is added as a number rather than branched
// on: the low word plus the kept bit 16 exceeds 0x8000 exactly when the low word is above the
// half, or at the half with bit 16 set.
inline void roundOnLowWord(Bits96& p, int& s) {
  const std::uint32_t lowWord = p.lo & 0xFFFFu;
  const std::uint32_t oddKept = (p.lo >> 16) & 1u;
  const std::uint64_t up = lowWord + oddKept > 0x8000u ? 1 : 0;
  const std::uint64_t lo = std::uint64_t{p.lo} + (up << 16);
  p.lo = static_cast<std::uint32_t>(lo);
  const std::uint64_t carry = lo >> 32;
  p.hi += carry;
  if (p.hi == 0 && carry != 0) {
    p.hi = std::uint64_t{1} << 63;
    ++s;
  }
}

// Bits 16..95 of P as the significand.
constexpr WideReal fromBits96(bool negative, int exponentField, const Bits96& p) {
  return makeWideReal(negative, exponentField, p.hi, static_cast<std::uint16_t>(p.lo >> 16));
}

// 0x3FFE = 16382: the bias, less one for the product's top bit at 95 instead of 94.
constexpr int kProductBias = 0x3FFE;

// The product of two normal operands (bit 79 set, exponent fields 1..0x7FFE) whose exponent
// field sum lies in [kFastSumMin, kFastSumMax]: P then has bit 95 or 94 set (a4 × b4 alone is
// 2^94), so normalising is a shift by at most one, the exponent stays at 1 or more (no
// denormalisation) and rounding cannot reach the infinity exponent.
constexpr int kFastSumMin = kProductBias + 2;            // s − 1 >= 1 after the shift
constexpr int kFastSumMax = kProductBias + 0x7FFD;       // s + 1 <= 0x7FFE after a carry

constexpr bool isNormal(const WideReal& w) {
  return (w.high >> 31) != 0 && static_cast<unsigned>(w.exponentField() - 1) < 0x7FFEu;
}

constexpr bool exponentSumIsFast(int exponentSum) {
  return static_cast<unsigned>(exponentSum - kFastSumMin) <=
         static_cast<unsigned>(kFastSumMax - kFastSumMin);
}

inline bool takesFastPath(const WideReal& a, const WideReal& b) {
  return isNormal(a) && isNormal(b) && exponentSumIsFast(a.exponentField() + b.exponentField());
}

// A normal value's magnitude, unpacked; the sign is kept apart.
struct NormalMagnitude {
  Significand significand;
  int exponentField;
};

// a × b for normal a and b whose exponent field sum passes exponentSumIsFast; the result is
// normal again.
inline NormalMagnitude multiplyNormal(const NormalMagnitude& a, const NormalMagnitude& b) {
  int s = a.exponentField + b.exponentField - kProductBias;
  Bits96 p = upperPartialProducts(a.significand, b.significand);
  const auto shift = static_cast<unsigned>(1 - (p.hi >> 63));
  p.hi = (p.hi << shift) | ((p.lo >> 31) & shift);
  p.lo <<= shift;
  s -= static_cast<int>(shift);
  roundOnLowWord(p, s);
  return {{p.hi, static_cast<std::uint16_t>(p.lo >> 16)}, s};
}

constexpr NormalMagnitude magnitudeOf(const WideReal& w) {
  return {Significand::of(w), w.exponentField()};
}

constexpr WideReal fromMagnitude(bool negative, const NormalMagnitude& m) {
  return makeWideReal(negative, m.exponentField, m.significand.top, m.significand.low);
}

inline WideReal multiplyNormal(const WideReal& a, const WideReal& b) {
  return fromMagnitude(a.negative() != b.negative(),
                       multiplyNormal(magnitudeOf(a), magnitudeOf(b)));
}

// Every other product: infinities, zeros, subnormal and unnormal operands, exponent sums near
// overflow or underflow.
WideReal multiplyGeneral(const WideReal& a, const WideReal& b) {
  const bool negative = a.negative() != b.negative();
  const int ea = a.exponentField();
  const int eb = b.exponentField();
  int s = ea + eb;
  if (ea == WideReal::kInfinityExponent || eb == WideReal::kInfinityExponent ||
      s > 0xBFFD)  // 0xBFFD = 2 × 16383 + 16383: beyond the largest exponent field
    return wideInfinity(negative);
  if (s <= 0x3FBF) return wideZero();  // 0x3FBF = 16383 − 64: below the smallest subnormal
  const auto significandIsZero = [](const WideReal& w) {
    return w.high == 0 && w.middle == 0 && w.low == 0;
  };
  if (ea == 0) {
    ++s;  // a subnormal weighs as exponent field 1
    if (significandIsZero(a)) return wideZero();
  }
  if (eb == 0) {
    ++s;
    if (significandIsZero(b)) return wideZero();
  }

  Bits96 p = upperPartialProducts(Significand::of(a), Significand::of(b));
  s -= kProductBias;

  if (s > 0) {  // normalise until bit 95 is set or the exponent reaches 0
    const int shift = p.isZero() ? s : std::min(p.leadingZeros(), s);
    if (shift < 96) p.shiftLeft(shift);
    s -= shift;
  }
  if (s <= 0) {  // subnormal: denormalise, keeping what is shifted out as a sticky bit
    p.shiftRightSticky(1 - s);
    s = 0;
  }
  roundOnLowWord(p, s);
  if (s >= WideReal::kInfinityExponent) return wideInfinity(negative);
  return fromBits96(negative, s, p);
}

// wideMultiply, kept in this unit so that scaleByPowerOfTen's chain can inline the usual case.
inline WideReal multiply(const WideReal& a, const WideReal& b) {
  return takesFastPath(a, b) ? multiplyNormal(a, b) : multiplyGeneral(a, b);
}

}  // namespace

WideReal wideMultiply(const WideReal& a, const WideReal& b) { return multiply(a, b); }

namespace {

using PowerTable = std::array<WideReal, 29>;

// The chain from octal digit group on, every product through multiply.
WideReal scaleFromGroup(WideReal w, const PowerTable& table, unsigned m, int group) {
  for (; group < 5 && m > 0; ++group, m /= 8) {
    const unsigned digit = m % 8;
    if (digit != 0) w = multiply(w, table[powerOfTenIndex(group, static_cast<int>(digit))]);
  }
  return w;
}

}  // namespace

WideReal scaleByPowerOfTen(WideReal w, int n, bool clearLowWord) {
  // Precondition: |n| <= 8191, the reach of the tables (10^4096 is their largest entry).
  assert(n >= -8191 && n <= 8191);
  if (n == 0) return w;
  const PowerTable& table = n > 0 ? kPowersOfTen : kNegativePowersOfTen;
  unsigned m = static_cast<unsigned>(n > 0 ? n : -n);
  if (clearLowWord) w.low = 0;
  if (!isNormal(w)) return scaleFromGroup(w, table, m, 0);
  // Every table entry is normal and positive, so while each exponent sum passes, the product
  // is multiplyNormal's and stays normal: the value is carried unpacked, its sign apart.
  const bool negative = w.negative();
  NormalMagnitude x = magnitudeOf(w);
  for (int group = 0; group < 5 && m > 0; ++group, m /= 8) {
    const unsigned digit = m % 8;
    if (digit == 0) continue;
    const WideReal& power = table[powerOfTenIndex(group, static_cast<int>(digit))];
    if (!exponentSumIsFast(x.exponentField + power.exponentField()))
      return scaleFromGroup(fromMagnitude(negative, x), table, m, group);
    x = multiplyNormal(x, magnitudeOf(power));
  }
  return fromMagnitude(negative, x);
}

}  // namespace zendrel
