#include "core/calculator.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zendrel {
namespace {

// A window double: three boxes and the operator list, recording every access in order.
class FakeView : public CalculatorView {
 public:
  int selection = 0;
  std::map<std::string, Text, std::less<>> boxes;
  std::vector<std::string> log;

  int getCurrentSelection(std::string_view control) override {
    log.push_back("select " + std::string(control));
    return selection;
  }
  Text getText(std::string_view control) override {
    log.push_back("get " + std::string(control));
    return boxes[std::string(control)];
  }
  void setText(std::string_view control, const Text& text) override {
    log.push_back("set " + std::string(control));
    boxes[std::string(control)] = text;
  }
};

std::string calculated(const Text& x, int op, const Text& y) {
  FakeView view;
  view.selection = op;
  view.boxes[std::string(control::kFirstOperand)] = x;
  view.boxes[std::string(control::kSecondOperand)] = y;
  calculate(view);
  return view.boxes[std::string(control::kResult)];
}

TEST(Calculate, ShowsTheResultOfTheChosenOperator) {
  const struct {
    const char* x;
    int op;
    const char* y;
    const char* result;
  } rows[] = {
      {"1", 0, "2", "3"},
      {"0.1", 0, "0.2", "0.3"},
      {"7", 1, "2", "5"},
      {"", 1, "5", "-5"},                  // an empty box counts as 0
      {"6", 2, "7", "42"},
      {"1", 3, "4", "0.25"},
      {"0.043", 2, "6.9", "0.2967"},       // the neighbour of the nearest double, same text
      {"0.27", 3, "3.09", "0.0873786407767"},
      {"1", 3, "0", "1.#INF"},
      {"-1", 3, "0", "-1.#INF"},
      {"1", 3, "-0", "-1.#INF"},
      {"0", 3, "0", "-1.#IND"},
      {"5", 1, "5", "0"},
      {"-0", 2, "5", "0"},
      {"1e308", 2, "10", "1.#INF"},
      {"1e400", 1, "1e400", "-1.#IND"},
      {"1e400", 0, "1", "1.#INF"},
      {"\xA3\xB1\xA3\xB2" "abc", 2, "2", "24"},  // full-width 12, then letters
      {"abc", 0, "xyz", "0"},
  };
  for (const auto& r : rows)
    EXPECT_EQ(calculated(r.x, r.op, r.y), r.result) << r.x << " op " << r.op << " " << r.y;
}

TEST(Calculate, ReadsTheFirstBoxBeforeTheSecondAndWritesOnlyTheResult) {
  FakeView view;
  view.boxes[std::string(control::kFirstOperand)] = "1";
  view.boxes[std::string(control::kSecondOperand)] = "2";
  calculate(view);
  EXPECT_EQ(view.log, (std::vector<std::string>{"select 组合框1", "get 编辑框1", "get 编辑框2",
                                                "set 编辑框3"}));
  EXPECT_EQ(view.boxes["编辑框1"], "1");
  EXPECT_EQ(view.boxes["编辑框2"], "2");
}

TEST(Calculate, WithoutAValidOperatorNothingIsReadOrChanged) {
  for (int index : {-1, 4, -2, 1000}) {
    FakeView view;
    view.selection = index;
    view.boxes[std::string(control::kResult)] = "earlier";
    view.boxes[std::string(control::kFirstOperand)] = "1";
    calculate(view);
    EXPECT_EQ(view.log, (std::vector<std::string>{"select 组合框1"})) << index;
    EXPECT_EQ(view.boxes["编辑框3"], "earlier") << index;
  }
}

TEST(Calculate, ReplacesWhateverTheResultBoxHeldAndRepeats) {
  FakeView view;
  view.boxes[std::string(control::kResult)] = "typed by the user";
  view.boxes[std::string(control::kFirstOperand)] = "2";
  view.boxes[std::string(control::kSecondOperand)] = "3";
  onResultButtonClick(view);
  EXPECT_EQ(view.boxes["编辑框3"], "5");
  onResultButtonClick(view);
  EXPECT_EQ(view.boxes["编辑框3"], "5");
}

TEST(SecondOperandKeyDown, OnlyEnterCalculatesWhateverTheModifiers) {
  for (int shiftState : {0, 1, 2, 4, 7}) {
    FakeView view;
    view.boxes[std::string(control::kSecondOperand)] = "4";
    onSecondOperandKeyDown(view, kEnterKeyCode, shiftState);
    EXPECT_EQ(view.boxes["编辑框3"], "4") << shiftState;
  }
  for (int keyCode : {9, 27, 32, 48, 65, 108, 0x0D + 256}) {
    FakeView view;
    onSecondOperandKeyDown(view, keyCode, 0);
    EXPECT_TRUE(view.log.empty()) << keyCode;
  }
}

}  // namespace
}  // namespace zendrel
