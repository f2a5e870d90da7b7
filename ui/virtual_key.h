#pragma once
// The key-down arguments of the window's events: keyCode as the Windows virtual-key number of
// the key, with the keypad's digits, minus, decimal point and divide reporting the main
// keyboard's codes and both Enter keys 13; shiftState as Ctrl 1 + Shift 2 + Alt 4, a modifier's
// own key-down not counting itself. A key without a virtual-key number reports 0.

#include <Qt>

namespace zendrel {

// `key` is a Qt::Key; `modifiers` says whether the key is on the keypad.
int virtualKeyCode(int key, Qt::KeyboardModifiers modifiers);

int shiftState(int key, Qt::KeyboardModifiers modifiers);

}  // namespace zendrel
