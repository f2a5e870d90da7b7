#pragma once
// Bytes of text as one integer word, the first byte in the lowest bits on every host, so that
// word-at-a-time code sees text in its own order.

#include <bit>
#include <cstdint>
#include <cstring>

namespace zendrel {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;  // one unit in each of eight bytes
constexpr std::uint64_t kAsciiZeros = 0x30 * kEveryByte;  // eight "0" characters

constexpr std::uint64_t byteSwapped(std::uint64_t word) {
  std::uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i) swapped = (swapped << 8) | ((word >> (8 * i)) & 0xFF);
  return swapped;
}
static_assert(byteSwapped(0x0102030405060708u) == 0x0807060504030201u);

inline std::uint64_t loadEightBytes(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = byteSwapped(word);
  return word;
}

inline std::uint64_t loadFourBytes(const char* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big)
    word = static_cast<std::uint32_t>(byteSwapped(word) >> 32);
  return word;
}

}  // namespace zendrel
