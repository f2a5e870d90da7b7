// The calculator window on the offscreen platform: its start state, places, keyboard
// handling, events, texts, focus memory and accessibility.

#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "ui/code_page_936.h"

namespace zendrel {
namespace {

constexpr std::string_view kFirst = "编辑框1";
constexpr std::string_view kList = "组合框1";
constexpr std::string_view kSecond = "编辑框2";
constexpr std::string_view kLabel = "标签1";
constexpr std::string_view kResult = "编辑框3";
constexpr std::string_view kButton = "按钮1";

// What the bound events did: the routines below record each call and then run the
// calculator's own handler.
struct Recorded {
  int clicks = 0;
  std::vector<std::pair<int, int>> keyDowns;  // keyCode, shiftState
  int failures = 0;
  Text failureMessage;
};
Recorded recorded;

void recordClick(CalculatorView& view) {
  ++recorded.clicks;
  onResultButtonClick(view);
}

void recordKeyDown(CalculatorView& view, int keyCode, int shiftState) {
  recorded.keyDowns.emplace_back(keyCode, shiftState);
  onSecondOperandKeyDown(view, keyCode, shiftState);
}

void recordFailure(const Text& message) {
  ++recorded.failures;
  recorded.failureMessage = message;
}

constexpr ProgramRoutine kRecordingRoutines[] = {
    {"onResultButtonClick", EventKind::Click, &recordClick, nullptr},
    {"onSecondOperandKeyDown", EventKind::KeyDown, nullptr, &recordKeyDown},
};

std::string hex(const Text& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

bool waitUntil(const std::function<bool()>& done, int milliseconds = 5000) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited >= milliseconds) return false;
    QTest::qWait(10);
  }
  return true;
}

const WindowDescription& mainDescription() {
  return *findWindowDescription(programWindowDescriptions(), kMainWindowName);
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override { open(); }

  void TearDown() override { delete window_.data(); }

  void open() {
    recorded = {};
    std::optional<std::vector<BoundEvent>> events =
        bindEvents(mainDescription(), kRecordingRoutines);
    ASSERT_TRUE(events.has_value());
    window_ = MainWindow::create(mainDescription(), *events, &recordFailure).release();
    ASSERT_NE(window_, nullptr);
    window_->showAndActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  }

  QWidget* control(std::string_view name) const { return window_->control(name); }
  QLineEdit* box(std::string_view name) const { return qobject_cast<QLineEdit*>(control(name)); }
  QComboBox* list() const { return qobject_cast<QComboBox*>(control(kList)); }
  QPushButton* button() const { return qobject_cast<QPushButton*>(control(kButton)); }

  std::string_view focusedName() const { return window_->controlName(QApplication::focusWidget()); }

  // A key as the user presses it: delivered to whatever has the focus.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
  }

  void focus(std::string_view name) {
    control(name)->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(focusedName(), name);
  }

  // Types into the focused control: ASCII by keys, everything else as an input method
  // commits it.
  void type(const QString& text) {
    for (QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
      } else {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &commit);
      }
    }
  }

  void enterOperands(const QString& first, const QString& second) {
    box(kFirst)->setText(first);
    box(kSecond)->setText(second);
  }

  QPointer<MainWindow> window_;
};

TEST_F(MainWindowTest, StartsWithPlusChosenEmptyBoxesAndTheFocusInTheFirstBox) {
  EXPECT_EQ(list()->currentText(), QStringLiteral("+"));
  EXPECT_EQ(window_->view().getCurrentSelection(kList), 0);
  for (std::string_view name : {kFirst, kSecond, kResult}) {
    EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    EXPECT_EQ(window_->view().getText(name), Text()) << name;
  }
  EXPECT_EQ(focusedName(), kFirst);
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Zendrel1.0"));
}

