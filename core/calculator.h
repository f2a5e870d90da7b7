#pragma once
// calculate: reads the operator and both operand texts from the window, computes, and writes
// the result text into the result box. It sees the window only through CalculatorView, so the
// desktop window and a test double serve alike. It never reports an error.

#include <string_view>

#include "core/text.h"

namespace zendrel {

// The controls that calculate uses, by their names in the window description.
namespace control {
inline constexpr std::string_view kFirstOperand = "编辑框1";
inline constexpr std::string_view kOperatorList = "组合框1";
inline constexpr std::string_view kSecondOperand = "编辑框2";
inline constexpr std::string_view kResult = "编辑框3";
}  // namespace control

class CalculatorView {
 public:
  virtual ~CalculatorView() = default;
  // Zero-based index of the chosen entry of a drop-down list, -1 when none is chosen.
  virtual int getCurrentSelection(std::string_view control) = 0;
  // The whole content of an edit box, in code page 936.
  virtual Text getText(std::string_view control) = 0;
  // Replaces the whole content of an edit box.
  virtual void setText(std::string_view control, const Text& text) = 0;
};

inline constexpr int kEnterKeyCode = 13;

// Operator index 0 "+", 1 "-", 2 "*", 3 "/"; any other index does nothing at all.
void calculate(CalculatorView& view);

// Click of the result button.
void onResultButtonClick(CalculatorView& view);
// Key-down of the second operand box: Enter (13) calculates whatever shiftState holds. Gives
// no verdict, so the key always goes on to the box.
void onSecondOperandKeyDown(CalculatorView& view, int keyCode, int shiftState);

}  // namespace zendrel
