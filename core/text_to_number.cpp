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
  explicit FoldingReader(std::string_view text) : text_(text) { load(); }
  // The current byte, or -1 at the end of the text.
  int peek() const { return current_; }
  void advance() {
    if (pendingTrail_ >= 0) {
      current_ = pendingTrail_;
      pendingTrail_ = -1;
      return;
    }
    load();
  }

 private:
  void load() {
    if (pos_ >= text_.size() || text_[pos_] == '\0') {
      current_ = -1;
      return;
    }
    const auto lead = static_cast<unsigned char>(text_[pos_++]);
    if (lead < 0x80) {
      current_ = lead;
      return;
    }
    if (pos_ >= text_.size() || text_[pos_] == '\0') {  // a lone lead byte at the end is dropped
      current_ = -1;
      return;
    }
    const auto trail = static_cast<unsigned char>(text_[pos_++]);
    if (const char ascii = foldedPair(lead, trail); ascii != 0) {
      current_ = static_cast<unsigned char>(ascii);
    } else {
      current_ = lead;
      pendingTrail_ = trail;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int current_ = -1;
  int pendingTrail_ = -1;
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

void appendIntegerDigit(DecimalScan& scan, int digit) {
  if (scan.digitCount < DecimalScan::kMaxDigits)
    scan.digits[scan.digitCount++] = static_cast<std::uint8_t>(digit);
  else if (scan.digitExponent < kDigitExponentLimit)
    ++scan.digitExponent;
}

void appendFractionDigit(DecimalScan& scan, int digit) {
  if (scan.digitCount < DecimalScan::kMaxDigits) {
    scan.digits[scan.digitCount++] = static_cast<std::uint8_t>(digit);
    --scan.digitExponent;
  }
}

// Reads the explicit exponent after an exponent letter. Nothing is taken (the number ends
// before the letter) unless a digit follows the letter or its sign.
template <class Reader>
void scanExponent(Reader& in, DecimalScan& scan) {
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

template <class Reader>
DecimalScan scanNumber(Reader& in) {
  DecimalScan scan;
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
  int bitLength() const {
    return hi != 0 ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(lo);
  }
};

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

double numberOf(DecimalScan scan) {
  if (!scan.sawDigit) return 0.0;
  if (scan.digitCount == DecimalScan::kMaxDigits) {
    // The 24th digit itself decides, and may become 10; nothing carries into the 23rd.
    if (scan.digits[23] >= 5) ++scan.digits[23];
    scan.digitCount = 24;
    ++scan.digitExponent;
  }
  if (scan.digitCount == 0) return signedZero(scan.negative);
  while (scan.digits[scan.digitCount - 1] == 0) {
    --scan.digitCount;
    ++scan.digitExponent;
  }
  WideReal x = digitsToWide(scan.digits, scan.digitCount);

  const std::int32_t exponent = static_cast<std::int32_t>(scan.exponentValue);
  const std::int32_t p = scan.digitExponent + (scan.exponentNegative ? -exponent : exponent);
  constexpr std::int32_t kScaleLimit = 5200;
  if (p > kScaleLimit) return signedInfinity(scan.negative);
  if (p < -kScaleLimit) return signedZero(scan.negative);
  x = scaleByPowerOfTen(x, p, true);
  if (scan.negative) x.signExponent |= 0x8000;
  return wideToDouble(x);
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
  return scanNumber(in);
}

WideReal digitsToWide(const std::array<std::uint8_t, DecimalScan::kMaxDigits>& digits,
                      int digitCount) {
  // Precondition: a normalised digit sequence of at most 24 digits; its value is below 2^80.
  assert(digitCount >= 1 && digitCount <= 24 && digits[0] != 0);
  Bits80 n;
  for (int i = 0; i < digitCount; ++i) n.multiplyAdd(10, digits[i]);
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

double wideToDouble(const WideReal& x) {
  const bool negative = x.negative();
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

double textToNumber(std::string_view text) {
  FoldingReader in(text);
  return numberOf(scanNumber(in));
}

}  // namespace zendrel
