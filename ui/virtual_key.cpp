#include "ui/virtual_key.h"

namespace zendrel {

namespace {

struct KeyCode {
  int key;
  int code;
};

// Windows virtual-key numbers used below.
constexpr int kVkOemSemicolon = 186;  // ;:
constexpr int kVkOemPlus = 187;       // =+
constexpr int kVkOemComma = 188;      // ,<
constexpr int kVkOemMinus = 189;      // -_
constexpr int kVkOemPeriod = 190;     // .>
constexpr int kVkOemSlash = 191;      // /?
constexpr int kVkOemBackquote = 192;  // `~
constexpr int kVkOemOpenBracket = 219;
constexpr int kVkOemBackslash = 220;
constexpr int kVkOemCloseBracket = 221;
constexpr int kVkOemQuote = 222;

// Keys whose code does not follow from a range. The toolkit reports the character a key
// produces, so a shifted punctuation or digit key is mapped back to the key of the US layout
// that produces it.
constexpr KeyCode kKeyCodes[] = {
    {Qt::Key_Cancel, 3},
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Kana_Shift, 21},
    {Qt::Key_Hangul, 21},
    {Qt::Key_Hangul_Hanja, 25},
    {Qt::Key_Kanji, 25},
    {Qt::Key_Escape, 27},
    {Qt::Key_Henkan, 28},
    {Qt::Key_Muhenkan, 29},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Select, 41},
    {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_Meta, 91},
    {Qt::Key_Super_L, 91},
    {Qt::Key_Super_R, 92},
    {Qt::Key_Menu, 93},
    {Qt::Key_Sleep, 95},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Back, 166},
    {Qt::Key_Forward, 167},
    {Qt::Key_Refresh, 168},
    {Qt::Key_Stop, 169},
    {Qt::Key_Search, 170},
    {Qt::Key_Favorites, 171},
    {Qt::Key_HomePage, 172},
    {Qt::Key_VolumeMute, 173},
    {Qt::Key_VolumeDown, 174},
    {Qt::Key_VolumeUp, 175},
    {Qt::Key_MediaNext, 176},
    {Qt::Key_MediaPrevious, 177},
    {Qt::Key_MediaStop, 178},
    {Qt::Key_MediaPlay, 179},
    {Qt::Key_MediaTogglePlayPause, 179},
    {Qt::Key_MediaPause, 179},
    {Qt::Key_LaunchMail, 180},
    {Qt::Key_LaunchMedia, 181},
    {Qt::Key_Launch0, 182},
    {Qt::Key_Launch1, 183},
    {Qt::Key_Semicolon, kVkOemSemicolon},
    {Qt::Key_Colon, kVkOemSemicolon},
    {Qt::Key_Equal, kVkOemPlus},
    {Qt::Key_Plus, kVkOemPlus},
    {Qt::Key_Comma, kVkOemComma},
    {Qt::Key_Less, kVkOemComma},
    {Qt::Key_Minus, kVkOemMinus},
    {Qt::Key_Underscore, kVkOemMinus},
    {Qt::Key_Period, kVkOemPeriod},
    {Qt::Key_Greater, kVkOemPeriod},
    {Qt::Key_Slash, kVkOemSlash},
    {Qt::Key_Question, kVkOemSlash},
    {Qt::Key_QuoteLeft, kVkOemBackquote},
    {Qt::Key_AsciiTilde, kVkOemBackquote},
    {Qt::Key_Dead_Grave, kVkOemBackquote},
    {Qt::Key_Dead_Tilde, kVkOemBackquote},
    {Qt::Key_BracketLeft, kVkOemOpenBracket},
    {Qt::Key_BraceLeft, kVkOemOpenBracket},
    {Qt::Key_Backslash, kVkOemBackslash},
    {Qt::Key_Bar, kVkOemBackslash},
    {Qt::Key_BracketRight, kVkOemCloseBracket},
    {Qt::Key_BraceRight, kVkOemCloseBracket},
    {Qt::Key_Apostrophe, kVkOemQuote},
    {Qt::Key_QuoteDbl, kVkOemQuote},
    {Qt::Key_Dead_Acute, kVkOemQuote},
    {Qt::Key_Dead_Diaeresis, kVkOemQuote},
    {Qt::Key_Dead_Circumflex, '6'},
    {Qt::Key_Play, 250},
    {Qt::Key_Zoom, 251},
    {Qt::Key_Calculator, 183},
    {Qt::Key_Explorer, 182},
};

// The keypad: digits and the decimal point report the main keyboard's codes, minus and
// divide the codes of the main keys that carry them; * and + keep their keypad codes.
constexpr int kVkMultiply = 106;
constexpr int kVkAdd = 107;

int keypadCode(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Minus:
      return kVkOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return kVkOemPeriod;  // the decimal key, whatever character it gives
    case Qt::Key_Slash:
      return kVkOemSlash;
    case Qt::Key_Asterisk:
      return kVkMultiply;
    case Qt::Key_Plus:
      return kVkAdd;
    default:
      return -1;
  }
}

// VK_F1 is 112; the F-keys run consecutively to VK_F24 (135).
constexpr int kVkF1 = 112;
constexpr int kFunctionKeyCount = 24;

}  // namespace

int virtualKeyCode(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    if (const int code = keypadCode(key); code >= 0) return code;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeyCount) return kVkF1 + (key - Qt::Key_F1);
  for (const KeyCode& entry : kKeyCodes) {
    if (entry.key == key) return entry.code;
  }
  return 0;
}

int shiftState(int key, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier) && key != Qt::Key_Control;
  const bool shift = modifiers.testFlag(Qt::ShiftModifier) && key != Qt::Key_Shift;
  const bool alt = modifiers.testFlag(Qt::AltModifier) && key != Qt::Key_Alt;
  return (ctrl ? 1 : 0) + (shift ? 2 : 0) + (alt ? 4 : 0);
}

}  // namespace zendrel
