// numberToText on any 64-bit pattern: 1 to 20 bytes of the result alphabet, the same text on
// every call, and a text that reads back within 1e-12 relative for finite values of normal
// size.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/number_to_text.h"
#include "core/text_to_number.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
  const double d = std::bit_cast<double>(bits);
  const zendrel::Text text = zendrel::numberToText(d);
  check(!text.empty() && text.size() <= 20);
  for (char c : text)
    check(std::string_view("0123456789.-+e#INFDQA").find(c) != std::string_view::npos);
  check(text[0] != '+' && text.back() != '.');
  check(zendrel::numberToText(d) == text);
  if (std::isfinite(d) && std::fabs(d) >= 1e-300) {
    const double back = zendrel::textToNumber(text);
    check(std::fabs(back - d) <= 1e-12 * std::fabs(d));
  }
  return 0;
}
