#pragma once
// The inputs every benchmark measures on, the same for the library routines beside which the
// calculator's own are timed: a realistic mix of operand texts (short ones such as "12.5" and
// "-3.75e-5", long ones of 17 to 20 digits, and the whole exponent range of doubles) and the
// quotients of real divisions between them. Fixed seeds: the same inputs on every run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended_arithmetic.h"

namespace zendrel::bench {

inline constexpr std::uint64_t kDefaultSeed = 0x5EED'2041'0070'0043;

// count operand texts, a quarter of each kind, shuffled.
std::vector<std::string> operandTexts(std::size_t count, std::uint64_t seed = kDefaultSeed);

// The operand texts as the calculator reads them.
std::vector<double> operandValues(const std::vector<std::string>& texts);

// x ÷ y for neighbouring values, by the calculator's own division: finite and non-zero values
// of every magnitude, the kind of number the result box shows.
std::vector<double> divisionResults(const std::vector<double>& values);

// One of the four operators for every pair, each with the same chance.
std::vector<Operator> operatorMix(std::size_t count, std::uint64_t seed = kDefaultSeed);

}  // namespace zendrel::bench
