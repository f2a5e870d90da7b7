#include "ui/keyboard.h"

#include <QApplication>
#include <QKeyEvent>

#include "ui/virtual_key.h"

namespace zendrel {

namespace {

Qt::KeyboardModifiers withoutKeypad(Qt::KeyboardModifiers modifiers) {
  return modifiers & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
}

}  // namespace

KeyStep preHandlingStep(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held = withoutKeypad(modifiers);
  if (key == Qt::Key_Tab && held == Qt::NoModifier) return KeyStep::MoveFocusForward;
  // The toolkit reports Shift+Tab as Backtab, on some platforms without the Shift flag.
  if ((key == Qt::Key_Backtab || key == Qt::Key_Tab) &&
      (held == Qt::ShiftModifier || (key == Qt::Key_Backtab && held == Qt::NoModifier))) {
    return KeyStep::MoveFocusBackward;
  }
  if (key == Qt::Key_Escape && held == Qt::NoModifier) return KeyStep::Close;
  // Enter: no default button and no focus movement. Alt with a letter or digit: no caption
  // marks an access key. Both simply go on.
  return KeyStep::PassOn;
}

KeyboardPreHandler::KeyboardPreHandler(QWidget* window, KeyboardOwner& owner)
    : QObject(window), window_(window), owner_(owner) {
  qApp->installEventFilter(this);
}

KeyboardPreHandler::~KeyboardPreHandler() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool KeyboardPreHandler::isForWindow(QObject* receiver) const {
  if (window_ == nullptr || !receiver->isWidgetType()) return false;
  // A key that a control ignores is offered to its parents too; it is handled only on its
  // way to the focused control (or to the window itself when nothing has the focus).
  QWidget* focused = window_->focusWidget();
  return receiver == (focused != nullptr ? focused : window_.data());
}

bool KeyboardPreHandler::eventFilter(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !isForWindow(receiver)) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (preHandlingStep(key->key(), key->modifiers())) {
    case KeyStep::MoveFocusForward:
      owner_.moveFocus(true);
      return true;
    case KeyStep::MoveFocusBackward:
      owner_.moveFocus(false);
      return true;
    case KeyStep::Close:
      owner_.closeByKeyboard();
      return true;
    case KeyStep::PassOn:
      break;
  }
  owner_.raiseKeyDown(static_cast<QWidget*>(receiver), virtualKeyCode(key->key(), key->modifiers()),
                      shiftState(key->key(), key->modifiers()));
  return false;
}

}  // namespace zendrel