TEST_F(MainWindowTest, IsAFixedSizeTopLevelWindowWithCloseButtonAndWindowMenuOnly) {
  const Qt::WindowFlags flags = window_->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(window_->windowType(), Qt::Window);
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  // The offscreen platform reports a thin frame: 380 x 250 outside, the rest client area.
  EXPECT_EQ(window_->frameGeometry().size(), QSize(380, 250));
  EXPECT_GE(window_->width(), 360);
  EXPECT_GE(window_->height(), 176);
  EXPECT_FALSE(window_->windowIcon().isNull());
  const QSize screen = QGuiApplication::primaryScreen()->size();
  EXPECT_EQ(window_->frameGeometry().topLeft(),
            QPoint((screen.width() - 380) / 2, (screen.height() - 250) / 2));
}

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInsideTheClientArea) {
  struct PlaceCase {
    std::string_view name;
    QRect place;
  };
  const PlaceCase cases[] = {
      {kFirst, {24, 24, 112, 24}},   {kSecond, {232, 24, 112, 24}}, {kLabel, {32, 88, 64, 24}},
      {kResult, {32, 144, 192, 28}}, {kButton, {280, 144, 80, 32}},
  };
  for (const PlaceCase& c : cases) {
    const QRect geometry = control(c.name)->geometry();
    EXPECT_EQ(geometry.topLeft(), c.place.topLeft()) << c.name;
    EXPECT_EQ(geometry.width(), c.place.width()) << c.name;
    EXPECT_GE(geometry.height(), c.place.height()) << c.name;
    EXPECT_TRUE(window_->rect().contains(geometry)) << c.name;
    EXPECT_TRUE(control(c.name)->isVisible()) << c.name;
  }
  // The closed list has the toolkit's own field height.
  EXPECT_EQ(list()->geometry().topLeft(), QPoint(152, 24));
  EXPECT_EQ(list()->width(), 48);
  EXPECT_EQ(list()->height(), list()->sizeHint().height());
}

TEST_F(MainWindowTest, ControlsHaveTheSettingsOfTheirKind) {
  for (std::string_view name : {kFirst, kSecond, kResult}) {
    EXPECT_FALSE(box(name)->isReadOnly()) << name;
    EXPECT_EQ(box(name)->maxLength(), std::numeric_limits<int>::max()) << name;
    EXPECT_EQ(box(name)->echoMode(), QLineEdit::Normal) << name;
    EXPECT_TRUE(box(name)->alignment() & Qt::AlignLeft) << name;
  }
  EXPECT_FALSE(list()->isEditable());
  ASSERT_EQ(list()->count(), 4);
  const QString entries[] = {"+", "-", "*", "/"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list()->itemText(i), entries[i]);
  EXPECT_EQ(button()->text(), QStringLiteral("结果"));
  EXPECT_FALSE(button()->isDefault());
  EXPECT_FALSE(button()->autoDefault());
  auto* label = qobject_cast<QLabel*>(control(kLabel));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("="));
  EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, LabelDrawsABlackEqualsSignOnTheFaceColour) {
  const QImage image = control(kLabel)->grab().toImage();
  const QColor face = window_->palette().color(QPalette::Window);
  EXPECT_EQ(image.pixelColor(image.width() - 1, 0), face);
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), face);
  int darkPixels = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) darkPixels += image.pixelColor(x, y).value() < 64;
  }
  EXPECT_GT(darkPixels, 0);
}

TEST_F(MainWindowTest, TabAndShiftTabGoRoundTheTabOrderWithoutTheLabel) {
  const std::string_view order[] = {kFirst, kList, kSecond, kResult, kButton};
  for (int i = 1; i <= 5; ++i) {
    press(Qt::Key_Tab);
    EXPECT_EQ(focusedName(), order[i % 5]) << "after " << i << " Tab";
  }
  for (int i = 1; i <= 5; ++i) {
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedName(), order[(5 - i) % 5]) << "after " << i << " Shift+Tab";
  }
  EXPECT_FALSE(control(kLabel)->hasFocus());
  // The label takes no focus by mouse either.
  QTest::mouseClick(control(kLabel), Qt::LeftButton);
  EXPECT_EQ(focusedName(), kFirst);
}

TEST_F(MainWindowTest, TabIsNotSeenAsAKeyDownByTheControls) {
  focus(kSecond);
  press(Qt::Key_Tab);
  EXPECT_TRUE(recorded.keyDowns.empty());
  EXPECT_EQ(focusedName(), kResult);
}

