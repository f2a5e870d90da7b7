#pragma once
// The core's tests run under every rounding mode and under a locale whose decimal point is a
// comma, to show that the core depends on neither. Reference values computed with the host's
// floating point in the tests themselves are taken under rounding to nearest.

#include <cfenv>

namespace zendrel::testing {

class ScopedRoundToNearest {
 public:
  ScopedRoundToNearest() : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }
  ~ScopedRoundToNearest() { std::fesetround(saved_); }
  ScopedRoundToNearest(const ScopedRoundToNearest&) = delete;
  ScopedRoundToNearest& operator=(const ScopedRoundToNearest&) = delete;

 private:
  int saved_;
};

}  // namespace zendrel::testing
