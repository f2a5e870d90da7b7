#pragma once
// The description of the program's windows as data: each window's settings and, for each
// control, its kind, name, place, size, flags, tab-order value and the settings of its kind,
// plus the events it binds to named routines. The window is built from this and nothing else.

#include <span>
#include <string_view>
#include <variant>
#include <vector>

namespace zendrel {

enum class ControlKind { EditBox, Label, Button, ComboBox };

// Pixels: a control's place within the client area and its outer size.
struct Place {
  int left;
  int top;
  int width;
  int height;
};

struct ControlFlags {
  bool visible;
  bool enabled;
  bool tabStop;
};

// Every edit box setting at its default: single line, left aligned, editable, no length
// limit, selection hidden without the focus.
struct EditBoxSettings {};

struct LabelSettings {
  std::string_view text;
};

struct ButtonSettings {
  std::string_view caption;
  bool defaultButton;
};

struct ComboBoxSettings {
  std::span<const std::string_view> entries;
  int chosenIndex;    // beyond the last entry chooses the last; below -1 chooses none
  int droppedHeight;  // field and open list together reach at most this far down
};

using KindSettings = std::variant<EditBoxSettings, LabelSettings, ButtonSettings, ComboBoxSettings>;

struct ControlDescription {
  ControlKind kind;
  std::string_view name;
  Place place;
  ControlFlags flags;
  int tabOrder;
  KindSettings settings;
  // Spoken by assistive technology; nothing visible depends on it.
  std::string_view accessibleName;
  std::string_view accessibleDescription;
};

enum class EventKind { Click, KeyDown };

// An event of a named control bound to a program routine named by its handler name.
struct EventBinding {
  std::string_view control;
  EventKind event;
  std::string_view handler;
};

struct WindowSettings {
  std::string_view name;
  std::string_view kind;
  std::string_view title;
  int outerWidth;
  int outerHeight;
  int storedLeft;  // unused while startCentred is set
  int storedTop;
  bool startCentred;
  bool fixedFrame;
  bool minimizeButton;
  bool maximizeButton;
  bool closeButton;
  bool systemMenu;
  bool showInTaskbar;
  bool alwaysOnTop;
  bool escCloses;
  bool enterMovesFocus;
  bool f1Help;
  bool dragByClientArea;
  bool menuBar;
};

struct WindowDescription {
  WindowSettings window;
  std::span<const ControlDescription> controls;  // in creation order
  std::span<const EventBinding> bindings;
};

inline constexpr std::string_view kMainWindowName = "MainWindow";

// The program's window descriptions, built into the program.
std::span<const WindowDescription> programWindowDescriptions();

// The description named `name` among `descriptions`, or nullptr.
const WindowDescription* findWindowDescription(std::span<const WindowDescription> descriptions,
                                               std::string_view name);

// The entry a drop-down list shows for a stored index: beyond the last entry the last one,
// any negative index none (-1).
int effectiveChosenIndex(int storedIndex, int entryCount);

// The controls that Tab visits: visible, enabled tab stops by ascending tab-order value, ties
// kept in creation order.
std::vector<std::string_view> tabOrder(const WindowDescription& description);

// Left or top edge that centres an extent on the screen, truncating toward zero.
constexpr int centredEdge(int screenExtent, int windowExtent) {
  return (screenExtent - windowExtent) / 2;
}

}  // namespace zendrel
