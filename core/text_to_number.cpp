#include "core/text_to_number.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "core/byte_words.h"

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

constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }
constexpr bool isWhiteSpace(int c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }
constexpr bool isExponentLetter(int c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

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

// The eight text bytes from p on, the first in the lowest byte, with the bytes at and after end
// read as zero (a zero byte ends a text, so this changes nothing). Precondition: p < end.
std::uint64_t loadUpToEightBytes(const char* begin, const char* p, const char* end) {
  const std::ptrdiff_t left = end - p;
  if (left >= 8) return loadEightBytes(p);
  if (end - begin >= 8) return loadEightBytes(end - 8) >> (8 * (8 - left));  // 8..56 bits
  // A text under eight bytes: two loads that overlap in the middle, each byte landing where
  // it belongs (a byte read twice is ORed with itself).
  if (left >= 4) return loadFourBytes(p) | (loadFourBytes(end - 4) << (8 * (left - 4)));
  const auto byteAt = [p](std::ptrdiff_t i) {
    return std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  };
  return byteAt(0) | byteAt(left / 2) | byteAt(left - 1);  // 1 to 3 bytes
}

// Bit 7 of each byte of the result is set where that byte of word is not an ASCII digit.
// x = byte ^ 0x30 is below 10 exactly for a digit; (x | 0x80) − 10 keeps bit 7 exactly when
// the low seven bits of x reach 10, and never borrows from the next byte.
constexpr std::uint64_t nonDigitBytes(std::uint64_t word) {
  const std::uint64_t x = word ^ kAsciiZeros;
  return (((x | (0x80 * kEveryByte)) - 0x0A * kEveryByte) | x) & (0x80 * kEveryByte);
}

// The value of eight digit values 0..9, one a byte, the lowest byte the most significant
// digit. Pairs, then the whole, are combined in place: byte k times 10 plus byte k+1 gives
// the pairs in the even bytes; the two multipliers then gather 10^6, 10^4, 10^2 and 1 times
// pairs 0 to 3 in bits 32..63 (pairs 0 and 2 through 100 + 10^6·2^32, pairs 1 and 3 through
// 1 + 10^4·2^32; the products below bit 32 never carry into it, being below 2^32).
constexpr std::uint64_t valueOfEightDigits(std::uint64_t digitValues) {
  const std::uint64_t pairs = digitValues * 10 + (digitValues >> 8);  // each below 100
  constexpr std::uint64_t kPairs0And2 = 0x000000FF000000FFu;
  const std::uint64_t evenPairs = pairs & kPairs0And2;
  const std::uint64_t oddPairs = (pairs >> 16) & kPairs0And2;
  return (evenPairs * (100 + (1000000ull << 32)) + oddPairs * (1 + (10000ull << 32))) >> 32;
}

// Up to eight consecutive digits of a text, held as their characters: byte i of bytes, from
// the lowest, is the i-th digit. The bytes from size on belong to whatever follows the digits.
struct DigitChunk {
  std::uint64_t bytes;
  int size;  // 1 to 8

  // The chunk at p: the digits there, up to eight. Precondition: p < end is a digit.
  static DigitChunk at(const char* begin, const char* p, const char* end) {
    const std::uint64_t word = loadUpToEightBytes(begin, p, end);
    const std::uint64_t misses = nonDigitBytes(word);
    return {word, std::countr_zero(misses) / 8};  // 8 when all are digits: countr_zero(0) is 64
  }
  static DigitChunk single(int digitCharacter) {
    return {static_cast<std::uint64_t>(digitCharacter), 1};
  }

  unsigned digit(int i) const { return static_cast<unsigned>((bytes >> (8 * i)) & 0xFF) - '0'; }
  // How many of the digits, from the first, are zeros.
  int leadingZeros() const {
    const std::uint64_t x = bytes ^ kAsciiZeros;  // a zero digit becomes a zero byte
    return x == 0 ? size : std::min(size, std::countr_zero(x) / 8);
  }
  // The integer formed by the first n digits, 1 <= n <= size. Subtracting the character zero
  // from every byte borrows only out of bytes after the digits, and those are shifted out.
  std::uint64_t value(int n) const {
    return valueOfEightDigits((bytes - kAsciiZeros) << (8 * (8 - n)));
  }
};

// Yields the bytes of a text as its folded copy would hold them, without making the copy.
// Bytes of an unfolded pair come out as they are.
class FoldingReader {
 public:
  explicit FoldingReader(std::string_view text)
      : begin_(text.data()), next_(text.data()), end_(text.data() + text.size()) {
    advance();
  }
  // The current byte, or -1 at the end of the text.
  int peek() const { return current_; }
  // A byte 0x01..0x7F stands for itself, also as the second byte of an unfolded pair; only
  // the end, a zero byte and a byte of 0x80 or more need more.
  void advance() {
    at_ = next_;
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
  // Advances when condition holds, and otherwise stays. Whether a sign is there is as good as
  // random, so for a current byte that is one ASCII byte of the text (nearly always) the step
  // is taken either way, from the next byte or from the current one again, rather than
  // branched around. Read again, only such a byte comes out as it was.
  void advanceIf(bool condition) {
    const bool oneAsciiByte = next_ - at_ == 1 && current_ < 0x80 && !trailPending_;
    if (!oneAsciiByte) {
      if (condition) advance();
      return;
    }
    next_ = at_ + (condition ? 1 : 0);
    advance();
  }
  // Precondition: the current byte is a digit. The digits from it on as the folded copy holds
  // them, up to eight: ASCII digit bytes of the text, which fold to themselves, or a folded
  // full-width digit alone.
  DigitChunk digitChunk() const {
    return foldedPairIsCurrent() ? DigitChunk::single(current_)
                                 : DigitChunk::at(begin_, at_, end_);
  }
  // Moves past the first n digits of digitChunk(), 1 <= n <= its size.
  void skip(int n) {
    if (!foldedPairIsCurrent()) next_ = at_ + n;
    advance();
  }

 private:
  bool foldedPairIsCurrent() const { return next_ - at_ == 2; }

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

  const char* begin_;
  const char* at_ = nullptr;  // the first text byte of the current byte
  const char* next_;          // the first text byte after it
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
  void advanceIf(bool condition) { pos_ += condition ? 1 : 0; }
  // Precondition: the current byte is a digit. The digits from it on, up to eight.
  DigitChunk digitChunk() const {
    return DigitChunk::at(text_.data(), text_.data() + pos_, text_.data() + text_.size());
  }
  // Moves past the first n digits of digitChunk().
  void skip(int n) { pos_ += static_cast<std::size_t>(n); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

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
  int bitLength() const {
    return hi != 0 ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(lo);
  }
};

// Any 19 digits fit in 64 bits: 10^19 − 1 < 2^64.
constexpr int kDigitsInUint64 = 19;
// The significant digits that count; a 25th only decides the rounding of the 24th.
constexpr int kDigitsUsed = DecimalScan::kMaxDigits - 1;

// The value of the significant digits of a number, built as they are read. The first 19
// digits go into head and the 20th to 24th into tail, so that both stay 64-bit integers;
// trailing zeros stay in the value until value() takes them out.
class DigitAccumulator {
 public:
  // Appends the first n digits of chunk as digits number taken + 1 onwards
  // (taken + n <= 25).
  void append(const DigitChunk& chunk, int n, int taken) {
    const int intoHead = std::clamp(kDigitsInUint64 - taken, 0, n);
    if (intoHead != 0) head_ = head_ * kSmallPowersOfTen[intoHead] + chunk.value(intoHead);
    for (int i = intoHead; i < n; ++i) {
      if (taken + i < kDigitsUsed)
        tail_ = tail_ * 10 + chunk.digit(i);
      else
        roundUp_ = tail_ % 10 >= 5;  // a 25th digit: the 24th decides on its own
    }
  }

  // The integer formed by the first digitCount (1 to 25) digits after the rounding at the
  // 24th digit, without its trailing zeros; trailingZeros receives how many were dropped.
  // A rounded 24th digit (6 to 10) is never a zero.
  Bits80 value(int digitCount, int& trailingZeros) const {
    std::uint64_t head = head_;
    std::uint64_t tail = tail_;
    int tailDigits = std::clamp(digitCount, kDigitsInUint64, kDigitsUsed) - kDigitsInUint64;
    trailingZeros = 0;
    if (roundUp_) {
      ++tail;  // the 24th digit gains one; a 9 becomes 10 and carries nothing into the 23rd
    } else {
      for (; tailDigits > 0 && tail % 10 == 0; --tailDigits, ++trailingZeros) tail /= 10;
      if (tailDigits == 0)
        for (; head % 10 == 0; ++trailingZeros) head /= 10;  // the first digit is not a zero
    }
    Bits80 n{head, 0};
    if (tailDigits > 0) {  // head × 10^tailDigits + tail < 10^24 + 10^5 < 2^80
      n.multiplyAdd(static_cast<unsigned>(kSmallPowersOfTen[tailDigits]), 0);
      const std::uint64_t sum = n.lo + tail;
      n.hi += sum < n.lo ? 1 : 0;
      n.lo = sum;
    }
    return n;
  }

 private:
  std::uint64_t head_ = 0;
  std::uint64_t tail_ = 0;
  bool roundUp_ = false;
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

// Keeps the first n digits of chunk; digitCount + n <= 25.
void storeDigits(DecimalScan& scan, const DigitChunk& chunk, int n) {
  for (int i = 0; i < n; ++i)
    scan.digits[scan.digitCount++] = static_cast<std::uint8_t>(chunk.digit(i));
}
inline void storeDigits(NumberScan& scan, const DigitChunk& chunk, int n) {
  scan.digits.append(chunk, n, scan.digitCount);
  scan.digitCount += n;
}

// The integer rule for a chunk of digits: while fewer than 25 are kept, a digit is kept;
// every later one raises digitExponent instead, up to the limit.
template <class Scan>
void takeIntegerDigits(Scan& scan, const DigitChunk& chunk) {
  const int kept = std::min(chunk.size, DecimalScan::kMaxDigits - scan.digitCount);
  if (kept != 0) storeDigits(scan, chunk, kept);
  scan.digitExponent = std::min(scan.digitExponent + (chunk.size - kept), kDigitExponentLimit);
}

// The fraction rule for a chunk of digits: while fewer than 25 are kept, a digit is kept and
// lowers digitExponent; every later one is ignored.
template <class Scan>
void takeFractionDigits(Scan& scan, const DigitChunk& chunk) {
  const int kept = std::min(chunk.size, DecimalScan::kMaxDigits - scan.digitCount);
  if (kept == 0) return;
  storeDigits(scan, chunk, kept);
  scan.digitExponent -= kept;
}

// Hands every chunk of digits from the current byte on to take, and moves past them.
template <class Reader, class Take>
inline void readDigits(Reader& in, Take take) {
  while (isDigit(in.peek())) {
    const DigitChunk chunk = in.digitChunk();
    take(chunk);
    in.skip(chunk.size);
  }
}

// Moves past the zeros from the current byte on, calling counted(n) for each stretch of n.
template <class Reader, class Counted>
inline void skipZeros(Reader& in, Counted counted) {
  while (in.peek() == '0') {
    const int zeros = in.digitChunk().leadingZeros();
    counted(zeros);
    in.skip(zeros);
  }
}

// The exponent magnitude that stands for every magnitude above the limit.
constexpr std::uint64_t kSaturatedExponent = DecimalScan::kExponentLimit + 1;

// Moves past a "+" or "-" at the current byte, if there is one; returns whether it was "-".
// Tested with | rather than ||, which would be compiled to a branch.
template <class Reader>
inline bool takeSign(Reader& in) {
  const int c = in.peek();
  in.advanceIf((c == '+') | (c == '-'));
  return c == '-';
}

// Reads the explicit exponent after an exponent letter. Nothing is taken (the number ends
// before the letter) unless a digit follows the letter or its sign.
template <class Reader, class Scan>
inline void scanExponent(Reader& in, Scan& scan) {
  in.advance();  // the letter
  scan.exponentNegative = takeSign(in);  // no effect unless a digit follows
  if (!isDigit(in.peek())) return;
  // Once above the limit the value stays at limit + 1 whatever digits follow, so the value
  // is the smaller of the digits' integer and limit + 1.
  std::uint64_t value = 0;  // at most 5200 · 10^8 + 10^8 on the way, far below 2^64
  readDigits(in, [&value](const DigitChunk& chunk) {
    if (value < kSaturatedExponent) {
      value = value * kSmallPowersOfTen[chunk.size] + chunk.value(chunk.size);
      value = std::min(value, kSaturatedExponent);
    }
  });
  scan.exponentValue = static_cast<std::uint32_t>(value);
}

template <class Scan, class Reader>
Scan scanNumber(Reader& in) {
  Scan scan;
  while (isWhiteSpace(in.peek())) in.advance();
  scan.negative = takeSign(in);
  // Integer part, leading zeros included; a point first needs a digit after it.
  if (in.peek() == '.') {
    in.advance();
    if (!isDigit(in.peek())) return scan;
  } else {
    if (!isDigit(in.peek())) return scan;
    scan.sawDigit = true;
    skipZeros(in, [](int) {});
    readDigits(in, [&scan](const DigitChunk& chunk) { takeIntegerDigits(scan, chunk); });
    if (in.peek() != '.') {
      if (isExponentLetter(in.peek())) scanExponent(in, scan);
      return scan;
    }
    in.advance();
  }
  // Fraction: zeros before its first significant digit only move the exponent.
  scan.sawDigit = true;
  if (scan.digitCount == 0) {
    skipZeros(in, [&scan](int zeros) {
      scan.digitExponent = std::max(scan.digitExponent - zeros, -kDigitExponentLimit);
    });
  }
  readDigits(in, [&scan](const DigitChunk& chunk) { takeFractionDigits(scan, chunk); });
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
    constexpr std::uint64_t b53 = std::uint64_t{1} << 42;
    constexpr std::uint64_t b55AndBelow = (std::uint64_t{1} << 41) - 1;
    // Combined as numbers, not as conditions: the data decide at random, and a condition
    // would be compiled to a branch.
    const std::uint64_t half = (lo & b53) >> 42;
    const auto beyond = static_cast<std::uint64_t>((lo & b55AndBelow) != 0);
    const std::uint64_t sum = lo + ((half & beyond) << 43);  // one unit at b52
    hi += sum < lo ? 1 : 0;
    lo = sum & ~(b53 - 1);
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
  if (n.hi == 0) {  // up to 19 digits, nearly always: the whole value is the top 64 bits
    const int zeros = std::countl_zero(n.lo);
    return makeWideReal(false, WideReal::kBias + 63 - zeros, n.lo << zeros, 0);
  }
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
  int trailingZeros;
  WideReal x = wideOfInteger(scan.digits.value(scan.digitCount, trailingZeros));
  std::int32_t digitExponent = scan.digitExponent + trailingZeros;
  if (scan.digitCount == DecimalScan::kMaxDigits) ++digitExponent;  // the 25th is dropped

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
