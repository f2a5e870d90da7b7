#include "core/number_to_text.h"

#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/byte_words.h"
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

// F = W × 2^88 for W in [0.0625, 1): a fixed-point fraction with 88 bits after the point,
// hi holding bits 64..95 and lo bits 0..63.
struct Fraction88 {
  std::uint64_t hi;
  std::uint64_t lo;
};

Fraction88 fixedPointFraction(const WideReal& w) {
  const int shift = w.exponentField() - 16374;  // 5..8 while W lies in [0.0625, 1)
  assert(shift >= 5 && shift <= 8);
  const std::uint64_t significandHi = w.high >> 16;
  const std::uint64_t significandLo = (std::uint64_t{w.high} << 48) |
                                      (std::uint64_t{w.middle} << 16) | w.low;
  return {(significandHi << shift) | (significandLo >> (64 - shift)), significandLo << shift};
}

// The first 17 significant decimal digits of |x| (as a number in [10^16, 10^17)), rounded
// half up by an 18th, and the decimal exponent E with |x| about 0.D × 10^E.
std::uint64_t seventeenDigits(const WideReal& w, std::int32_t& decimalExponent) {
  std::int32_t r = estimateDecimalExponent(w.exponentField(), w.top64());
  // The scaled value is used in place in each branch: merging the two into one variable
  // makes the compiler copy it through memory with overlapping loads that stall.
  const WideReal scaled = scaleByPowerOfTen(w, -r, false);
  Fraction88 f;
  if (scaled.exponentField() >= WideReal::kBias) {  // W >= 1: divide by ten once more
    // One tenth cut after 80 significant bits (twenty hexadecimal Cs), a little below 0.1.
    constexpr WideReal kTenthCut = makeWideReal(false, 0x3FFB, 0xCCCCCCCCCCCCCCCCu, 0xCCCC);
    f = fixedPointFraction(wideMultiply(scaled, kTenthCut));
    ++r;
  } else {
    f = fixedPointFraction(scaled);
  }
  std::uint64_t hi = f.hi;
  std::uint64_t lo = f.lo;

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

// "00" to "99": two digits per lookup.
constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes n (0 <= n < 100) as two digits.
void writeTwoDigits(char* out, unsigned n) {
  out[0] = kDigitPairs[2 * n];
  out[1] = kDigitPairs[2 * n + 1];
}

// Writes g (0 <= g < 10^13) as exactly thirteen digits, zero-filled.
void writeThirteenDigits(char* out, std::uint64_t g) {
  constexpr std::uint64_t kTenTo8 = 100'000'000;
  auto upper = static_cast<std::uint32_t>(g / kTenTo8);  // five digits
  auto lower = static_cast<std::uint32_t>(g % kTenTo8);  // eight digits
  out[0] = static_cast<char>('0' + upper / 10'000);
  upper %= 10'000;
  writeTwoDigits(out + 1, upper / 100);
  writeTwoDigits(out + 3, upper % 100);
  const std::uint32_t lowerHigh = lower / 10'000;
  const std::uint32_t lowerLow = lower % 10'000;
  writeTwoDigits(out + 5, lowerHigh / 100);
  writeTwoDigits(out + 7, lowerHigh % 100);
  writeTwoDigits(out + 9, lowerLow / 100);
  writeTwoDigits(out + 11, lowerLow % 100);
}

// The position (0..12) of the last digit other than "0" among the thirteen digits at digits,
// whose first is never "0". Counted a word at a time: where a body ends is as good as random,
// and a loop would mispredict its exit.
int lastNonZeroDigit(const char* digits) {
  const std::uint64_t last8 = loadEightBytes(digits + 5) ^ kAsciiZeros;  // digits 5..12, 12 on top
  const std::uint64_t first5 = (loadEightBytes(digits) ^ kAsciiZeros) << 24;  // 0..4 on top
  const int zerosInLast8 = std::countl_zero(last8) / 8;    // 8 when all are zeros
  const int zerosInFirst5 = std::countl_zero(first5) / 8;  // at most 4: digit 0 is not a zero
  return 12 - zerosInLast8 - (zerosInLast8 == 8 ? zerosInFirst5 : 0);
}

// The text of |x| from its thirteen digits G and the exponent X of G's first digit, written at
// out: the exponent form below 10^-4 and from 10^13 on, the fixed form between. Digits and
// the point are placed with fixed-size copies, which need 31 bytes at out whatever the text's
// length; trailing fraction zeros and a bare point are left off by where the text ends.
// Returns the length.
std::size_t layOut(char* out, std::uint64_t g, int x) {
  char digits[32] = {};  // the thirteen digits; the copies below read on into this room
  writeThirteenDigits(digits, g);
  const int last = lastNonZeroDigit(digits);
  const bool exponentForm = x < -4 || x >= 13;
  if (x < 0 && !exponentForm) {  // "0." and −X − 1 zeros, then the digits up to the last
    std::memcpy(out, "0.000000", 8);
    std::memcpy(out + 1 - x, digits, 16);
    return static_cast<std::size_t>(2 - x + last);
  }
  // The digits with a point after digit P, P = X in the fixed form and 0 in the exponent form.
  const int p = exponentForm ? 0 : x;
  std::memcpy(out, digits, 16);
  out[p + 1] = '.';
  std::memcpy(out + p + 2, digits + p + 1, 16);
  const auto length = static_cast<std::size_t>(last <= p ? p + 1 : last + 2);
  const unsigned magnitude = static_cast<unsigned>(x < 0 ? -x : x);  // at most 324
  char* suffix = out + length;
  suffix[0] = 'e';
  suffix[1] = x < 0 ? '-' : '+';
  suffix[2] = static_cast<char>('0' + magnitude / 100);
  writeTwoDigits(suffix + 3, magnitude % 100);
  return length + (exponentForm ? 5 : 0);
}

// Copies a text of at most 8 bytes to out and returns its length.
std::size_t writeLiteral(char* out, std::string_view literal) {
  std::memcpy(out, literal.data(), literal.size());
  return literal.size();
}

}  // namespace

std::size_t numberToText(double value, std::span<char, kNumberTextRoom> room) {
  char* const out = room.data();
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & kFractionMask;

  if (biased == 0x7FF) {
    if (fraction == 0) return writeLiteral(out, negative ? "-1.#INF" : "1.#INF");
    fraction |= kQuietBit;  // a signalling value reads as its quiet form
    if (negative && fraction == kQuietBit) return writeLiteral(out, "-1.#IND");
    return writeLiteral(out, negative ? "-1.#QNAN" : "1.#QNAN");
  }
  if (biased == 0 && fraction == 0) return writeLiteral(out, "0");

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
  out[0] = '-';  // kept only for a negative value: the body then starts after it
  const std::size_t sign = negative ? 1 : 0;
  return sign + layOut(out + sign, g, e - 1);
}

Text numberToText(double value) {
  char text[kNumberTextRoom];
  return Text(text, numberToText(value, text));
}

}  // namespace zendrel
