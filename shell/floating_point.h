#pragma once
// The floating-point reset of start-up: on x86 the x87 unit is re-initialised to control word
// 0x037F (every exception masked, 64-bit significand, round to nearest), status clear and
// register stack empty. Other processors have no such unit and nothing is done; the
// calculator's arithmetic does not depend on the unit in any case.

#include <cstdint>
#include <optional>

namespace zendrel {

// x87 control word: exception masks bits 0-5 (0x003F), reserved bit 6 (0x0040), precision
// control bits 8-9 = 11b for a 64-bit significand (0x0300), rounding bits 10-11 = 00b to
// nearest, infinity control bit 12 = 0.
inline constexpr std::uint16_t kX87ControlWord = 0x003F | 0x0040 | 0x0300;
static_assert(kX87ControlWord == 0x037F);

void resetFloatingPoint();

// The x87 control word now in force, or nullopt where there is none to read.
std::optional<std::uint16_t> x87ControlWord();

}  // namespace zendrel
