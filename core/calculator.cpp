#include "core/calculator.h"

#include "core/extended_arithmetic.h"
#include "core/number_to_text.h"
#include "core/text_to_number.h"

namespace zendrel {

void calculate(CalculatorView& view) {
  const int index = view.getCurrentSelection(control::kOperatorList);
  if (index < 0 || index > 3) return;
  const auto op = static_cast<Operator>(index);
  // The first box is read and converted completely before the second is read.
  const double x = textToNumber(view.getText(control::kFirstOperand));
  const double y = textToNumber(view.getText(control::kSecondOperand));
  view.setText(control::kResult, numberToText(applyOperator(op, x, y)));
}

void onResultButtonClick(CalculatorView& view) { calculate(view); }

void onSecondOperandKeyDown(CalculatorView& view, int keyCode, int /*shiftState*/) {
  if (keyCode == kEnterKeyCode) calculate(view);
}

}  // namespace zendrel
