#pragma once
// CalcForm: the calculator's four controls held in memory, a stand-in for the window on which
// calculate runs as it does on the real one.

#include <string_view>

#include "core/calculator.h"
#include "core/text.h"

namespace zendrel::cli::testing {

class CalcForm final : public CalculatorView {
 public:
  int operatorIndex = 0;  // 0 "+", 1 "-", 2 "*", 3 "/"
  Text firstOperand;
  Text secondOperand;
  Text result;

  int getCurrentSelection(std::string_view control) override {
    return control == control::kOperatorList ? operatorIndex : -1;
  }

  Text getText(std::string_view control) override {
    if (control == control::kFirstOperand) return firstOperand;
    if (control == control::kSecondOperand) return secondOperand;
    if (control == control::kResult) return result;
    return Text();
  }

  void setText(std::string_view control, const Text& text) override {
    if (control == control::kFirstOperand) firstOperand = text;
    if (control == control::kSecondOperand) secondOperand = text;
    if (control == control::kResult) result = text;
  }
};

}  // namespace zendrel::cli::testing
