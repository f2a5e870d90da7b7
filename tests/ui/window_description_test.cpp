// The window description as data: the main window's tables, the Tab order rule, the stored
// index rule and the binding of named events to routines.

#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <array>

#include "ui/event_binding.h"

namespace zendrel {
namespace {

const WindowDescription& mainDescription() {
  const WindowDescription* description =
      findWindowDescription(programWindowDescriptions(), kMainWindowName);
  EXPECT_NE(description, nullptr);
  return *description;
}

TEST(WindowDescriptionTest, MainWindowHoldsItsSixControlsInCreationOrder) {
  const WindowDescription& d = mainDescription();
  EXPECT_EQ(d.window.title, "Zendrel1.0");
  EXPECT_EQ(d.window.outerWidth, 380);
  EXPECT_EQ(d.window.outerHeight, 250);
  EXPECT_TRUE(d.window.startCentred);
  EXPECT_FALSE(d.window.minimizeButton);
  EXPECT_FALSE(d.window.maximizeButton);
  EXPECT_TRUE(d.window.closeButton);
  EXPECT_TRUE(d.window.escCloses);
  EXPECT_FALSE(d.window.enterMovesFocus);
  struct Expected {
    std::string_view name;
    ControlKind kind;
    Place place;
    bool tabStop;
  };
  const Expected expected[] = {
      {"编辑框1", ControlKind::EditBox, {24, 24, 112, 24}, true},
      {"组合框1", ControlKind::ComboBox, {152, 24, 48, 20}, true},
      {"编辑框2", ControlKind::EditBox, {232, 24, 112, 24}, true},
      {"标签1", ControlKind::Label, {32, 88, 64, 24}, false},
      {"编辑框3", ControlKind::EditBox, {32, 144, 192, 28}, true},
      {"按钮1", ControlKind::Button, {280, 144, 80, 32}, true},
  };
  ASSERT_EQ(d.controls.size(), std::size(expected));
  for (std::size_t i = 0; i < d.controls.size(); ++i) {
    const ControlDescription& c = d.controls[i];
    EXPECT_EQ(c.name, expected[i].name);
    EXPECT_EQ(c.kind, expected[i].kind) << c.name;
    EXPECT_EQ(c.place.left, expected[i].place.left) << c.name;
    EXPECT_EQ(c.place.top, expected[i].place.top) << c.name;
    EXPECT_EQ(c.place.width, expected[i].place.width) << c.name;
    EXPECT_EQ(c.place.height, expected[i].place.height) << c.name;
    EXPECT_EQ(c.flags.tabStop, expected[i].tabStop) << c.name;
    EXPECT_TRUE(c.flags.visible && c.flags.enabled) << c.name;
    EXPECT_EQ(c.tabOrder, 0) << c.name;
  }
  const auto& list = std::get<ComboBoxSettings>(d.controls[1].settings);
  ASSERT_EQ(list.entries.size(), 4u);
  EXPECT_EQ(list.entries[0], "+");
  EXPECT_EQ(list.entries[3], "/");
  EXPECT_EQ(list.chosenIndex, 0);
  EXPECT_EQ(list.droppedHeight, 160);
  EXPECT_EQ(std::get<ButtonSettings>(d.controls[5].settings).caption, "结果");
  EXPECT_FALSE(std::get<ButtonSettings>(d.controls[5].settings).defaultButton);
}

TEST(WindowDescriptionTest, TabOrderOfTheMainWindowLeavesOutTheLabel) {
  const std::vector<std::string_view> expected = {"编辑框1", "组合框1", "编辑框2", "编辑框3",
                                                  "按钮1"};
  EXPECT_EQ(tabOrder(mainDescription()), expected);
}

TEST(WindowDescriptionTest, TabOrderSortsByValueKeepsTiesAndSkipsHiddenOrDisabled) {
  constexpr ControlFlags on{true, true, true};
  const std::array<ControlDescription, 5> controls = {{
      {ControlKind::EditBox, "a", {0, 0, 1, 1}, on, 2, EditBoxSettings{}, "", ""},
      {ControlKind::EditBox, "b", {0, 0, 1, 1}, on, 1, EditBoxSettings{}, "", ""},
      {ControlKind::EditBox, "c", {0, 0, 1, 1}, {false, true, true}, 0, EditBoxSettings{}, "", ""},
      {ControlKind::EditBox, "d", {0, 0, 1, 1}, {true, false, true}, 0, EditBoxSettings{}, "", ""},
      {ControlKind::EditBox, "e", {0, 0, 1, 1}, on, 1, EditBoxSettings{}, "", ""},
  }};
  WindowDescription d = mainDescription();
  d.controls = controls;
  const std::vector<std::string_view> expected = {"b", "e", "a"};
  EXPECT_EQ(tabOrder(d), expected);
}

TEST(WindowDescriptionTest, StoredIndexBeyondTheLastChoosesTheLastAndNegativeNone) {
  struct IndexCase {
    int stored;
    int expected;
  };
  const IndexCase cases[] = {{0, 0}, {3, 3}, {4, 3}, {1000, 3}, {-1, -1}, {-2, -1}, {-1000, -1}};
  for (const IndexCase& c : cases) {
    EXPECT_EQ(effectiveChosenIndex(c.stored, 4), c.expected) << "stored " << c.stored;
  }
}

TEST(WindowDescriptionTest, CentredEdgeTruncatesTowardZero) {
  EXPECT_EQ(centredEdge(1024, 380), 322);
  EXPECT_EQ(centredEdge(1025, 380), 322);
  EXPECT_EQ(centredEdge(768, 250), 259);
  EXPECT_EQ(centredEdge(379, 380), 0);  // -1 / 2 truncates to 0, not -1
  EXPECT_EQ(centredEdge(377, 380), -1);
}

TEST(WindowDescriptionTest, UnknownWindowHasNoDescription) {
  EXPECT_EQ(findWindowDescription(programWindowDescriptions(), "OtherWindow"), nullptr);
}

TEST(EventBindingTest, MainWindowBindsExactlyTheClickAndTheKeyDown) {
  const std::optional<std::vector<BoundEvent>> bound =
      bindEvents(mainDescription(), programRoutines());
  ASSERT_TRUE(bound.has_value());
  ASSERT_EQ(bound->size(), 2u);
  EXPECT_EQ((*bound)[0].control, "按钮1");
  EXPECT_EQ((*bound)[0].event, EventKind::Click);
  EXPECT_EQ((*bound)[0].click, &onResultButtonClick);
  EXPECT_EQ((*bound)[1].control, "编辑框2");
  EXPECT_EQ((*bound)[1].event, EventKind::KeyDown);
  EXPECT_EQ((*bound)[1].keyDown, &onSecondOperandKeyDown);
}

TEST(EventBindingTest, ABindingToAnUnknownControlOrRoutineOrKindIsRejected) {
  const EventBinding broken[][1] = {
      {{"按钮9", EventKind::Click, "onResultButtonClick"}},
      {{"按钮1", EventKind::Click, "noSuchRoutine"}},
      {{"按钮1", EventKind::KeyDown, "onResultButtonClick"}},
      {{"编辑框2", EventKind::Click, "onSecondOperandKeyDown"}},
  };
  for (const auto& binding : broken) {
    WindowDescription d = mainDescription();
    d.bindings = binding;
    EXPECT_FALSE(bindEvents(d, programRoutines()).has_value())
        << binding[0].control << " " << binding[0].handler;
  }
}

}  // namespace
}  // namespace zendrel
