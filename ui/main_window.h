#pragma once
// MainWindow: the calculator's top-level window, built from its description with its
// controls at their fixed places, addressed by name. Not a dialog: Enter never clicks a
// button. Fixed size (outer 380 x 250 once the window manager reports its frame, the client
// area never smaller than the controls need), centred on the primary screen, close button and
// window menu only. The focus starts in the first Tab stop and returns to the control that had
// it when the window was deactivated.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "ui/event_binding.h"
#include "ui/keyboard.h"
#include "ui/window_access.h"
#include "ui/window_description.h"

class QLineEdit;
class QComboBox;

namespace zendrel {

class MainWindow : public QWidget, private KeyboardOwner {
 public:
  // The window with all its controls, hidden; nullptr when the description cannot be built
  // (a control whose settings do not fit its kind, a duplicate name, an empty size). Failures
  // of later window accesses go to `failure`.
  static std::unique_ptr<MainWindow> create(const WindowDescription& description,
                                            std::vector<BoundEvent> events, WindowFailure failure);
  ~MainWindow() override;

  // Shows the window in its normal state and activates it.
  void showAndActivate();

  QWidget* control(std::string_view name) const;
  // The control's name, or an empty view for a widget that is none of the controls.
  std::string_view controlName(const QWidget* widget) const;

  // The window operations, nullopt when `name` is not a control of the right kind.
  std::optional<int> currentSelection(std::string_view name) const;
  std::optional<Text> text(std::string_view name) const;
  bool replaceText(std::string_view name, const Text& text);

  // The handlers' view of this window.
  CalculatorView& view() { return access_; }

 protected:
  bool event(QEvent* event) override;
  // The toolkit's own focus chain follows the Tab order too.
  bool focusNextPrevChild(bool next) override;

 private:
  struct Control {
    std::string_view name;
    ControlKind kind;
    QWidget* widget;
  };

  MainWindow(const WindowDescription& description, std::vector<BoundEvent> events,
             WindowFailure failure);
  static bool canBuild(const WindowDescription& description);
  void applyWindowSettings();
  void buildControls();
  QWidget* buildControl(const ControlDescription& description);
  void bindClicks();
  void fitOuterSizeToFrame();
  QLineEdit* editBox(std::string_view name) const;
  QComboBox* comboBox(std::string_view name) const;

  void moveFocus(bool forward) override;
  void closeByKeyboard() override;
  void raiseKeyDown(QWidget* focused, int keyCode, int shiftState) override;

  const WindowDescription& description_;
  std::vector<BoundEvent> events_;
  std::vector<Control> controls_;
  std::vector<std::string_view> tabOrder_;
  WindowAccess access_;
  QPointer<QWidget> focusAtDeactivation_;
  bool activatedBefore_ = false;
  bool outerSizeApplied_ = false;
};

}  // namespace zendrel
