#include "core/text_to_number.h"

#include <bit>
#include <cassert>

namespace zendrel {

namespace {

// The ASCII byte a code page 936 pair folds to, or 0 when the pair stays as it is.
constexpr char foldedPair(unsigned char lead, unsigned char trail) {
  if (lead == 0xA1) {
    switch (trail) {
      case 0xA1: return ' ';  // ideographic space
      case 0xAB: return '~';  // fullwidth tilde
      case 0xEE: return '*';  // white star
      case 0xEF: return '*';  // black star
      default: return 0;
    }
  }
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)  // full-width forms of 0x21..0x7E
    return static_cast<char>(trail - 0x80);
  return 0;
}

// Yields the bytes of a text as its folded copy would hold them, without making the copy.
// Bytes of an unfolded pair come out as they are.
class FoldingReader {
 public:
  explicit FoldingReader(std::string_view text)
      : next_(text.data()), end_(text.data() + text.size()) {
    advance();
  }
  // The current byte, or -1 at the end of the text.
  int peek() const { return current_; }
  // A byte 0x01..0x7F stands for itself, also as the second byte of an unfolded pair; only
  // the end, a zero byte and a byte of 0x80 or more need more.
  void advance() {
    if (next_ != end_) {
      const auto byte = static_cast<unsigned char>(*next_);
      if (byte - 1u < 0x7Fu) {
        ++next_;
        current_ = byte;
        trailPending_ = false;
        return;
      }
    }
    advanceSlowly();
  }

 private:
  void advanceSlowly() {
    if (next_ == end_ || *next_ == '\0') {
      current_ = -1;
      return;
    }
    const auto lead = static_cast<unsigned char>(*next_++);
    if (trailPending_) {  // the second byte of an unfolded pair comes out as it is
      current_ = lead;
      trailPending_ = false;
      return;
    }
    if (next_ == end_ || *next_ == '\0') {  // a lone lead byte at the end is dropped
      current_ = -1;
      return;
    }
    const auto trail = static_cast<unsigned char>(*next_);
    if (const char ascii = foldedPair(lead, trail); ascii != 0) {
      ++next_;
      current_ = static_cast<unsigned char>(ascii);
    } else {
      current_ = lead;
      trailPending_ = true;  // next_ stays on the second byte
    }
  }

