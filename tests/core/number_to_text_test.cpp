#include "core/number_to_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "core/text_to_number.h"
#include "tests/core/host_state.h"

namespace zendrel {
namespace {

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

// The double a decimal text stands for, read by a correctly rounding, locale-free library.
double decimal(const char* text) {
  testing::ScopedRoundToNearest nearestRounding;
  double d = 0;
  std::from_chars(text, text + std::char_traits<char>::length(text), d);
  return d;
}

struct Row {
  const char* label;
  double x;
  const char* text;
};

TEST(NumberToText, DocumentedTexts) {
  const Row rows[] = {
      {"3", 3, "3"},
      {"-2.5", -2.5, "-2.5"},
      {"0.5", 0.5, "0.5"},
      {"100", 100, "100"},
      {"123.456", decimal("123.456"), "123.456"},
      {"0.1 + 0.2", decimal("0.30000000000000004"), "0.3"},
      {"1 / 3", decimal("0.3333333333333333"), "0.3333333333333"},
      {"2 / 3", decimal("0.6666666666666666"), "0.6666666666667"},
      {"-1 / 3", decimal("-0.3333333333333333"), "-0.3333333333333"},
      {"100 / 7", decimal("14.285714285714286"), "14.28571428571"},
      {"pi to 15 digits", decimal("3.14159265358979"), "3.14159265359"},
      {"1.1 * 1.1", decimal("1.2100000000000002"), "1.21"},
      {"4.35 * 100", decimal("434.99999999999994"), "435"},
      {"10^12", 1e12, "1000000000000"},
      {"13 nines", 9999999999999, "9999999999999"},
      {"13 nines and a half rounds into the exponent form", 9999999999999.5, "1e+013"},
      {"10^13", 1e13, "1e+013"},
      {"14 nines", 99999999999999, "1e+014"},
      {"10000000000005", 10000000000005, "1.000000000001e+013"},
      {"123456789012345", 123456789012345, "1.234567890123e+014"},
      {"2^53", 9007199254740992, "9.007199254741e+015"},
      {"1e20", 1e20, "1e+020"},
      {"1e100", decimal("1e100"), "1e+100"},
      {"0.0001", decimal("0.0001"), "0.0001"},
      {"just below 0.0001 rounds to it", decimal("0.000099999999999996"), "0.0001"},
      {"0.00012345678901234", decimal("0.00012345678901234"), "0.0001234567890123"},
      {"-0.000123", decimal("-0.000123"), "-0.000123"},
      {"0.00001", decimal("0.00001"), "1e-005"},
      {"1e-20", decimal("1e-20"), "1e-020"},
      {"1e-100", decimal("1e-100"), "1e-100"},
      {"exact half rounds up", 1234567890122.5, "1234567890123"},
      {"123456789012.25", 123456789012.25, "123456789012.3"},
      {"1641 / 16384", 0.10015869140625, "0.1001586914063"},
      {"70 / 2041 is rounded twice", decimal("0.034296913277805"), "0.03429691327781"},
      {"70 / 2207", decimal("0.031717263253285"), "0.03171726325329"},
      {"14 / 2427", decimal("0.0057684384013185"), "0.005768438401319"},
      {"smallest subnormal", fromBits(1), "4.940656458412e-324"},
      {"smallest normal", fromBits(0x0010000000000000u), "2.225073858507e-308"},
      {"largest double", fromBits(0x7FEFFFFFFFFFFFFFu), "1.797693134862e+308"},
      {"longest text", decimal("-1.234567890123e-308"), "-1.234567890123e-308"},
      {"12 digits before the point, none after", 123456789012.0, "123456789012"},
      {"fixed form at the largest exponent", 1234567890123.0, "1234567890123"},
      {"fixed form at the smallest exponent", decimal("0.00012"), "0.00012"},
  };
  for (const auto& row : rows) EXPECT_EQ(numberToText(row.x), row.text) << row.label;
}

TEST(NumberToText, SpecialValues) {
  const struct {
    const char* label;
    std::uint64_t bits;
    const char* text;
  } rows[] = {
      {"plus zero", 0x0000000000000000u, "0"},
      {"minus zero", 0x8000000000000000u, "0"},
      {"plus infinity", 0x7FF0000000000000u, "1.#INF"},
      {"minus infinity", 0xFFF0000000000000u, "-1.#INF"},
      {"the indefinite", 0xFFF8000000000000u, "-1.#IND"},
      {"the indefinite without its sign", 0x7FF8000000000000u, "1.#QNAN"},
      {"quiet, negative, other payload", 0xFFF8000000000001u, "-1.#QNAN"},
      {"signalling, positive", 0x7FF0000000000001u, "1.#QNAN"},
      {"signalling, negative", 0xFFF0000000000000u | 1u, "-1.#QNAN"},
      {"largest payload", 0xFFFFFFFFFFFFFFFFu, "-1.#QNAN"},
  };
  for (const auto& row : rows) EXPECT_EQ(numberToText(fromBits(row.bits)), row.text) << row.label;
}

TEST(NumberToText, ExactPowersOfTen) {
  // Every power of ten that is a double reads back as a 1 with the right exponent.
  for (int k = 0; k <= 22; ++k) {
    double p = 1;
    for (int i = 0; i < k; ++i) p *= 10;
    const std::string expected = k < 13 ? "1" + std::string(static_cast<std::size_t>(k), '0')
                                        : (k < 100 ? "1e+0" : "1e+") + std::to_string(k);
    EXPECT_EQ(numberToText(p), expected) << "10^" << k;
  }
}

bool inAlphabet(const std::string& text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == '#' ||
          std::string_view("INFDQA").find(c) != std::string_view::npos))
      return false;
  return true;
}

TEST(NumberToText, PropertiesOverWidelySampledDoubles) {
  const unsigned seed = 2026;
  std::mt19937_64 random(seed);
  for (int i = 0; i < 300000; ++i) {
    std::uint64_t bits = random();
    if (i % 4 == 1) bits &= 0x800FFFFFFFFFFFFFu;  // subnormals
    if (i % 4 == 2) bits = (bits & 0x800FFFFFFFFFFFFFu) | (std::uint64_t{random() % 80 + 980} << 52);
    const double d = fromBits(bits);
    const std::string text = numberToText(d);
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
    SCOPED_TRACE(std::string("seed 2026, bits ") + hex + ", text " + text);
    ASSERT_GE(text.size(), 1u);
    ASSERT_LE(text.size(), 20u);
    ASSERT_TRUE(inAlphabet(text));
    ASSERT_NE(text[0], '+');
    ASSERT_NE(text.back(), '.');
    const auto e = text.find('e');
    const std::string fixedPart = text.substr(0, e);
    if (fixedPart.find('.') != std::string::npos) ASSERT_NE(fixedPart.back(), '0');
    if (std::isfinite(d) && std::fabs(d) >= 1e-300) {
      const double back = textToNumber(text);
      ASSERT_LE(std::fabs(back - d), 1e-12 * std::fabs(d));
    }
  }
}

}  // namespace
}  // namespace zendrel
