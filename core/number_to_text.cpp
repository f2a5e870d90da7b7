#include "core/number_to_text.h"

#include <bit>
#include <cassert>
#include <cstdint>

#include "core/wide_real.h"

namespace zendrel {

namespace {

constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 51;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t kTenTo13 = 10'000'000'000'000;
constexpr std::uint64_t kTenTo16 = 10'000'000'000'000'000;
constexpr std::uint64_t kTenTo17 = 100'000'000'000'000'000;

// |x| as a WideReal: the x87 extended layout of the double, low word 0. The top bit of the
// significand is always set, subnormal doubles included.
WideReal wideMagnitude(int biased, std::uint64_t fraction, int& exponentField) {
  if (biased != 0) {
    exponentField = biased + 15360;  // 15360 = 16383 − 1023, the difference of the biases
    return makeWideReal(false, exponentField, (std::uint64_t{1} << 63) | (fraction << 11), 0);
  }
  const int k = std::countl_zero(fraction << 11);  // at least 1: the fraction has 52 bits
  exponentField = 15361 - k;
  return makeWideReal(false, exponentField, fraction << (11 + k), 0);
}

// floor(log10 |x|) + 1 or one less: 10^(r − 1) <= |x| < 1.07 × 10^r.
std::int32_t estimateDecimalExponent(int exponentField, std::uint64_t top64) {
  const std::int32_t b = exponentField;
  const auto topByte = static_cast<std::int32_t>(top64 >> 56);
  const std::int32_t sum = b * 19728  // floor(log10(2) × 65536)
                           + (b / 256) * 77 + topByte * 154 - 323162868;
  return sum >> 16;  // an arithmetic shift: rounds toward minus infinity
}

// The first 17 significant decimal digits of |x| (as a number in [10^16, 10^17)), rounded
// half up by an 18th, and the decimal exponent E with |x| about 0.D × 10^E.
std::uint64_t seventeenDigits(WideReal w, std::int32_t& decimalExponent) {
  std::int32_t r = estimateDecimalExponent(w.exponentField(), w.top64());
  w = scaleByPowerOfTen(w, -r, false);
  if (w.exponentField() >= WideReal::kBias) {  // W >= 1: divide by ten once more
    // One tenth cut after 80 significant bits (twenty hexadecimal Cs), a little below 0.1.
    constexpr WideReal kTenthCut = makeWideReal(false, 0x3FFB, 0xCCCCCCCCCCCCCCCCu, 0xCCCC);
    w = wideMultiply(w, kTenthCut);
    ++r;
  }
  // F = W × 2^88, a fixed-point fraction with 88 bits after the point: hi holds bits 64..95.
  const int shift = w.exponentField() - 16374;  // 5..8 while W lies in [0.0625, 1)
  assert(shift >= 5 && shift <= 8);
  const std::uint64_t significandHi = w.high >> 16;
  const std::uint64_t significandLo = (std::uint64_t{w.high} << 48) |
                                      (std::uint64_t{w.middle} << 16) | w.low;
  std::uint64_t hi = (significandHi << shift) | (significandLo >> (64 - shift));
  std::uint64_t lo = significandLo << shift;

  // Eighteen digits, nine at a time: F × 10^9 splits exactly into the next nine digits above
  // bit 88 and the new F below it, as nine steps of F × 10 would.
  constexpr std::uint64_t kTenTo9 = 1'000'000'000;
  const auto nextNineDigits = [&hi, &lo] {
    const std::uint64_t low = (lo & 0xFFFFFFFFu) * kTenTo9;
    const std::uint64_t middle = (lo >> 32) * kTenTo9 + (low >> 32);
    lo = (middle << 32) | (low & 0xFFFFFFFFu);
    hi = hi * kTenTo9 + (middle >> 32);  // below 2^54: F × 10^9 < 2^118
    const std::uint64_t nine = hi >> 24;  // bits 88 and up
    hi &= (std::uint64_t{1} << 24) - 1;
    return nine;
  };
  const std::uint64_t first = nextNineDigits();
  const std::uint64_t second = nextNineDigits();
  std::uint64_t digits = first * 100'000'000 + second / 10;
  const auto eighteenth = static_cast<int>(second % 10);
  if (eighteenth >= 5) ++digits;
  if (digits >= kTenTo17) {  // seventeen nines carried over
    digits /= 10;
    ++r;
  }
  // A leading 0 is left only by an exact power of ten scaled just below 0.1: the carry has
  // then made it 1 followed by zeros, and E stays.
  while (digits < kTenTo16) {
    digits *= 10;
    --r;
  }
  decimalExponent = r;
  return digits;
}

void appendThreeDigits(Text& out, int n) {
  out.push_back(static_cast<char>('0' + n / 100));
  out.push_back(static_cast<char>('0' + n / 10 % 10));
  out.push_back(static_cast<char>('0' + n % 10));
}

// The text of |x| from its thirteen digits G and the exponent X of G's first digit: the
// exponent form below 10^-4 and from 10^13 on, the fixed form between.
void layOut(Text& out, std::uint64_t g, int x) {
  char digits[13];
  for (int i = 12; i >= 0; --i, g /= 10) digits[i] = static_cast<char>('0' + g % 10);
  char body[20];  // at most "0.0000" and 13 digits
  std::size_t length = 0;
  const auto append = [&body, &length](const char* from, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) body[length++] = from[i];
  };
  const bool exponentForm = x < -4 || x >= 13;
  if (exponentForm) {
    append(digits, 1);
    append(".", 1);
    append(digits + 1, 12);
  } else if (x >= 0) {
    append(digits, static_cast<std::size_t>(x + 1));
    append(".", 1);
    append(digits + x + 1, static_cast<std::size_t>(12 - x));
  } else {
    append("0.", 2);
    append("0000", static_cast<std::size_t>(-x - 1));
    append(digits, 13);
  }
  while (body[length - 1] == '0') --length;  // every body holds a point: zeros before it stay
  if (body[length - 1] == '.') --length;
  out.append(body, length);
  if (exponentForm) {
    out.push_back('e');
    out.push_back(x < 0 ? '-' : '+');
    appendThreeDigits(out, x < 0 ? -x : x);
  }
}

}  // namespace

Text numberToText(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & kFractionMask;

  if (biased == 0x7FF) {
    if (fraction == 0) return negative ? "-1.#INF" : "1.#INF";
    fraction |= kQuietBit;  // a signalling value reads as its quiet form
    if (negative && fraction == kQuietBit) return "-1.#IND";
    return negative ? "-1.#QNAN" : "1.#QNAN";
  }
  if (biased == 0 && fraction == 0) return "0";

  int exponentField = 0;
  const WideReal w = wideMagnitude(biased, fraction, exponentField);
  std::int32_t e = 0;
  const std::uint64_t d = seventeenDigits(w, e);

  // Thirteen digits, rounded half up by the fourteenth digit of D (D itself already rounded).
  std::uint64_t g = d / 10'000 + ((d / 1'000) % 10 >= 5 ? 1 : 0);
  if (g == kTenTo13) {
    g /= 10;
    ++e;
  }
  Text out;
  if (negative) out.push_back('-');
  layOut(out, g, e - 1);
  return out;
}

}  // namespace zendrel
