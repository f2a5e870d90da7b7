#include "ui/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <limits>
#include <set>

#include "ui/code_page_936.h"

// The icon pictures live in a resource of this static library, which nothing else references.
static void initIconResource() { Q_INIT_RESOURCE(icons); }

namespace zendrel {

namespace {

// The controls reach 360 pixels right and 176 down; a client area smaller than that would
// clip them whatever frame the window manager draws.
constexpr int kMinimumClientWidth = 360;
constexpr int kMinimumClientHeight = 176;
// Thickness of a sunken three-dimensional edge, the border of an edit box.
constexpr int kEdgeThickness = 2;

QString qText(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor faceColour(const QWidget& widget) { return widget.palette().color(QPalette::Button); }

void setFaceBackground(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, faceColour(widget));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

// A single-line box without the toolkit's 32767-character limit, whose selection is not drawn
// while the window is inactive (the toolkit clears it when another control takes the focus).
class EditBox : public QLineEdit {
 public:
  explicit EditBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    for (QPalette::ColorGroup group : {QPalette::Inactive, QPalette::Disabled}) {
      colours.setColor(group, QPalette::Highlight, Qt::white);
      colours.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    setPalette(colours);
  }

  // The height of "吴" in the box's font and the border above and below it.
  int minimumBoxHeight() const {
    return fontMetrics().size(Qt::TextSingleLine, QStringLiteral("吴")).height() +
           2 * kEdgeThickness;
  }
};

// Fills its rectangle with the face colour, then draws its text in black as one line,
// left-aligned and vertically centred, clipped to the rectangle. Never takes the focus.
class FaceLabel : public QLabel {
 public:
  FaceLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWordWrap(false);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.fillRect(rect(), faceColour(*this));
    painter.setPen(Qt::black);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
  }
};

// Tells assistive technology that the box's whole text was replaced, so that a screen reader
// speaks each new result although the box does not have the focus. (The toolkit drops the
// event at once while no assistive technology is listening.)
void announceTextChange(QLineEdit& box, const QString& previous) {
  QAccessibleTextUpdateEvent update(&box, 0, previous, box.text());
  QAccessible::updateAccessibility(&update);
}

bool settingsFitKind(const ControlDescription& control) {
  switch (control.kind) {
    case ControlKind::EditBox:
      return std::holds_alternative<EditBoxSettings>(control.settings);
    case ControlKind::Label:
      return std::holds_alternative<LabelSettings>(control.settings);
    case ControlKind::Button:
      return std::holds_alternative<ButtonSettings>(control.settings);
    case ControlKind::ComboBox:
      return std::holds_alternative<ComboBoxSettings>(control.settings);
  }
  return false;
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::create(const WindowDescription& description,
                                               std::vector<BoundEvent> events,
                                               WindowFailure failure) {
  if (!canBuild(description)) return nullptr;
  return std::unique_ptr<MainWindow>(new MainWindow(description, std::move(events), failure));
}

bool MainWindow::canBuild(const WindowDescription& description) {
  if (description.window.outerWidth <= 0 || description.window.outerHeight <= 0) return false;
  std::set<std::string_view> names;
  for (const ControlDescription& control : description.controls) {
    if (!settingsFitKind(control) || control.name.empty() || !names.insert(control.name).second ||
        control.place.width <= 0 || control.place.height <= 0) {
      return false;
    }
  }
  return true;
}

MainWindow::MainWindow(const WindowDescription& description, std::vector<BoundEvent> events,
                       WindowFailure failure)
    : QWidget(nullptr),
      description_(description),
      events_(std::move(events)),
      tabOrder_(tabOrder(description)),
      access_(this, failure) {
  applyWindowSettings();
  buildControls();
  bindClicks();
  new KeyboardPreHandler(this, *this);
}

MainWindow::~MainWindow() = default;

void MainWindow::applyWindowSettings() {
  const WindowSettings& settings = description_.window;
  initIconResource();
  setObjectName(qText(settings.name));
  setWindowTitle(qText(settings.title));
  setWindowIcon(QIcon(QStringLiteral(":/icons/zendrel-32bit.png")));
  // Caption with the window menu and the close button only; no minimize, no maximize.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setFaceBackground(*this);
  // Until the window manager reports its frame the whole outer size is the client area.
  setFixedSize(settings.outerWidth, settings.outerHeight);
  const QSize screen = QGuiApplication::primaryScreen()->size();
  if (settings.startCentred) {
    move(centredEdge(screen.width(), settings.outerWidth),
         centredEdge(screen.height(), settings.outerHeight));
  } else {
    move(settings.storedLeft, settings.storedTop);
  }
}

void MainWindow::buildControls() {
  for (const ControlDescription& description : description_.controls) {
    QWidget* widget = buildControl(description);
    widget->setObjectName(qText(description.name));
    widget->setAccessibleName(qText(description.accessibleName));
    widget->setAccessibleDescription(qText(description.accessibleDescription));
    widget->setEnabled(description.flags.enabled);
    if (!description.flags.tabStop) widget->setFocusPolicy(Qt::NoFocus);
    widget->hide();
    controls_.push_back({description.name, description.kind, widget});
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (description_.controls[i].flags.visible) controls_[i].widget->show();
  }
}

QWidget* MainWindow::buildControl(const ControlDescription& description) {
  const Place& place = description.place;
  switch (description.kind) {
    case ControlKind::EditBox: {
      auto* box = new EditBox(this);
      box->setGeometry(place.left, place.top, place.width,
                       std::max(place.height, box->minimumBoxHeight()));
      return box;
    }
    case ControlKind::Label: {
      const auto& settings = std::get<LabelSettings>(description.settings);
      auto* label = new FaceLabel(qText(settings.text), this);
      label->setGeometry(place.left, place.top, place.width, place.height);
      return label;
    }
    case ControlKind::Button: {
      const auto& settings = std::get<ButtonSettings>(description.settings);
      auto* button = new QPushButton(qText(settings.caption), this);
      // Outside a dialog Enter never clicks a push button; Space does.
      button->setAutoDefault(false);
      button->setDefault(settings.defaultButton);
      button->setGeometry(place.left, place.top, place.width, place.height);
      return button;
    }
    case ControlKind::ComboBox: {
      const auto& settings = std::get<ComboBoxSettings>(description.settings);
      auto* list = new QComboBox(this);
      list->setEditable(false);
      for (std::string_view entry : settings.entries) list->addItem(qText(entry));
      list->setCurrentIndex(
          effectiveChosenIndex(settings.chosenIndex, static_cast<int>(settings.entries.size())));
      // The closed field has the toolkit's own height for the font; the open list stays
      // within the dropped height below the control's top edge.
      const int fieldHeight = list->sizeHint().height();
      const int entryHeight = std::max(1, list->fontMetrics().height() + 1);
      list->setMaxVisibleItems(std::max(1, (settings.droppedHeight - fieldHeight) / entryHeight));
      list->setGeometry(place.left, place.top, place.width, fieldHeight);
      return list;
    }
  }
  return nullptr;
}

void MainWindow::bindClicks() {
  for (const BoundEvent& bound : events_) {
    if (bound.event != EventKind::Click) continue;
    auto* button = qobject_cast<QPushButton*>(control(bound.control));
    if (button == nullptr) continue;
    const ClickHandler handler = bound.click;
    connect(button, &QPushButton::clicked, this, [this, handler] { handler(access_); });
  }
}

void MainWindow::showAndActivate() {
  showNormal();
  raise();
  activateWindow();
}

QWidget* MainWindow::control(std::string_view name) const {
  for (const Control& c : controls_) {
    if (c.name == name) return c.widget;
  }
  return nullptr;
}

std::string_view MainWindow::controlName(const QWidget* widget) const {
  for (const Control& c : controls_) {
    if (c.widget == widget) return c.name;
  }
  return {};
}

QLineEdit* MainWindow::editBox(std::string_view name) const {
  return qobject_cast<QLineEdit*>(control(name));
}

QComboBox* MainWindow::comboBox(std::string_view name) const {
  return qobject_cast<QComboBox*>(control(name));
}

std::optional<int> MainWindow::currentSelection(std::string_view name) const {
  const QComboBox* list = comboBox(name);
  if (list == nullptr) return std::nullopt;
  return list->currentIndex();
}

std::optional<Text> MainWindow::text(std::string_view name) const {
  const QLineEdit* box = editBox(name);
  if (box == nullptr) return std::nullopt;
  return toCodePage936(box->text());
}

bool MainWindow::replaceText(std::string_view name, const Text& text) {
  QLineEdit* box = editBox(name);
  if (box == nullptr) return false;
  // A text ends at its first zero byte.
  const QString previous = box->text();
  box->setText(fromCodePage936(Text(text.c_str())));
  announceTextChange(*box, previous);
  return true;
}

bool MainWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowDeactivate:
      if (QWidget* focused = focusWidget(); !controlName(focused).empty()) {
        focusAtDeactivation_ = focused;
      }
      break;
    case QEvent::WindowActivate: {
      QWidget* target = focusAtDeactivation_;
      if (target == nullptr && !activatedBefore_ && !tabOrder_.empty()) {
        target = control(tabOrder_.front());
      }
      activatedBefore_ = true;
      if (target != nullptr) target->setFocus(Qt::ActiveWindowFocusReason);
      fitOuterSizeToFrame();
      break;
    }
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
      fitOuterSizeToFrame();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool MainWindow::focusNextPrevChild(bool next) {
  moveFocus(next);
  return true;
}

void MainWindow::fitOuterSizeToFrame() {
  if (outerSizeApplied_ || !isVisible()) return;
  const QRect frame = frameGeometry();
  const QSize margins = frame.size() - size();
  if (margins.isNull()) return;  // no frame reported (yet)
  outerSizeApplied_ = true;
  const WindowSettings& settings = description_.window;
  setFixedSize(std::max(kMinimumClientWidth, settings.outerWidth - margins.width()),
               std::max(kMinimumClientHeight, settings.outerHeight - margins.height()));
  const QSize screen = QGuiApplication::primaryScreen()->size();
  if (settings.startCentred) {
    move(centredEdge(screen.width(), settings.outerWidth),
         centredEdge(screen.height(), settings.outerHeight));
  }
}

void MainWindow::moveFocus(bool forward) {
  if (tabOrder_.empty()) return;
  const std::string_view current = controlName(focusWidget());
  const auto found = std::find(tabOrder_.begin(), tabOrder_.end(), current);
  const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
  std::ptrdiff_t index = 0;
  if (found == tabOrder_.end()) {
    index = forward ? 0 : count - 1;
  } else {
    const std::ptrdiff_t at = found - tabOrder_.begin();
    index = (at + (forward ? 1 : count - 1)) % count;
  }
  control(tabOrder_[static_cast<std::size_t>(index)])
      ->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void MainWindow::closeByKeyboard() { close(); }

void MainWindow::raiseKeyDown(QWidget* focused, int keyCode, int shiftState) {
  const std::string_view name = controlName(focused);
  for (const BoundEvent& bound : events_) {
    if (bound.event == EventKind::KeyDown && bound.control == name) {
      bound.keyDown(access_, keyCode, shiftState);
    }
  }
}

}  // namespace zendrel