  const char* next_;
  const char* end_;
  int current_ = -1;
  bool trailPending_ = false;
};

// Yields the bytes of an already folded text up to its first zero byte.
class PlainReader {
 public:
  explicit PlainReader(std::string_view text) : text_(text) {}
  int peek() const {
    return pos_ < text_.size() && text_[pos_] != '\0' ? static_cast<unsigned char>(text_[pos_])
                                                      : -1;
  }
  void advance() { ++pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

constexpr bool isWhiteSpace(int c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }
constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }
constexpr bool isExponentLetter(int c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// digitExponent saturates here: with an explicit exponent of at most 5201 and at most 25
// digit adjustments, any value beyond it scales past the ±5200 limits just the same.
constexpr std::int32_t kDigitExponentLimit = 1 << 24;

// An 80-bit unsigned integer: hi holds bits 64..79.
struct Bits80 {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;

  void multiplyAdd(unsigned factor, unsigned addend) {
    const std::uint64_t low = (lo & 0xFFFFFFFFu) * factor + addend;
    const std::uint64_t high = (lo >> 32) * factor + (low >> 32);
    lo = (high << 32) | (low & 0xFFFFFFFFu);
    hi = hi * factor + (high >> 32);
  }
  void increment() {
    ++lo;
    if (lo == 0) ++hi;
  }
  int bitLength() const {
    return hi != 0 ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(lo);
  }
};

// 10^0 .. 10^19, the powers of ten that fit in 64 bits.
constexpr std::array<std::uint64_t, 20> kSmallPowersOfTen = [] {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t p = 1;
  for (auto& entry : powers) {
    entry = p;
    p *= 10;
  }
  return powers;
}();

// Any 19 digits fit in 64 bits: 10^19 − 1 < 2^64.
constexpr int kDigitsInUint64 = 19;

// The value of the significant digits of a number, built as they are read: the integer they
// form without its trailing zeros. A zero digit is only counted, and folded in when a
// non-zero digit follows it. The value stays in 64 bits while there are at most 19 digits.
class DigitAccumulator {
 public:
  // Appends the digit that makes digitCount digits in all (1 to 24).
  void append(unsigned digit, int digitCount) {
    if (digit == 0) {
      ++trailingZeros_;
      return;
    }
    const int width = trailingZeros_ + 1;  // the decimal places the value moves up by
    if (digitCount <= kDigitsInUint64)  // times ten alone is the usual case, and the quickest
      value_.lo = (width == 1 ? value_.lo * 10 : value_.lo * kSmallPowersOfTen[width]) + digit;
    else
      appendBeyond64Bits(width, digit);
    trailingZeros_ = 0;
  }
  // Rounds at the 24th digit when a 25th follows: one is added when the 24th is 5 or more.
  void roundAt24thDigit() {
    if (trailingZeros_ == 0 && lastWideDigit_ >= 5) value_.increment();
  }

  const Bits80& value() const { return value_; }
  int trailingZeros() const { return trailingZeros_; }

 private:
  void appendBeyond64Bits(int width, unsigned digit) {
    for (int i = 1; i < width; ++i) value_.multiplyAdd(10, 0);
    value_.multiplyAdd(10, digit);
    lastWideDigit_ = digit;
  }

  Bits80 value_;
  int trailingZeros_ = 0;
  unsigned lastWideDigit_ = 0;  // the last non-zero digit beyond the 19th
};

// What textToNumber reads: the fields of DecimalScan, with the digits turned into their
// value as they are read rather than stored one by one.
struct NumberScan {
  bool negative = false;
  bool sawDigit = false;
  DigitAccumulator digits;
  int digitCount = 0;
  std::int32_t digitExponent = 0;
  std::uint32_t exponentValue = 0;
  bool exponentNegative = false;
};

// Keeps the next digit; digitCount is below 25.
void storeDigit(DecimalScan& scan, int digit) {
  scan.digits[scan.digitCount++] = static_cast<std::uint8_t>(digit);
}

// The 25th digit itself is not kept: it only says that the 24th digit is rounded, which the
// 24th digit decides on its own (a 9 becoming the value 10).
inline void storeDigit(NumberScan& scan, int digit) {
  ++scan.digitCount;
  if (scan.digitCount < DecimalScan::kMaxDigits)
    scan.digits.append(static_cast<unsigned>(digit), scan.digitCount);
  else
    scan.digits.roundAt24thDigit();
}

template <class Scan>
void appendIntegerDigit(Scan& scan, int digit) {
  if (scan.digitCount < DecimalScan::kMaxDigits)
    storeDigit(scan, digit);
  else if (scan.digitExponent < kDigitExponentLimit)
    ++scan.digitExponent;
}

template <class Scan>
void appendFractionDigit(Scan& scan, int digit) {
  if (scan.digitCount < DecimalScan::kMaxDigits) {
    storeDigit(scan, digit);
    --scan.digitExponent;
  }
}


// Reads the explicit exponent after an exponent letter. Nothing is taken (the number ends
// before the letter) unless a digit follows the letter or its sign.
template <class Reader, class Scan>
inline void scanExponent(Reader& in, Scan& scan) {
  in.advance();  // the letter
  bool negative = false;
  if (in.peek() == '+' || in.peek() == '-') {
    negative = in.peek() == '-';
    in.advance();
  }
  scan.exponentNegative = negative;  // no effect unless a digit follows
  if (!isDigit(in.peek())) return;
  std::uint32_t value = 0;
  for (; isDigit(in.peek()); in.advance()) {
    if (value <= DecimalScan::kExponentLimit) {
      value = value * 10 + static_cast<std::uint32_t>(in.peek() - '0');
      if (value > DecimalScan::kExponentLimit) value = DecimalScan::kExponentLimit + 1;
    }
  }
  scan.exponentValue = value;
}

template <class Scan, class Reader>
Scan scanNumber(Reader& in) {
  Scan scan;
  while (isWhiteSpace(in.peek())) in.advance();
  if (in.peek() == '+' || in.peek() == '-') {
    scan.negative = in.peek() == '-';
    in.advance();
  }
  // Integer part, leading zeros included; a point first needs a digit after it.
  if (in.peek() == '.') {
    in.advance();
    if (!isDigit(in.peek())) return scan;
  } else {
    if (!isDigit(in.peek())) return scan;
    scan.sawDigit = true;
    while (in.peek() == '0') in.advance();
    for (; isDigit(in.peek()); in.advance()) appendIntegerDigit(scan, in.peek() - '0');
    if (in.peek() != '.') {
      if (isExponentLetter(in.peek())) scanExponent(in, scan);
      return scan;
    }
    in.advance();
  }
  // Fraction: zeros before its first significant digit only move the exponent.
  scan.sawDigit = true;
  for (; isDigit(in.peek()); in.advance()) {
    const int digit = in.peek() - '0';
    if (scan.digitCount == 0 && digit == 0) {
      if (scan.digitExponent > -kDigitExponentLimit) --scan.digitExponent;
    } else {
      appendFractionDigit(scan, digit);
    }
  }
  if (isExponentLetter(in.peek())) scanExponent(in, scan);
  return scan;
}


// A 96-bit rounding field with b0 (the significand's top bit) at bit 95 of this value;
// hi holds bits 64..95.
struct RoundingField {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;

  static RoundingField of(const WideReal& x) {
    RoundingField f;
    f.hi = x.high;
    f.lo = (std::uint64_t{x.middle} << 32) | (std::uint64_t{x.low} << 16);
    return f;
  }
  // Shift right by 0..63 bits; bits moved below b95 are lost.
  void shiftRight(int n) {
    if (n == 0) return;
    lo = (lo >> n) | (hi << (64 - n));
    hi >>= n;
  }
  // The 53-bit rule: one unit is added at b52 when b53 is set and some bit of b55..b95 is set
  // (b54 takes no part); then every bit after b53 is cleared. Returns whether the carry ran
  // out of b0.
  bool roundAt53() {
    constexpr std::uint64_t b52 = std::uint64_t{1} << 43;
    constexpr std::uint64_t b53 = std::uint64_t{1} << 42;
    constexpr std::uint64_t b55AndBelow = (std::uint64_t{1} << 41) - 1;
    if ((lo & b53) != 0 && (lo & b55AndBelow) != 0) {
      const std::uint64_t sum = lo + b52;
      hi += sum < lo ? 1 : 0;
      lo = sum;
    }
    lo &= ~(b53 - 1);
    return (hi >> 32) != 0;
  }
  std::uint64_t bits1To52() const { return ((hi & 0x7FFFFFFFu) << 21) | (lo >> 43); }
  std::uint64_t bits0To51() const { return ((hi & 0xFFFFFFFFu) << 20) | (lo >> 44); }
};

constexpr std::uint64_t kDoubleSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kDoubleInfinity = 0x7FF0000000000000u;

double signedZero(bool negative) { return std::bit_cast<double>(negative ? kDoubleSignBit : 0); }
double signedInfinity(bool negative) {
  return std::bit_cast<double>(kDoubleInfinity | (negative ? kDoubleSignBit : 0));
}

// wideToDouble of |x| with the sign given apart.
inline double roundToDouble(const WideReal& x, bool negative) {
  const int biased = x.exponentField();
  if (biased == 0) return signedZero(negative);
  const int e0 = biased - WideReal::kBias;

  const RoundingField f0 = RoundingField::of(x);
  RoundingField f = f0;
  int e = e0;
  const bool carried = f.roundAt53();
  if (carried) ++e;  // the significand is now 1.0, its leading 1 being the carry

  std::uint64_t fraction;
  std::uint64_t exponentField;
  if (e < -1076) return signedZero(negative);
  if (e <= -1023) {  // subnormal: round at the bit below the last fraction bit, then drop it
    f = f0;
    f.shiftRight(-1023 - e0);
    f.roundAt53();
    fraction = f.bits0To51();
    exponentField = 0;
  } else if (e >= 1024) {
    return signedInfinity(negative);
  } else {
    fraction = carried ? 0 : f.bits1To52();
    exponentField = static_cast<std::uint64_t>(e + 1023);
  }
  return std::bit_cast<double>((negative ? kDoubleSignBit : 0) | (exponentField << 52) | fraction);
}

// The integer n (1 <= n < 2^80) as a normalised WideReal, exactly.
WideReal wideOfInteger(Bits80 n) {
  const int length = n.bitLength();
  const int shift = 80 - length;  // bring the top bit to bit 79, exactly
  if (shift >= 64) {
    n.hi = n.lo << (shift - 64);
    n.lo = 0;
  } else if (shift > 0) {
    n.hi = (n.hi << shift) | (n.lo >> (64 - shift));
    n.lo <<= shift;
  }
  const std::uint64_t top64 = (n.hi << 48) | (n.lo >> 16);
  return makeWideReal(false, WideReal::kBias + length - 1, top64,
                      static_cast<std::uint16_t>(n.lo & 0xFFFFu));
}

double numberOf(const NumberScan& scan) {
  if (!scan.sawDigit) return 0.0;
  if (scan.digitCount == 0) return signedZero(scan.negative);
  std::int32_t digitExponent = scan.digitExponent + scan.digits.trailingZeros();
  if (scan.digitCount == DecimalScan::kMaxDigits) ++digitExponent;  // the 25th is dropped
  WideReal x = wideOfInteger(scan.digits.value());

  const std::int32_t exponent = static_cast<std::int32_t>(scan.exponentValue);
  const std::int32_t p = digitExponent + (scan.exponentNegative ? -exponent : exponent);
  constexpr std::int32_t kScaleLimit = 5200;
  if (p > kScaleLimit) return signedInfinity(scan.negative);
  if (p < -kScaleLimit) return signedZero(scan.negative);
  return roundToDouble(scaleByPowerOfTen(x, p, true), scan.negative);
}

}  // namespace

Text foldFullWidth(std::string_view text) {
  Text folded;
  FoldingReader in(text);
  for (; in.peek() >= 0; in.advance()) folded.push_back(static_cast<char>(in.peek()));
  return folded;
}

DecimalScan scanDecimal(std::string_view folded) {
  PlainReader in(folded);
  return scanNumber<DecimalScan>(in);
}

WideReal digitsToWide(const std::array<std::uint8_t, DecimalScan::kMaxDigits>& digits,
                      int digitCount) {
  // Precondition: a normalised digit sequence of at most 24 digits; its value is below 2^80.
  assert(digitCount >= 1 && digitCount <= 24 && digits[0] != 0);
  Bits80 n;
  const int fast = digitCount < kDigitsInUint64 ? digitCount : kDigitsInUint64;
  for (int i = 0; i < fast; ++i) n.lo = n.lo * 10 + digits[i];  // the 24th may be 10, not here
  for (int i = fast; i < digitCount; ++i) n.multiplyAdd(10, digits[i]);
  return wideOfInteger(n);
}

double wideToDouble(const WideReal& x) { return roundToDouble(x, x.negative()); }

double textToNumber(std::string_view text) {
  FoldingReader in(text);
  return numberOf(scanNumber<NumberScan>(in));
}

}  // namespace zendrel
