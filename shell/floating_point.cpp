#include "shell/floating_point.h"

#if defined(_MSC_VER) && (defined(_M_IX86) || defined(_M_X64))
#include <float.h>
#endif

namespace zendrel {

#if (defined(__i386__) || defined(__x86_64__)) && (defined(__GNUC__) || defined(__clang__))
#define ZENDREL_X87_ASM 1
#endif

void resetFloatingPoint() {
#if defined(ZENDREL_X87_ASM)
  // FNINIT clears the status word and empties the register stack (and loads 0x037F itself);
  // FLDCW states the control word explicitly.
  const std::uint16_t controlWord = kX87ControlWord;
  asm volatile("fninit\n\tfldcw %0" : : "m"(controlWord));
#elif defined(_MSC_VER) && defined(_M_IX86)
  _fpreset();
  unsigned int x87 = 0;
  unsigned int sse = 0;
  __control87_2(_MCW_EM | _PC_64 | _RC_NEAR, _MCW_EM | _MCW_PC | _MCW_RC, &x87, &sse);
#endif
}

std::optional<std::uint16_t> x87ControlWord() {
#if defined(ZENDREL_X87_ASM)
  std::uint16_t controlWord = 0;
  asm volatile("fnstcw %0" : "=m"(controlWord));
  return controlWord;
#else
  return std::nullopt;
#endif
}

}  // namespace zendrel
