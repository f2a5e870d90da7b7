#include "ui/event_binding.h"

#include <algorithm>
#include <array>

namespace zendrel {

namespace {

constexpr std::array<ProgramRoutine, 2> kProgramRoutines = {{
    {"onResultButtonClick", EventKind::Click, &onResultButtonClick, nullptr},
    {"onSecondOperandKeyDown", EventKind::KeyDown, nullptr, &onSecondOperandKeyDown},
}};

bool hasControl(const WindowDescription& description, std::string_view name) {
  return std::any_of(description.controls.begin(), description.controls.end(),
                     [name](const ControlDescription& c) { return c.name == name; });
}

const ProgramRoutine* findRoutine(std::span<const ProgramRoutine> routines, std::string_view name) {
  for (const ProgramRoutine& routine : routines) {
    if (routine.name == name) return &routine;
  }
  return nullptr;
}

bool routineFits(const ProgramRoutine& routine, EventKind event) {
  if (routine.event != event) return false;
  return event == EventKind::Click ? routine.click != nullptr : routine.keyDown != nullptr;
}

}  // namespace

std::span<const ProgramRoutine> programRoutines() { return kProgramRoutines; }

std::optional<std::vector<BoundEvent>> bindEvents(const WindowDescription& description,
                                                  std::span<const ProgramRoutine> routines) {
  std::vector<BoundEvent> bound;
  for (const EventBinding& binding : description.bindings) {
    const ProgramRoutine* routine = findRoutine(routines, binding.handler);
    if (!hasControl(description, binding.control) || routine == nullptr ||
        !routineFits(*routine, binding.event)) {
      return std::nullopt;
    }
    bound.push_back({binding.control, binding.event, routine->click, routine->keyDown});
  }
  return bound;
}

}  // namespace zendrel
