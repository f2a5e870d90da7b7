#include "core/text_to_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdio>
#include <random>
#include <string>

#include "tests/core/decimal_model.h"
#include "tests/core/host_state.h"

namespace zendrel {
namespace {

std::uint64_t bitsOf(double d) { return std::bit_cast<std::uint64_t>(d); }

// The double nearest to a decimal text (a correctly rounding, locale-free reading).
std::uint64_t nearest(const std::string& decimal) {
  testing::ScopedRoundToNearest nearestRounding;
  double d = 0;
  std::from_chars(decimal.data(), decimal.data() + decimal.size(), d);
  return bitsOf(d);
}

std::string hex(std::uint64_t bits) {
  char buffer[20];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(bits));
  return buffer;
}

constexpr std::uint64_t kPlusZero = 0;
constexpr std::uint64_t kMinusZero = 0x8000000000000000u;
constexpr std::uint64_t kPlusInfinity = 0x7FF0000000000000u;
constexpr std::uint64_t kMinusInfinity = 0xFFF0000000000000u;

struct Row {
  const char* label;
  std::string text;
  std::uint64_t bits;
};

void expectRows(const std::vector<Row>& rows) {
  for (const auto& row : rows)
    EXPECT_EQ(hex(bitsOf(textToNumber(row.text))), hex(row.bits)) << row.label;
}

TEST(TextToNumber, ReadsTheLeadingNumberAndIgnoresTheRest) {
  expectRows({
      {"empty text", "", kPlusZero},
      {"leading blanks, trailing letters", "  12abc", bitsOf(12)},
      {"sign and point first", "+.5", bitsOf(0.5)},
      {"point first with exponent", ".5e1", bitsOf(5)},
      {"leading zeros before point", "00.5", bitsOf(0.5)},
      {"leading zeros", "007", bitsOf(7)},
      {"exponent letter alone", "1e", bitsOf(1)},
      {"exponent letter and sign", "1e+", bitsOf(1)},
      {"exponent letter then letter", "1ex", bitsOf(1)},
      {"negative exponent sign without digit", "1e-", bitsOf(1)},
      {"exponent letter then point", "1e.5", bitsOf(1)},
      {"two exponent signs", "1e+-5", bitsOf(1)},
      {"exponent zeros", "1e005", bitsOf(100000)},
      {"comma ends", "1,000", bitsOf(1)},
      {"space ends", "12 34", bitsOf(12)},
      {"second point ends", "1.5.5", bitsOf(1.5)},
      {"plus after digit ends", "1+2", bitsOf(1)},
      {"minus after digit ends", "1-2", bitsOf(1)},
      {"hex prefix is zero then x", "0x10", kPlusZero},
      {"d as exponent", "2d3", bitsOf(2000)},
      {"E as exponent", "2E3", bitsOf(2000)},
      {"D with negative exponent", "2D-3", nearest("0.002")},
      {"every white space byte", "\t\n\v\f\r 7", bitsOf(7)},
      {"a byte below tab is no blank", "\x08" "7", kPlusZero},
      {"text ends at its first zero byte", std::string("1\0" "5", 3), bitsOf(1)},
      {"decimal with exponent", "123.456e-2", nearest("1.23456")},
      {"0.1", "0.1", nearest("0.1")},
      {"0.2", "0.2", nearest("0.2")},
      {"0.3", "0.3", nearest("0.3")},
      {"fraction zeros before the digits", "0.000000000000000000000000000001", nearest("1e-30")},
  });
}

TEST(TextToNumber, TextsWithoutANumberGivePlusZero) {
  expectRows({
      {"minus alone", "-", kPlusZero},
      {"point alone", ".", kPlusZero},
      {"minus and point", "-.", kPlusZero},
      {"minus space 5", "- 5", kPlusZero},
      {"two minus signs", "--5", kPlusZero},
      {"plus minus", "+-5", kPlusZero},
      {"exponent first", "e5", kPlusZero},
      {"point then exponent", ".e1", kPlusZero},
      {"inf", "inf", kPlusZero},
      {"nan", "nan", kPlusZero},
  });
}

TEST(TextToNumber, ZerosInfinitiesAndSaturation) {
  expectRows({
      {"overflow", "1e400", kPlusInfinity},
      {"negative overflow", "-1e400", kMinusInfinity},
      {"underflow", "1e-400", kPlusZero},
      {"negative underflow", "-1e-400", kMinusZero},
      {"saturated exponent", "1e99999", kPlusInfinity},
      {"saturated negative exponent", "1e-99999", kPlusZero},
      {"saturation far beyond 32 bits", "1e99999999999999999999999", kPlusInfinity},
      {"zeros ignore their exponent", "0e99999", kPlusZero},
      {"negative zero with exponent", "-0.0e5", kMinusZero},
      {"blanks then negative zero", "  -0", kMinusZero},
      {"negative zeros only", "-000.000", kMinusZero},
      {"largest finite", "1.7976931348623157e308", 0x7FEFFFFFFFFFFFFFu},
      {"just beyond the largest", "1.7976931348623159e308", kPlusInfinity},
      {"1e309", "1e309", kPlusInfinity},
      {"1.5e3000", "1.5e3000", kPlusInfinity},
      {"1e308", "1e308", nearest("1e308")},
      {"scale 5200 is computed", "1e-5200", kPlusZero},
      {"scale 5201 is not", "1e5201", kPlusInfinity},
      {"digits beyond the scale limit", "0.0001e-5197", kPlusZero},
  });
}

TEST(TextToNumber, FullWidthFormsReadAsAscii) {
  expectRows({
      {"full-width 0.1", "\xA3\xB0\xA3\xAE\xA3\xB1", nearest("0.1")},
      {"full-width 123", "\xA3\xB1\xA3\xB2\xA3\xB3", bitsOf(123)},
      {"ideographic space, full-width -3.5", "\xA1\xA1\xA3\xAD\xA3\xB3\xA3\xAE\xA3\xB5",
       bitsOf(-3.5)},
      {"full-width 3e2", "\xA3\xB3\xA3\xE5\xA3\xB2", bitsOf(300)},
      {"full-width D exponent", "\xA3\xB3\xA3\xC4\xA3\xB2", bitsOf(300)},
      {"full-width plus", "\xA3\xAB" "2", bitsOf(2)},
      {"full-width minus in the exponent", "1e\xA3\xAD" "2", nearest("0.01")},
      {"full-width minus then ASCII minus", "\xA3\xAD-5", kPlusZero},
      {"minus before a Chinese character", "-\xCE\xE2" "5", kPlusZero},
      {"Chinese character where a sign would be", "\xCE\xE2-5", kPlusZero},
      {"exponent letter before a Chinese character", "3e\xCE\xE2" "5", bitsOf(3)},
      {"full-width comma ends", "\xA3\xB1\xA3\xAC\xA3\xB0\xA3\xB0\xA3\xB0", bitsOf(1)},
      {"ideographic space ends a number", "1\xA1\xA1" "2", bitsOf(1)},
      {"mixed widths", "12\xA3\xB4", bitsOf(124)},
      {"lone lead byte swallows the digit after it", "\xA3" "5", kPlusZero},
      {"lone lead byte at the end is dropped", "5\xA3", bitsOf(5)},
      {"Chinese character ends the number", "12\xCE\xE2" "3", bitsOf(12)},
      {"yen sign is no digit", "\xA3\xA4" "5", kPlusZero},
  });
}

TEST(FoldFullWidth, ReplacesOnlyTheListedPairs) {
  struct Case {
    const char* label;
    std::string text, folded;
  };
  const Case cases[] = {
      {"ideographic space", "\xA1\xA1", " "},
      {"fullwidth tilde", "\xA1\xAB", "~"},
      {"white and black stars", "\xA1\xEE\xA1\xEF", "**"},
      {"first and last full-width forms", "\xA3\xA1\xA3\xFE", "!~"},
      {"yen sign becomes dollar", "\xA3\xA4", "$"},
      {"after 0xA3, 0xA0 and 0xFF stay", "\xA3\xA0\xA3\xFF", "\xA3\xA0\xA3\xFF"},
      {"Chinese character stays", "\xCE\xE2", "\xCE\xE2"},
      {"ASCII second byte belongs to the pair", "\x81" "5" "6", "\x81" "56"},
      {"lone lead byte at the end is dropped", "ab\xA3", "ab"},
      {"spaces stay", " 1 ", " 1 "},
      {"stops at a zero byte", std::string("a\0b", 3), "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(foldFullWidth(c.text), c.folded) << c.label;
}

TEST(TextToNumber, EveryCodePagePairInFrontOfADigit) {
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x01; trail <= 0xFF; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string folded = foldFullWidth(pair);
      // A pair folded to ASCII reads as that byte; any other pair ends the number at once.
      const double expected = folded.size() == 1 ? textToNumber(folded + "5") : 0.0;
      ASSERT_EQ(hex(bitsOf(textToNumber(pair + "5"))), hex(bitsOf(expected)))
          << std::hex << lead << " " << trail;
    }
  }
}

TEST(ScanDecimal, FillsTheRecord) {
  const DecimalScan s = scanDecimal("  -0012.3400e-0017x");
  EXPECT_TRUE(s.negative);
  EXPECT_TRUE(s.sawDigit);
  ASSERT_EQ(s.digitCount, 6);  // leading zeros not stored, trailing ones still are
  EXPECT_EQ((std::vector<int>(s.digits.begin(), s.digits.begin() + 6)),
            (std::vector<int>{1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(s.digitExponent, -4);
  EXPECT_EQ(s.exponentValue, 17u);
  EXPECT_TRUE(s.exponentNegative);

  const DecimalScan fraction = scanDecimal(".000250");
  EXPECT_EQ(fraction.digitCount, 3);
  EXPECT_EQ(fraction.digitExponent, -6);

  const DecimalScan saturated = scanDecimal("1e5201");
  EXPECT_EQ(saturated.exponentValue, 5201u);
  EXPECT_EQ(scanDecimal("1e5200").exponentValue, 5200u);
  EXPECT_EQ(scanDecimal("1e0000000000005200").exponentValue, 5200u);

  const DecimalScan sign = scanDecimal("-");
  EXPECT_TRUE(sign.negative);
  EXPECT_FALSE(sign.sawDigit);
}

TEST(ScanDecimal, KeepsTwentyFiveDigitsAndCountsTheRest) {
  const DecimalScan s = scanDecimal("12345678901234567890123456789.99");
  EXPECT_EQ(s.digitCount, 25);
  EXPECT_EQ(s.digitExponent, 4);  // four integer digits were not stored; the fraction is ignored
}

TEST(TextToNumber, TwentyFourthDigitDecides) {
  expectRows({
      {"25th digit dropped (5)", "1234567890123456789012345", nearest("123456789012345678901234e1")},
      {"25th digit dropped (6)", "1234567890123456789012346", nearest("123456789012345678901234e1")},
      {"24th digit 4 keeps, whatever the 25th", "1234567890123456789012349", nearest("123456789012345678901234e1")},
      {"24th digit 5 rounds up, whatever the 25th", "1234567890123456789012350", nearest("123456789012345678901236e1")},
      {"25 nines", "9999999999999999999999999", nearest("1e25")},
  });
  // A 24th digit of 9 becomes 10 without carrying into the 23rd: ...89 + 1 = ...90, the same
  // value a carry would give.
  EXPECT_EQ(textToNumber("1000000000000000000000099"), textToNumber("1000000000000000000000100"));
}

TEST(TextToNumber, RoundingOfTheCalculator) {
  expectRows({
      {"exact half cut down", "9007199254740993", 0x4340000000000000u},
      {"exact half cut down although odd", "9007199254740995", 0x4340000000000001u},
      {"three quarters is cut", "18014398509481987", 0x4350000000000000u},
      {"just above the half rounds up", "9007199254740993.001", 0x4340000000000001u},
      {"half after scaling is cut", "5990465628094721.5", 0x4335484BF7CD4101u},
      {"cut to 64 bits before scaling", "8.4121740480702778375e-273", nearest("8.4121740480702778375e-273") - 1},
      {"smallest normal", "2.2250738585072014e-308", 0x0010000000000000u},
      {"2^-1023 is subnormal", "1.112536929253600691e-308", 0x0008000000000000u},
      {"smallest subnormal", "4.9406564584124654e-324", 0x0000000000000001u},
      {"smallest subnormal, short", "5e-324", 0x0000000000000001u},
      {"twice the smallest subnormal", "1e-323", 0x0000000000000002u},
      {"half the smallest subnormal and a bit vanishes", "2.4703282292062328e-324", kPlusZero},
  });
}

TEST(TextToNumber, HugeTextsSaturate) {
  const std::string zeros(10'000'000, '0');
  expectRows({
      {"ten million integer digits", "1" + zeros, kPlusInfinity},
      {"ten million integer digits and an exponent", "1" + zeros + "e-5201", kPlusInfinity},
      {"ten million fraction zeros", "0." + zeros + "1", kPlusZero},
      {"ten million fraction zeros and an exponent", "-0." + zeros + "1e5201", kMinusZero},
      {"ten million leading zeros", zeros + "7", bitsOf(7)},
      {"ten million zeros after the digits", "7." + zeros, bitsOf(7)},
  });
  std::string fullWidth;
  for (int i = 0; i < 5'000'000; ++i) fullWidth += "\xA3\xB9";  // full-width 9
  EXPECT_EQ(textToNumber(fullWidth), std::bit_cast<double>(kPlusInfinity));
  EXPECT_EQ(textToNumber(fullWidth.substr(0, 40)), textToNumber("99999999999999999999"));
}

TEST(TextToNumber, AgreesWithTheExactModelAwayFromTheRoundingPoints) {
  const unsigned seed = 936;
  std::mt19937_64 random(seed);
  int compared = 0;
  for (int i = 0; i < 3000; ++i) {
    const int length = 1 + static_cast<int>(random() % 24);
    std::string digits(1, static_cast<char>('1' + random() % 9));
    for (int k = 1; k < length; ++k) digits += static_cast<char>('0' + random() % 10);
    const int exponent = static_cast<int>(random() % 600) - 300 - length;
    const auto expected = testing::nearestNormalDouble(digits, exponent);
    if (!expected) continue;
    ++compared;
    // The same value written with the point inside the digits.
    const int point = static_cast<int>(random() % digits.size()) + 1;
    const std::string text = digits.substr(0, point) + "." + digits.substr(point) + "e" +
                             std::to_string(exponent + length - point);
    ASSERT_EQ(hex(bitsOf(textToNumber(text))), hex(*expected)) << "seed " << seed << ": " << text;
  }
  EXPECT_GT(compared, 2800);
}

}  // namespace
}  // namespace zendrel
