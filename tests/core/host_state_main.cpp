// Test main of the core's tests: applies the host state named by ZENDREL_TEST_ROUNDING
// (tonearest, upward, downward, towardzero) and ZENDREL_TEST_LOCALE (a locale name) before
// running, and fails at once when that state cannot be had, so a run never silently tests the
// default state instead.

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool applyRounding(const char* name) {
  const struct {
    const char* name;
    int mode;
  } modes[] = {{"tonearest", FE_TONEAREST},
               {"upward", FE_UPWARD},
               {"downward", FE_DOWNWARD},
               {"towardzero", FE_TOWARDZERO}};
  for (const auto& m : modes)
    if (std::strcmp(name, m.name) == 0) return std::fesetround(m.mode) == 0 && std::fegetround() == m.mode;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (const char* rounding = std::getenv("ZENDREL_TEST_ROUNDING")) {
    if (!applyRounding(rounding)) {
      std::fprintf(stderr, "cannot set rounding mode '%s'\n", rounding);
      return 1;
    }
    std::printf("rounding mode: %s\n", rounding);
  }
  if (const char* locale = std::getenv("ZENDREL_TEST_LOCALE")) {
    if (std::setlocale(LC_ALL, locale) == nullptr) {
      std::fprintf(stderr, "cannot set locale '%s'\n", locale);
      return 1;
    }
    std::printf("locale: %s, decimal point '%s'\n", locale, std::localeconv()->decimal_point);
  }
  return RUN_ALL_TESTS();
}
