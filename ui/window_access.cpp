#include "ui/window_access.h"

#include "ui/code_page_936.h"
#include "ui/main_window.h"

namespace zendrel {

namespace {

Text windowNotLoaded() {
  return utf8ToCodePage936(
      QByteArrayView(kWindowNotLoaded.data(), static_cast<qsizetype>(kWindowNotLoaded.size())));
}

}  // namespace

MainWindow* WindowAccess::liveWindow() {
  if (window_ == nullptr) failure_(windowNotLoaded());
  return window_;
}

int WindowAccess::getCurrentSelection(std::string_view control) {
  if (MainWindow* window = liveWindow()) {
    if (const auto index = window->currentSelection(control)) return *index;
    failure_(windowNotLoaded());
  }
  return -1;
}

Text WindowAccess::getText(std::string_view control) {
  if (MainWindow* window = liveWindow()) {
    if (auto text = window->text(control)) return *std::move(text);
    failure_(windowNotLoaded());
  }
  return Text();
}

void WindowAccess::setText(std::string_view control, const Text& text) {
  if (MainWindow* window = liveWindow()) {
    if (!window->replaceText(control, text)) failure_(windowNotLoaded());
  }
}

}  // namespace zendrel
