#include "ui/window_description.h"

#include <algorithm>
#include <array>

namespace zendrel {

namespace {

constexpr std::array<std::string_view, 4> kOperatorEntries = {"+", "-", "*", "/"};

constexpr ControlFlags kTabStop{.visible = true, .enabled = true, .tabStop = true};
constexpr ControlFlags kNoTabStop{.visible = true, .enabled = true, .tabStop = false};

constexpr std::array<ControlDescription, 6> kMainWindowControls = {{
    {ControlKind::EditBox,
     "编辑框1",
     {24, 24, 112, 24},
     kTabStop,
     0,
     EditBoxSettings{},
     "第一个数",
     "输入第一个数"},
    {ControlKind::ComboBox,
     "组合框1",
     {152, 24, 48, 20},
     kTabStop,
     0,
     ComboBoxSettings{kOperatorEntries, 0, 160},
     "运算符",
     "选择加、减、乘或除"},
    {ControlKind::EditBox,
     "编辑框2",
     {232, 24, 112, 24},
     kTabStop,
     0,
     EditBoxSettings{},
     "第二个数",
     "输入第二个数，按回车键计算"},
    {ControlKind::Label,
     "标签1",
     {32, 88, 64, 24},
     kNoTabStop,
     0,
     LabelSettings{"="},
     "等于",
     "等号"},
    {ControlKind::EditBox,
     "编辑框3",
     {32, 144, 192, 28},
     kTabStop,
     0,
     EditBoxSettings{},
     "结果",
     "计算结果"},
    {ControlKind::Button,
     "按钮1",
     {280, 144, 80, 32},
     kTabStop,
     0,
     ButtonSettings{"结果", false},
     "结果",
     "计算并显示结果"},
}};

constexpr std::array<EventBinding, 2> kMainWindowBindings = {{
    {"按钮1", EventKind::Click, "onResultButtonClick"},
    {"编辑框2", EventKind::KeyDown, "onSecondOperandKeyDown"},
}};

constexpr WindowSettings kMainWindowSettings{
    .name = kMainWindowName,
    .kind = "窗口",
    .title = "Zendrel1.0",
    .outerWidth = 380,
    .outerHeight = 250,
    .storedLeft = 50,
    .storedTop = 50,
    .startCentred = true,
    .fixedFrame = true,
    .minimizeButton = false,
    .maximizeButton = false,
    .closeButton = true,
    .systemMenu = true,
    .showInTaskbar = true,
    .alwaysOnTop = false,
    .escCloses = true,
    .enterMovesFocus = false,
    .f1Help = false,
    .dragByClientArea = false,
    .menuBar = false,
};

constexpr std::array<WindowDescription, 1> kProgramWindows = {{
    {kMainWindowSettings, kMainWindowControls, kMainWindowBindings},
}};

}  // namespace

std::span<const WindowDescription> programWindowDescriptions() { return kProgramWindows; }

const WindowDescription* findWindowDescription(std::span<const WindowDescription> descriptions,
                                               std::string_view name) {
  for (const WindowDescription& description : descriptions) {
    if (description.window.name == name) return &description;
  }
  return nullptr;
}

int effectiveChosenIndex(int storedIndex, int entryCount) {
  if (storedIndex < 0) return -1;
  return std::min(storedIndex, entryCount - 1);
}

std::vector<std::string_view> tabOrder(const WindowDescription& description) {
  std::vector<const ControlDescription*> stops;
  for (const ControlDescription& control : description.controls) {
    if (control.flags.visible && control.flags.enabled && control.flags.tabStop) {
      stops.push_back(&control);
    }
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const auto* a, const auto* b) { return a->tabOrder < b->tabOrder; });
  std::vector<std::string_view> names;
  for (const ControlDescription* control : stops) names.push_back(control->name);
  return names;
}

}  // namespace zendrel
