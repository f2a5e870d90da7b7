#include "bench/operand_mix.h"

#include <cmath>
#include <string>

#include "core/text_to_number.h"

namespace zendrel::bench {

namespace {

// splitmix64: a small generator whose output is the same with every compiler and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);  // 2^64 / golden ratio
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }
  // A number in [low, high].
  int between(int low, int high) {
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

void appendDigits(std::string& text, Random& random, int count, bool nonZeroFirst) {
  for (int i = 0; i < count; ++i) {
    const int low = (i == 0 && nonZeroFirst) ? 1 : 0;
    text += static_cast<char>('0' + random.between(low, 9));
  }
}

void appendSign(std::string& text, Random& random) {
  if (random.next() % 2 == 1) text += '-';
}

void appendExponent(std::string& text, int exponent) {
  text += 'e';
  text += exponent < 0 ? '-' : '+';
  text += std::to_string(std::abs(exponent));
}

// "12.5", "-0.043", "700": what people type most.
std::string shortDecimal(Random& random) {
  std::string text;
  appendSign(text, random);
  const int integerDigits = random.between(1, 3);
  appendDigits(text, random, integerDigits, integerDigits > 1);
  if (random.next() % 4 != 0) {
    text += '.';
    appendDigits(text, random, random.between(1, 3), false);
  }
  return text;
}

// "-3.75e-5": short digits with a moderate exponent.
std::string shortScientific(Random& random) {
  std::string text;
  appendSign(text, random);
  appendDigits(text, random, 1, true);
  text += '.';
  appendDigits(text, random, random.between(1, 3), false);
  appendExponent(text, random.between(-30, 30));
  return text;
}

// 17 to 20 significant digits with the point anywhere, "0.000…" forms included.
std::string longDecimal(Random& random) {
  std::string digits;
  appendDigits(digits, random, random.between(17, 20), true);
  const int point = random.between(-3, static_cast<int>(digits.size()));
  std::string text;
  appendSign(text, random);
  if (point <= 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-point), '0');
    text += digits;
  } else {
    text += digits.substr(0, static_cast<std::size_t>(point));
    if (point < static_cast<int>(digits.size())) {
      text += '.';
      text += digits.substr(static_cast<std::size_t>(point));
    }
  }
  return text;
}

// 17 significant digits anywhere in the range of doubles, subnormals included:
// 1.0000000000000000e-323 to 9.9999999999999999e+307.
std::string fullRange(Random& random) {
  std::string text;
  appendSign(text, random);
  appendDigits(text, random, 1, true);
  text += '.';
  appendDigits(text, random, 16, false);
  appendExponent(text, random.between(-323, 307));
  return text;
}

}  // namespace

std::vector<std::string> operandTexts(std::size_t count, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::string> texts;
  texts.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    switch (random.next() % 4) {
      case 0: texts.push_back(shortDecimal(random)); break;
      case 1: texts.push_back(shortScientific(random)); break;
      case 2: texts.push_back(longDecimal(random)); break;
      default: texts.push_back(fullRange(random)); break;
    }
  }
  return texts;
}

std::vector<double> operandValues(const std::vector<std::string>& texts) {
  std::vector<double> values;
  values.reserve(texts.size());
  for (const std::string& text : texts) values.push_back(textToNumber(text));
  return values;
}

std::vector<double> divisionResults(const std::vector<double>& values) {
  std::vector<double> results;
  results.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double quotient = extendedDivide(values[i], values[(i + 1) % values.size()]);
    if (std::isfinite(quotient) && quotient != 0) results.push_back(quotient);
  }
  return results;
}

std::vector<Operator> operatorMix(std::size_t count, std::uint64_t seed) {
  Random random(seed ^ 0x0F);  // a stream of its own, independent of the operand texts
  std::vector<Operator> ops;
  ops.reserve(count);
  for (std::size_t i = 0; i < count; ++i) ops.push_back(static_cast<Operator>(random.next() % 4));
  return ops;
}

}  // namespace zendrel::bench