TEST_F(MainWindowTest, EscClosesTheWindowFromEveryControl) {
  for (std::string_view name : {kFirst, kList, kSecond, kResult, kButton}) {
    if (window_ == nullptr) open();
    focus(name);
    press(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([this] { return window_ == nullptr; })) << "Esc in " << name;
  }
}

struct EnterCase {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int shiftState;
};

TEST_F(MainWindowTest, EnterInTheSecondBoxCalculatesWithKeyCode13AndLeavesTheBoxAlone) {
  const EnterCase cases[] = {
      {Qt::Key_Return, Qt::NoModifier, 0},
      {Qt::Key_Enter, Qt::KeypadModifier, 0},
      {Qt::Key_Return, Qt::ControlModifier, 1},
      {Qt::Key_Return, Qt::ShiftModifier, 2},
      {Qt::Key_Return, Qt::AltModifier, 4},
      {Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier, 1},
  };
  for (const EnterCase& c : cases) {
    recorded = {};
    enterOperands("1", "2");
    box(kResult)->clear();
    focus(kSecond);
    press(c.key, c.modifiers);
    // The modifiers' own key-downs come first (each without itself in shiftState).
    ASSERT_FALSE(recorded.keyDowns.empty());
    EXPECT_EQ(recorded.keyDowns.back(), std::make_pair(13, c.shiftState))
        << "modifiers 0x" << std::hex << c.modifiers.toInt();
    EXPECT_EQ(std::count_if(recorded.keyDowns.begin(), recorded.keyDowns.end(),
                            [](const auto& k) { return k.first == 13; }),
              1);
    EXPECT_EQ(box(kResult)->text(), QStringLiteral("3"));
    EXPECT_EQ(box(kSecond)->text(), QStringLiteral("2"));
    EXPECT_EQ(focusedName(), kSecond);
  }
}

TEST_F(MainWindowTest, HoldingEnterDownCalculatesAgainWithEachRepeat) {
  enterOperands("1", "2");
  focus(kSecond);
  for (int i = 0; i < 3; ++i) {
    box(kResult)->clear();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                     /*autorep=*/i > 0);
    QApplication::sendEvent(control(kSecond), &repeat);
    EXPECT_EQ(box(kResult)->text(), QStringLiteral("3")) << "repeat " << i;
  }
  const std::vector<std::pair<int, int>> expected(3, {13, 0});
  EXPECT_EQ(recorded.keyDowns, expected);
}

TEST_F(MainWindowTest, KeysTypedIntoTheSecondBoxRaiseKeyDownBeforeTheyReachIt) {
  focus(kSecond);
  QTest::keyClicks(control(kSecond), "7A");
  const std::vector<std::pair<int, int>> expected = {{'7', 0}, {'A', 0}};
  EXPECT_EQ(recorded.keyDowns, expected);
  EXPECT_EQ(box(kSecond)->text(), QStringLiteral("7A"));
  EXPECT_TRUE(box(kResult)->text().isEmpty());
}

TEST_F(MainWindowTest, EnterElsewhereStartsNoCalculation) {
  for (std::string_view name : {kFirst, kList, kResult, kButton}) {
    recorded = {};
    enterOperands("1", "2");
    box(kResult)->setText("old");
    focus(name);
    press(Qt::Key_Return);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(recorded.clicks, 0) << name;
    EXPECT_TRUE(recorded.keyDowns.empty()) << name;
    EXPECT_EQ(box(kResult)->text(), QStringLiteral("old")) << name;
    EXPECT_EQ(focusedName(), name);
  }
}

TEST_F(MainWindowTest, SpaceOnTheFocusedButtonCalculates) {
  enterOperands("1", "2");
  focus(kButton);
  press(Qt::Key_Space);
  EXPECT_EQ(recorded.clicks, 1);
  EXPECT_EQ(box(kResult)->text(), QStringLiteral("3"));
}

TEST_F(MainWindowTest, AMouseClickOnTheButtonCalculatesWithTheChosenOperator) {
  enterOperands("7", "2");
  list()->setCurrentIndex(3);
  QTest::mouseClick(button(), Qt::LeftButton);
  EXPECT_EQ(recorded.clicks, 1);
  EXPECT_EQ(box(kResult)->text(), QStringLiteral("3.5"));
}

