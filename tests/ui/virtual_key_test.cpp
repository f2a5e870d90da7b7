// Key-down arguments and the keyboard pre-handling decision, key by key.

#include "ui/virtual_key.h"

#include <gtest/gtest.h>

#include "ui/keyboard.h"

namespace zendrel {
namespace {

struct KeyCase {
  int key;
  Qt::KeyboardModifiers modifiers;
  int expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << "key 0x" << std::hex << c.key << " modifiers 0x" << c.modifiers.toInt();
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kKeypad = Qt::KeypadModifier;

class VirtualKeyCode : public testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyCode, MatchesTheWindowsNumbering) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(virtualKeyCode(c.key, c.modifiers), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MainKeys, VirtualKeyCode,
    testing::Values(KeyCase{Qt::Key_A, kNone, 65}, KeyCase{Qt::Key_Z, kNone, 90},
                    KeyCase{Qt::Key_0, kNone, 48}, KeyCase{Qt::Key_9, kNone, 57},
                    KeyCase{Qt::Key_F1, kNone, 112}, KeyCase{Qt::Key_F12, kNone, 123},
                    KeyCase{Qt::Key_F24, kNone, 135}, KeyCase{Qt::Key_Return, kNone, 13},
                    KeyCase{Qt::Key_Enter, kKeypad, 13}, KeyCase{Qt::Key_Escape, kNone, 27},
                    KeyCase{Qt::Key_Space, kNone, 32}, KeyCase{Qt::Key_Backspace, kNone, 8},
                    KeyCase{Qt::Key_Tab, kNone, 9}, KeyCase{Qt::Key_Backtab, kNone, 9},
                    KeyCase{Qt::Key_Shift, kNone, 16}, KeyCase{Qt::Key_Control, kNone, 17},
                    KeyCase{Qt::Key_Alt, kNone, 18}, KeyCase{Qt::Key_Pause, kNone, 19},
                    KeyCase{Qt::Key_CapsLock, kNone, 20}, KeyCase{Qt::Key_NumLock, kNone, 144},
                    KeyCase{Qt::Key_ScrollLock, kNone, 145}, KeyCase{Qt::Key_Menu, kNone, 93}));

INSTANTIATE_TEST_SUITE_P(
    EditingKeys, VirtualKeyCode,
    testing::Values(KeyCase{Qt::Key_PageUp, kNone, 33}, KeyCase{Qt::Key_PageDown, kNone, 34},
                    KeyCase{Qt::Key_End, kNone, 35}, KeyCase{Qt::Key_Home, kNone, 36},
                    KeyCase{Qt::Key_Left, kNone, 37}, KeyCase{Qt::Key_Up, kNone, 38},
                    KeyCase{Qt::Key_Right, kNone, 39}, KeyCase{Qt::Key_Down, kNone, 40},
                    KeyCase{Qt::Key_Insert, kNone, 45}, KeyCase{Qt::Key_Delete, kNone, 46},
                    KeyCase{Qt::Key_Print, kNone, 44},
                    // The keypad without Num Lock: its own navigation codes.
                    KeyCase{Qt::Key_Home, kKeypad, 36}, KeyCase{Qt::Key_Insert, kKeypad, 45},
                    KeyCase{Qt::Key_Clear, kKeypad, 12}));

INSTANTIATE_TEST_SUITE_P(
    Punctuation, VirtualKeyCode,
    testing::Values(KeyCase{Qt::Key_Semicolon, kNone, 186}, KeyCase{Qt::Key_Colon, kNone, 186},
                    KeyCase{Qt::Key_Equal, kNone, 187}, KeyCase{Qt::Key_Plus, kNone, 187},
                    KeyCase{Qt::Key_Comma, kNone, 188}, KeyCase{Qt::Key_Less, kNone, 188},
                    KeyCase{Qt::Key_Minus, kNone, 189}, KeyCase{Qt::Key_Underscore, kNone, 189},
                    KeyCase{Qt::Key_Period, kNone, 190}, KeyCase{Qt::Key_Greater, kNone, 190},
                    KeyCase{Qt::Key_Slash, kNone, 191}, KeyCase{Qt::Key_Question, kNone, 191},
                    KeyCase{Qt::Key_QuoteLeft, kNone, 192}, KeyCase{Qt::Key_AsciiTilde, kNone, 192},
                    KeyCase{Qt::Key_BracketLeft, kNone, 219},
                    KeyCase{Qt::Key_Backslash, kNone, 220},
                    KeyCase{Qt::Key_BracketRight, kNone, 221},
                    KeyCase{Qt::Key_Apostrophe, kNone, 222}, KeyCase{Qt::Key_QuoteDbl, kNone, 222},
                    // Shifted digits report their digit key.
                    KeyCase{Qt::Key_Exclam, kNone, 49}, KeyCase{Qt::Key_At, kNone, 50},
                    KeyCase{Qt::Key_Asterisk, kNone, 56}, KeyCase{Qt::Key_ParenLeft, kNone, 57},
                    KeyCase{Qt::Key_ParenRight, kNone, 48}));

INSTANTIATE_TEST_SUITE_P(
    Keypad, VirtualKeyCode,
    testing::Values(KeyCase{Qt::Key_0, kKeypad, 48}, KeyCase{Qt::Key_5, kKeypad, 53},
                    KeyCase{Qt::Key_9, kKeypad, 57}, KeyCase{Qt::Key_Minus, kKeypad, 189},
                    KeyCase{Qt::Key_Period, kKeypad, 190}, KeyCase{Qt::Key_Comma, kKeypad, 190},
                    KeyCase{Qt::Key_Slash, kKeypad, 191}, KeyCase{Qt::Key_Asterisk, kKeypad, 106},
                    KeyCase{Qt::Key_Plus, kKeypad, 107},
                    // Keys the table does not know report no code.
                    KeyCase{Qt::Key_unknown, kNone, 0}, KeyCase{0x4E00, kNone, 0}));

struct ShiftCase {
  int key;
  Qt::KeyboardModifiers modifiers;
  int expected;
};

TEST(ShiftState, SumsCtrlShiftAltWithoutTheModifiersOwnKey) {
  const ShiftCase cases[] = {
      {Qt::Key_Return, Qt::NoModifier, 0},
      {Qt::Key_Return, Qt::ControlModifier, 1},
      {Qt::Key_Return, Qt::ShiftModifier, 2},
      {Qt::Key_Return, Qt::AltModifier, 4},
      {Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, 7},
      {Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier, 2},
      {Qt::Key_Return, Qt::MetaModifier, 0},
      {Qt::Key_Shift, Qt::ShiftModifier, 0},
      {Qt::Key_Control, Qt::ControlModifier | Qt::ShiftModifier, 2},
      {Qt::Key_Alt, Qt::AltModifier | Qt::ControlModifier, 1},
  };
  for (const ShiftCase& c : cases) {
    EXPECT_EQ(shiftState(c.key, c.modifiers), c.expected)
        << "key 0x" << std::hex << c.key << " modifiers 0x" << c.modifiers.toInt();
  }
}

TEST(PreHandlingStep, TabEscAndEverythingElse) {
  struct StepCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    KeyStep expected;
  };
  const StepCase cases[] = {
      {Qt::Key_Tab, Qt::NoModifier, KeyStep::MoveFocusForward},
      {Qt::Key_Backtab, Qt::ShiftModifier, KeyStep::MoveFocusBackward},
      {Qt::Key_Backtab, Qt::NoModifier, KeyStep::MoveFocusBackward},
      {Qt::Key_Tab, Qt::ShiftModifier, KeyStep::MoveFocusBackward},
      {Qt::Key_Tab, Qt::ControlModifier, KeyStep::PassOn},
      {Qt::Key_Tab, Qt::AltModifier, KeyStep::PassOn},
      {Qt::Key_Escape, Qt::NoModifier, KeyStep::Close},
      {Qt::Key_Escape, Qt::KeypadModifier, KeyStep::Close},
      {Qt::Key_Escape, Qt::ShiftModifier, KeyStep::PassOn},
      {Qt::Key_Return, Qt::NoModifier, KeyStep::PassOn},
      {Qt::Key_Enter, Qt::KeypadModifier, KeyStep::PassOn},
      {Qt::Key_A, Qt::AltModifier, KeyStep::PassOn},
      {Qt::Key_1, Qt::NoModifier, KeyStep::PassOn},
  };
  for (const StepCase& c : cases) {
    EXPECT_EQ(preHandlingStep(c.key, c.modifiers), c.expected)
        << "key 0x" << std::hex << c.key << " modifiers 0x" << c.modifiers.toInt();
  }
}

}  // namespace
}  // namespace zendrel
