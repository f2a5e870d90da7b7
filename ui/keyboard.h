#pragma once
// The window's keyboard pre-handling: every key-down meant for the window or one of its
// controls is seen here before the control gets it, Tab included. Tab and Shift+Tab move the
// focus round the Tab order and Esc closes the window (both consumed); Enter never moves the
// focus; every other key raises the focused control's key-down event and then reaches it.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace zendrel {

enum class KeyStep { MoveFocusForward, MoveFocusBackward, Close, PassOn };

// The step that a key-down with these modifiers takes, the keypad flag ignored.
KeyStep preHandlingStep(int key, Qt::KeyboardModifiers modifiers);

// What the pre-handling acts on.
class KeyboardOwner {
 public:
  virtual ~KeyboardOwner() = default;
  virtual void moveFocus(bool forward) = 0;
  virtual void closeByKeyboard() = 0;
  virtual void raiseKeyDown(QWidget* focused, int keyCode, int shiftState) = 0;
};

// An application-wide event filter for one window, removed again when it is destroyed.
class KeyboardPreHandler : public QObject {
 public:
  KeyboardPreHandler(QWidget* window, KeyboardOwner& owner);
  ~KeyboardPreHandler() override;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  bool isForWindow(QObject* receiver) const;

  QPointer<QWidget> window_;
  KeyboardOwner& owner_;
};

}  // namespace zendrel
