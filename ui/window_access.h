#pragma once
// The window operations that the calculator uses, checked: an access while the window does
// not exist, or to a control the window lacks, is an unrecoverable failure reported with
// "指定窗口尚未载入"; the failure routine does not return in the program.

#include <QPointer>
#include <string_view>

#include "core/calculator.h"
#include "core/text.h"

namespace zendrel {

class MainWindow;

// Reports an unrecoverable failure; the message is in code page 936.
using WindowFailure = void (*)(const Text& message);

// The message, as UTF-8 source text.
inline constexpr std::string_view kWindowNotLoaded = "指定窗口尚未载入";

class WindowAccess : public CalculatorView {
 public:
  WindowAccess(MainWindow* window, WindowFailure failure) : window_(window), failure_(failure) {}

  int getCurrentSelection(std::string_view control) override;
  Text getText(std::string_view control) override;
  void setText(std::string_view control, const Text& text) override;

 private:
  // The window, or nullptr after the failure routine has been called.
  MainWindow* liveWindow();

  QPointer<MainWindow> window_;
  WindowFailure failure_;
};

}  // namespace zendrel
