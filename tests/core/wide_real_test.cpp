#include "core/wide_real.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "core/powers_of_ten.h"
#include "tests/core/big_integer.h"

namespace zendrel {
namespace {

using testing::BigInteger;

BigInteger significandOf(const WideReal& w) {
  return (BigInteger(w.top64()) << 16) + BigInteger(w.low);
}

std::string describe(const WideReal& w) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "sign %d exponent %d significand %016llx%04x",
                w.negative() ? 1 : 0, w.exponentField(),
                static_cast<unsigned long long>(w.top64()), w.low);
  return buffer;
}

WideReal fromSignificand(bool negative, int exponentField, const BigInteger& significand) {
  return makeWideReal(negative, exponentField, (significand >> 16).low64(),
                      static_cast<std::uint16_t>(significand.low64() & 0xFFFF));
}

// n / d rounded to nearest; the table's entries are never ties.
BigInteger roundedQuotient(const BigInteger& n, const BigInteger& d) {
  BigInteger q, r;
  BigInteger::divide(n, d, q, r);
  EXPECT_NE(r << 1, d) << "a tie";
  return (r << 1) > d ? q + BigInteger(1) : q;
}

WideReal exactPowerOfTen(int k) {
  const BigInteger v = BigInteger::powerOfTen(k < 0 ? -k : k);
  const int t = v.bitLength();
  if (k >= 0) {
    if (t <= 80) return fromSignificand(false, WideReal::kBias + t - 1, v << (80 - t));
    BigInteger s = roundedQuotient(v, BigInteger::powerOfTwo(t - 80));
    if (s.bitLength() > 80) return fromSignificand(false, WideReal::kBias + t, s >> 1);
    return fromSignificand(false, WideReal::kBias + t - 1, s);
  }
  // 2^(t-1) < 10^|k| < 2^t, so 2^(t+79) / 10^|k| lies in (2^79, 2^80).
  BigInteger s = roundedQuotient(BigInteger::powerOfTwo(t + 79), v);
  if (s.bitLength() > 80) return fromSignificand(false, WideReal::kBias - t + 1, s >> 1);
  return fromSignificand(false, WideReal::kBias - t, s);
}

TEST(PowersOfTenTable, EveryEntryIsTheNearest80BitValue) {
  for (int i = 0; i < 29; ++i) {
    const int k = powerOfTenExponent(i);
    EXPECT_EQ(describe(kPowersOfTen[i]), describe(exactPowerOfTen(k))) << "10^" << k;
    EXPECT_EQ(describe(kNegativePowersOfTen[i]), describe(exactPowerOfTen(-k))) << "10^-" << k;
  }
}

TEST(PowersOfTenTable, EntriesSitWhereScalingLooksForThem) {
  EXPECT_EQ(powerOfTenExponent(powerOfTenIndex(0, 1)), 1);
  EXPECT_EQ(powerOfTenExponent(powerOfTenIndex(1, 3)), 24);
  EXPECT_EQ(powerOfTenExponent(powerOfTenIndex(2, 7)), 448);
  EXPECT_EQ(powerOfTenExponent(powerOfTenIndex(3, 5)), 2560);
  EXPECT_EQ(powerOfTenExponent(powerOfTenIndex(4, 1)), 4096);
}

TEST(PowersOfTenTable, KnownEntries) {
  EXPECT_EQ(kNegativePowersOfTen[0], makeWideReal(false, 16379, 0xCCCCCCCCCCCCCCCCu, 0xCCCD));
  EXPECT_EQ(kNegativePowersOfTen[2], makeWideReal(false, 16373, 0x83126E978D4FDF3Bu, 0x645A));
  EXPECT_EQ(kPowersOfTen[2], makeWideReal(false, 16392, 0xFA00000000000000u, 0));
}

struct MultiplyCase {
  const char* label;
  WideReal a, b, product;
};