TEST_F(MainWindowTest, TheArrowKeysChangeTheOperator) {
  focus(kList);
  press(Qt::Key_Down);
  EXPECT_EQ(window_->view().getCurrentSelection(kList), 1);
  press(Qt::Key_End);
  EXPECT_EQ(window_->view().getCurrentSelection(kList), 3);
}

TEST_F(MainWindowTest, TypedOperandsGiveTheCalculatorsResults) {
  struct ResultCase {
    QString first;
    int operatorIndex;
    QString second;
    QString result;
  };
  const ResultCase cases[] = {
      {"0.1", 0, "0.2", "0.3"}, {"1", 3, "0", "1.#INF"},
      {"0", 3, "0", "-1.#IND"}, {QStringLiteral("１２abc"), 2, "2", "24"},
      {"", 1, "5", "-5"},
  };
  for (const ResultCase& c : cases) {
    box(kFirst)->clear();
    box(kSecond)->clear();
    focus(kFirst);
    type(c.first);
    list()->setCurrentIndex(c.operatorIndex);
    focus(kSecond);
    type(c.second);
    press(Qt::Key_Return);
    EXPECT_EQ(box(kResult)->text(), c.result)
        << c.first.toStdString() << " #" << c.operatorIndex << " " << c.second.toStdString();
  }
}

TEST_F(MainWindowTest, TypedTextsComeBackUnchangedInCodePage936) {
  struct TextCase {
    QString typed;
    std::string codePage936Hex;
  };
  const TextCase cases[] = {
      {"abcXYZ", "61626358595A"},
      {" 1  2 ", "203120203220"},
      {QStringLiteral("１２ａｂ"), "A3B1A3B2A3E1A3E2"},  // full-width forms
      {QStringLiteral("　"), "A1A1"},                    // ideographic space
      {QStringLiteral("吴结果"), "CEE2BDE1B9FB"},
      {QStringLiteral("\u0E01"), "3F"},  // Thai: not in code page 936
  };
  for (const TextCase& c : cases) {
    box(kFirst)->clear();
    type(c.typed);
    EXPECT_EQ(hex(window_->view().getText(kFirst)), c.codePage936Hex) << c.typed.toStdString();
    window_->view().setText(kResult, window_->view().getText(kFirst));
    if (c.codePage936Hex != "3F") {
      EXPECT_EQ(box(kResult)->text(), c.typed) << c.typed.toStdString();
    }
  }
}

TEST_F(MainWindowTest, SetTextReplacesTheWholeContentUpToTheFirstZeroByte) {
  box(kResult)->setText("typed by the user");
  window_->view().setText(kResult, Text("12\0"
                                        "34",
                                        5));
  EXPECT_EQ(box(kResult)->text(), QStringLiteral("12"));
  window_->view().setText(kResult, Text());
  EXPECT_TRUE(box(kResult)->text().isEmpty());
}

TEST_F(MainWindowTest, TheFocusReturnsToItsControlAfterDeactivation) {
  focus(kSecond);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  EXPECT_EQ(focusedName(), kSecond);
}

