#pragma once
// Binding of a window description's named events to the program's routines: every binding
// must name a control of the description and a routine of the matching event kind, or the
// description is unusable. Events without a binding have no effect.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/calculator.h"
#include "ui/window_description.h"

namespace zendrel {

using ClickHandler = void (*)(CalculatorView& view);
using KeyDownHandler = void (*)(CalculatorView& view, int keyCode, int shiftState);

// A routine of the program that a description may name. Exactly one of the two handlers is
// set, the one of `event`.
struct ProgramRoutine {
  std::string_view name;
  EventKind event;
  ClickHandler click;
  KeyDownHandler keyDown;
};

struct BoundEvent {
  std::string_view control;
  EventKind event;
  ClickHandler click;
  KeyDownHandler keyDown;
};

// The calculator's two handlers under the names the descriptions use.
std::span<const ProgramRoutine> programRoutines();

// The description's bindings resolved to routines, or nullopt when one names an unknown
// control, an unknown routine or a routine of another event kind.
std::optional<std::vector<BoundEvent>> bindEvents(const WindowDescription& description,
                                                  std::span<const ProgramRoutine> routines);

}  // namespace zendrel