TEST(WideMultiply, DocumentedProducts) {
  const WideReal one = makeWideReal(false, 16383, 0x8000000000000000u, 0);
  const WideReal third = makeWideReal(false, 16381, 0xAAAAAAAAAAAAA800u, 0x0000);
  const WideReal pi = makeWideReal(false, 16384, 0xC90FDAA22168C000u, 0x0000);
  const MultiplyCase cases[] = {
      {"1000 times 10^-3 carries through all 80 bits to exactly 1", kPowersOfTen[2],
       kNegativePowersOfTen[2], one},
      {"1/3 times 10^-1 keeps the truncation of the left-out products", third,
       kNegativePowersOfTen[0], makeWideReal(false, 16378, 0x8888888888888666u, 0x6665)},
      {"pi times 10^-1 falls just below the correctly rounded product", pi,
       kNegativePowersOfTen[0], makeWideReal(false, 16381, 0xA0D97BB4E786FFFFu, 0xFFFF)},
      {"one is neutral", one, pi, pi},
      {"signs combine", makeWideReal(true, 16383, 0x8000000000000000u, 0), pi,
       makeWideReal(true, 16384, 0xC90FDAA22168C000u, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(wideMultiply(c.a, c.b)), describe(c.product)) << c.label;
}

TEST(WideMultiply, ExponentLimits) {
  const WideReal infinity = makeWideReal(false, 0x7FFF, 0x8000000000000000u, 0);
  const auto withExponent = [](bool negative, int e) {
    return makeWideReal(negative, e, 0x8000000000000000u, 0);
  };
  // Exponent fields summing beyond 49149 overflow; to 16319 or less they vanish with sign 0.
  EXPECT_EQ(wideMultiply(withExponent(false, 32000), withExponent(false, 17150)), infinity);
  EXPECT_EQ(wideMultiply(withExponent(true, 16000), withExponent(false, 319)), WideReal{});
  EXPECT_EQ(wideMultiply(withExponent(false, 16000), withExponent(false, 320)).exponentField(), 0)
      << "just above the cut-off the product is subnormal, not zero";
  EXPECT_NE(wideMultiply(withExponent(false, 16000), withExponent(false, 320)), WideReal{});
  // A zero operand gives zero with sign 0 whatever the other's sign.
  EXPECT_EQ(wideMultiply(WideReal{}, withExponent(true, 16383)), WideReal{});
  EXPECT_EQ(wideMultiply(withExponent(true, 16383), WideReal{}), WideReal{});
  // Infinity times anything, zero included, is infinity.
  EXPECT_EQ(wideMultiply(infinity, WideReal{}), infinity);
  EXPECT_EQ(wideMultiply(withExponent(true, 16383), infinity).negative(), true);
}

// An independent statement of the product: the exact product of the significands less the
// ten left-out partial products, divided by 2^64, then normalised and rounded on bit 16.
WideReal modelMultiply(const WideReal& a, const WideReal& b) {
  const int ea = a.exponentField(), eb = b.exponentField();
  const bool negative = a.negative() != b.negative();
  const WideReal infinity = makeWideReal(negative, 0x7FFF, 0x8000000000000000u, 0);
  int s = ea + eb;
  if (ea == 0x7FFF || eb == 0x7FFF || s > 49149) return infinity;
  if (s <= 16319) return WideReal{};
  const BigInteger ma = significandOf(a), mb = significandOf(b);
  if ((ea == 0 && ma.isZero()) || (eb == 0 && mb.isZero())) return WideReal{};
  s += (ea == 0) + (eb == 0);
  BigInteger leftOut;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; i + j <= 3; ++j)
      leftOut = leftOut + (((ma >> (16 * i)).low64() & 0xFFFF) * ((mb >> (16 * j)).low64() & 0xFFFF) *
                           BigInteger::powerOfTwo(16 * (i + j)));
  BigInteger p = (ma * mb - leftOut) >> 64;
  s -= 16382;
  while (s > 0 && !p.bit(95)) {
    p = p << 1;
    --s;
  }
  if (s <= 0) {
    const int n = 1 - s;
    const bool lost = !(p - ((p >> n) << n)).isZero();
    p = p >> n;
    if (lost && !p.bit(0)) p = p + BigInteger(1);
    s = 0;
  }
  const std::uint64_t low = p.low64() & 0xFFFF;
  if (low > 0x8000 || (low == 0x8000 && p.bit(16))) p = p + BigInteger(0x10000);
  if (p.bitLength() > 96) {
    p = BigInteger::powerOfTwo(95);
    ++s;
  }
  if (s >= 0x7FFF) return infinity;
  return fromSignificand(negative, s, p >> 16);
}

TEST(WideMultiply, AgreesWithTheExactModel) {
  const unsigned seed = 20261211;
  std::mt19937_64 random(seed);
  const auto randomWide = [&random]() {
    const int kind = static_cast<int>(random() % 8);
    const std::uint64_t top = random();
    const auto low = static_cast<std::uint16_t>(random());
    switch (kind) {
      case 0: return makeWideReal(random() & 1, 0, top >> (random() % 64), low);  // subnormal
      case 1: return makeWideReal(false, 16383, top | (std::uint64_t{1} << 63), 0xFFFF);
      case 2: return makeWideReal(false, static_cast<int>(random() % 64) + 8000,
                                  ~std::uint64_t{0}, static_cast<std::uint16_t>(0xFFFF - (low & 0xFF)));
      default:
        return makeWideReal(random() & 1, static_cast<int>(random() % 0x7FFF),
                            top | (std::uint64_t{1} << 63), low);
    }
  };
  for (int i = 0; i < 200000; ++i) {
    const WideReal a = randomWide(), b = randomWide();
    ASSERT_EQ(describe(wideMultiply(a, b)), describe(modelMultiply(a, b)))
        << "seed " << seed << " case " << i << ": " << describe(a) << " times " << describe(b);
  }
}

TEST(ScaleByPowerOfTen, ZeroKeepsTheLowWord) {
  const WideReal w = makeWideReal(false, 16390, 0x8123456789ABCDEFu, 0xBEEF);
  EXPECT_EQ(scaleByPowerOfTen(w, 0, true), w);
  EXPECT_EQ(scaleByPowerOfTen(w, 0, false), w);
}

TEST(ScaleByPowerOfTen, ClearsTheLowWordOnlyWhenAsked) {
  const WideReal w = makeWideReal(false, 16390, 0x8123456789ABCDEFu, 0xBEEF);
  WideReal cleared = w;
  cleared.low = 0;
  EXPECT_EQ(scaleByPowerOfTen(w, 1, true), wideMultiply(cleared, kPowersOfTen[0]));
  EXPECT_EQ(scaleByPowerOfTen(w, 1, false), wideMultiply(w, kPowersOfTen[0]));
}

TEST(ScaleByPowerOfTen, MultipliesLowestOctalDigitFirst) {
  const WideReal third = makeWideReal(false, 16381, 0xAAAAAAAAAAAAA800u, 0);
  // 23 is octal 27: 10^7, then 10^16.
  EXPECT_EQ(scaleByPowerOfTen(third, 23, false),
            wideMultiply(wideMultiply(third, kPowersOfTen[powerOfTenIndex(0, 7)]),
                         kPowersOfTen[powerOfTenIndex(1, 2)]));
  // 323 is octal 503: 10^-3, then 10^-320.
  EXPECT_EQ(scaleByPowerOfTen(third, -323, false),
            wideMultiply(wideMultiply(third, kNegativePowersOfTen[powerOfTenIndex(0, 3)]),
                         kNegativePowersOfTen[powerOfTenIndex(2, 5)]));
  // 8191 is octal 17777, the reach of the tables: every group, 10^4096 last.
  const WideReal tiny = makeWideReal(false, 100, third.top64(), 0);
  WideReal expected = tiny;
  for (int group = 0; group < 4; ++group)
    expected = wideMultiply(expected, kPowersOfTen[powerOfTenIndex(group, 7)]);
  expected = wideMultiply(expected, kPowersOfTen[powerOfTenIndex(4, 1)]);
  EXPECT_EQ(scaleByPowerOfTen(tiny, 8191, false), expected);
}

}  // namespace
}  // namespace zendrel