TEST_F(MainWindowTest, AMillionCharacterOperandIsAcceptedAndCalculated) {
  // "1" followed by 999,999 "x": trailing text that does not read as a number is ignored.
  const QString operand = QStringLiteral("1") + QString(999'999, QLatin1Char('x'));
  box(kFirst)->setText(operand);
  box(kSecond)->setText("2");
  EXPECT_EQ(box(kFirst)->text().size(), 1'000'000);
  EXPECT_EQ(window_->view().getText(kFirst).size(), 1'000'000u);
  focus(kSecond);
  press(Qt::Key_Return);
  EXPECT_EQ(box(kResult)->text(), QStringLiteral("3"));
}

TEST_F(MainWindowTest, TypingGoesOnPastTheToolkitsDefaultLimit) {
  box(kFirst)->setText(QString(32767, QLatin1Char('0')));
  box(kFirst)->end(false);
  QTest::keyClicks(control(kFirst), "12");
  EXPECT_EQ(box(kFirst)->text().size(), 32769);
}

TEST_F(MainWindowTest, EveryControlHasAChineseAccessibleNameAndDescription) {
  for (const ControlDescription& c : mainDescription().controls) {
    const QWidget* widget = control(c.name);
    EXPECT_FALSE(widget->accessibleName().isEmpty()) << c.name;
    EXPECT_FALSE(widget->accessibleDescription().isEmpty()) << c.name;
    EXPECT_GE(widget->accessibleName().front().unicode(), 0x4E00) << c.name;
  }
  EXPECT_EQ(control(kFirst)->accessibleName(), QStringLiteral("第一个数"));
  EXPECT_EQ(control(kList)->accessibleName(), QStringLiteral("运算符"));
  EXPECT_EQ(control(kSecond)->accessibleName(), QStringLiteral("第二个数"));
  EXPECT_EQ(control(kResult)->accessibleName(), QStringLiteral("结果"));
}

// What a screen reader reads from the result box. (The announcement event itself is dropped
// by the toolkit on the offscreen platform, which has no assistive technology to listen.)
TEST_F(MainWindowTest, TheResultBoxOffersEachNewResultToAssistiveTechnology) {
  QAccessibleInterface* result = QAccessible::queryAccessibleInterface(control(kResult));
  ASSERT_NE(result, nullptr);
  ASSERT_NE(result->textInterface(), nullptr);
  EXPECT_EQ(result->text(QAccessible::Name), QStringLiteral("结果"));
  EXPECT_FALSE(result->text(QAccessible::Description).isEmpty());
  for (const auto& [first, second, shown] : {std::tuple{"1", "2", "3"}, {"5", "5", "10"}}) {
    enterOperands(first, second);
    QTest::mouseClick(button(), Qt::LeftButton);
    QAccessibleTextInterface* text = result->textInterface();
    EXPECT_EQ(text->text(0, text->characterCount()), QString::fromLatin1(shown));
  }
}

TEST_F(MainWindowTest, AccessToAControlTheWindowLacksIsAFailure) {
  EXPECT_EQ(window_->view().getText("编辑框9"), Text());
  EXPECT_EQ(recorded.failures, 1);
  EXPECT_EQ(window_->view().getCurrentSelection(kFirst), -1);  // an edit box has no list
  EXPECT_EQ(recorded.failures, 2);
  EXPECT_EQ(recorded.failureMessage, utf8ToCodePage936(kWindowNotLoaded.data()));
}

TEST(WindowAccessTest, AccessWithoutTheWindowReportsThatItIsNotLoaded) {
  recorded = {};
  std::optional<std::vector<BoundEvent>> events = bindEvents(mainDescription(), kRecordingRoutines);
  std::unique_ptr<MainWindow> window =
      MainWindow::create(mainDescription(), *events, &recordFailure);
  WindowAccess access(window.get(), &recordFailure);
  window.reset();
  access.setText(kResult, "3");
  EXPECT_EQ(access.getText(kFirst), Text());
  EXPECT_EQ(access.getCurrentSelection(kList), -1);
  EXPECT_EQ(recorded.failures, 3);
  // "指定窗口尚未载入" in code page 936.
  EXPECT_EQ(hex(recorded.failureMessage), "D6B8B6A8B4B0BFDAC9D0CEB4D4D8C8EB");
}

}  // namespace
}  // namespace zendrel

namespace zendrel {
namespace {

TEST(MainWindowCreateTest, ADescriptionThatCannotBeBuiltGivesNoWindow) {
  const WindowDescription& d = mainDescription();
  std::vector<ControlDescription> mismatched(d.controls.begin(), d.controls.end());
  mismatched[5].settings = EditBoxSettings{};  // a button with edit box settings
  std::vector<ControlDescription> duplicate(d.controls.begin(), d.controls.end());
  duplicate[2].name = duplicate[0].name;
  std::vector<ControlDescription> empty(d.controls.begin(), d.controls.end());
  empty[3].place.width = 0;
  for (const auto* controls : {&mismatched, &duplicate, &empty}) {
    WindowDescription broken = d;
    broken.controls = *controls;
    EXPECT_EQ(MainWindow::create(broken, {}, &recordFailure), nullptr);
  }
}

}  // namespace
}  // namespace zendrel
