#pragma once
// Eight bytes of text as one 64-bit word, the first byte in the lowest bits on every host, so
// that word-at-a-time code sees text in its own order.

#include <bit>
#include <cstdint>
#include <cstring>

namespace zendrel {

constexpr std::uint64_t byteSwapped(std::uint64_t word) {
  std::uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i) swapped = (swapped << 8) | ((word >> (8 * i)) & 0xFF);
  return swapped;
}

inline std::uint64_t loadEightBytes(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = byteSwapped(word);
  return word;
}

}  // namespace zendrel
