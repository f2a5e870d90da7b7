#pragma once
// numberToText: a double to the text the result box shows. Thirteen significant digits,
// rounded half up from a seventeen-digit decimal string; %g-style choice of fixed or exponent
// form with at least three exponent digits ("1e+020"); "0" for both zeros; "1.#INF", "-1.#INF",
// "-1.#IND", "1.#QNAN", "-1.#QNAN" for the special values. 1 to 20 ASCII bytes, never a
// leading "+", a trailing "." or a trailing fraction zero. Integer arithmetic only.

#include <cstddef>
#include <span>

#include "core/text.h"

namespace zendrel {

Text numberToText(double x);

// The room the buffer form below writes in: the longest text is 20 bytes, and the text is
// assembled with fixed-size copies that write past its end.
inline constexpr std::size_t kNumberTextRoom = 32;

// The same text written at the start of room, without an allocation; returns its length.
// The bytes of room after the text are overwritten with unspecified values.
std::size_t numberToText(double x, std::span<char, kNumberTextRoom> room);

}  // namespace zendrel
