#include "core/wide_real.h"

#include <algorithm>
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

// Sum of the 15 partial products ai × bj with i + j >= 4 of the 16-bit words of the two
// significands, weighted 2^(16 × (i + j − 4)). The ten lower products and their carries are
// left out; no carry among the included ones is lost.
Bits96 upperPartialProducts(const WideReal& a, const WideReal& b) {
  const std::uint64_t aw[5] = {a.low, a.middle & 0xFFFFu, a.middle >> 16, a.high & 0xFFFFu,
                               a.high >> 16};
  const std::uint64_t bw[5] = {b.low, b.middle & 0xFFFFu, b.middle >> 16, b.high & 0xFFFFu,
                               b.high >> 16};
  std::uint64_t column[5] = {};  // each at most 5 × (2^16 − 1)^2 < 2^35
  for (int i = 0; i < 5; ++i)
    for (int j = 4 - i; j < 5; ++j) column[i + j - 4] += aw[i] * bw[j];
  std::uint64_t digit[6];
  std::uint64_t carry = 0;
  for (int c = 0; c < 5; ++c) {
    carry += column[c];
    digit[c] = carry & 0xFFFFu;
    carry >>= 16;
  }
  digit[5] = carry;  // below 2^16: the product of two 80-bit values is below 2^160
  Bits96 p;
  p.lo = static_cast<std::uint32_t>(digit[0] | (digit[1] << 16));
  p.hi = digit[2] | (digit[3] << 16) | (digit[4] << 32) | (digit[5] << 48);
  return p;
}

constexpr WideReal wideZero() { return WideReal{}; }

constexpr WideReal wideInfinity(bool negative) {
  return makeWideReal(negative, WideReal::kInfinityExponent, std::uint64_t{1} << 63, 0);
}

}  // namespace

WideReal wideMultiply(const WideReal& a, const WideReal& b) {
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

  Bits96 p = upperPartialProducts(a, b);
  s -= 0x3FFE;  // 16382: the bias, less one for the product's top bit at 95 instead of 94

  if (s > 0) {  // normalise until bit 95 is set or the exponent reaches 0
    const int shift = p.isZero() ? s : std::min(p.leadingZeros(), s);
    if (shift < 96) p.shiftLeft(shift);
    s -= shift;
  }
  if (s <= 0) {  // subnormal: denormalise, keeping what is shifted out as a sticky bit
    p.shiftRightSticky(1 - s);
    s = 0;
  }

  // Round to 80 bits on the low word, ties to even.
  const std::uint32_t lowWord = p.lo & 0xFFFFu;
  if (lowWord > 0x8000u || (lowWord == 0x8000u && (p.lo & 0x10000u) != 0)) {
    const std::uint64_t lo = std::uint64_t{p.lo} + 0x10000u;
    p.lo = static_cast<std::uint32_t>(lo);
    p.hi += lo >> 32;
    if (p.hi == 0 && (lo >> 32) != 0) {  // carried out of bit 95: bits 16..95 were all ones
      p.hi = std::uint64_t{1} << 63;
      ++s;
    }
  }
  if (s >= WideReal::kInfinityExponent) return wideInfinity(negative);

  const std::uint64_t top64 = p.hi;
  const auto low = static_cast<std::uint16_t>(p.lo >> 16);
  return makeWideReal(negative, s, top64, low);
}

WideReal scaleByPowerOfTen(WideReal w, int n, bool clearLowWord) {
  // Precondition: |n| <= 8191, the reach of the tables (10^4096 is their largest entry).
  assert(n >= -8191 && n <= 8191);
  if (n == 0) return w;
  const auto& table = n > 0 ? kPowersOfTen : kNegativePowersOfTen;
  unsigned m = static_cast<unsigned>(n > 0 ? n : -n);
  if (clearLowWord) w.low = 0;
  for (int group = 0; group < 5 && m > 0; ++group) {
    const unsigned digit = m % 8;
    m /= 8;
    if (digit != 0) w = wideMultiply(w, table[powerOfTenIndex(group, static_cast<int>(digit))]);
  }
  return w;
}

}  // namespace zendrel
