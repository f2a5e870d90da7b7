#include "shell/shell.h"

#include <QApplication>
#include <QDir>
#include <QMetaObject>
#include <memory>
#include <optional>
#include <vector>

#include "shell/fatal_error.h"
#include "ui/main_window.h"

namespace zendrel {

namespace {

struct LoadedDescription {
  const WindowDescription* description;
  std::vector<BoundEvent> events;
};

struct ShellState {
  std::unique_ptr<QApplication> toolkit;
  ExitHook exitHook = nullptr;
  bool loopStarted = false;
  std::vector<LoadedDescription> descriptions;
  int openWindows = 0;
  int quitCode = 0;
};

ShellState& state() {
  static ShellState shell;
  return shell;
}

// The toolkit acts on options in the argument list it is given (-style, -reverse,
// -qwindowtitle, ...); it gets the program name alone, for the whole run.
int toolkitArgc = 1;
char toolkitProgramName[] = "zendrel";
char* toolkitArgv[] = {toolkitProgramName, nullptr};

void makeProgramDirectoryCurrent() {
  const QString path = QCoreApplication::applicationFilePath();
  const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
  if (separator > 0)
    QDir::setCurrent(path.left(separator));
  else if (separator == 0)
    QDir::setCurrent(QStringLiteral("/"));
}

void windowDestroyed() {
  ShellState& shell = state();
  --shell.openWindows;
  if (shell.openWindows == 0 && shell.loopStarted) {
    QMetaObject::invokeMethod(
        shell.toolkit.get(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  }
}

const LoadedDescription* findLoaded(std::string_view name) {
  for (const LoadedDescription& loaded : state().descriptions) {
    if (loaded.description->window.name == name) return &loaded;
  }
  return nullptr;
}

void failure(const Text& message) { fatalError(message); }

}  // namespace

void ensureToolkit() {
  ShellState& shell = state();
  if (shell.toolkit != nullptr || QCoreApplication::instance() != nullptr) return;
  shell.toolkit = std::make_unique<QApplication>(toolkitArgc, toolkitArgv);
  // The shell itself ends the loop once the last window has been destroyed.
  QApplication::setQuitOnLastWindowClosed(false);
}

void initShell(const ShellData& data) {
  ensureToolkit();
  makeProgramDirectoryCurrent();
  ShellState& shell = state();
  for (const WindowDescription& description : data.windows) {
    std::optional<std::vector<BoundEvent>> events = bindEvents(description, data.routines);
    if (!events) fatalError(kDescriptionsUnreadable);
    shell.descriptions.push_back({&description, *std::move(events)});
  }
}

void registerExitHook(ExitHook hook) { state().exitHook = hook; }

void forgetExitHook() { state().exitHook = nullptr; }

void loadWindow(std::string_view name) {
  const LoadedDescription* loaded = findLoaded(name);
  if (loaded == nullptr) fatalError(kWindowNotCreated);
  std::unique_ptr<MainWindow> window =
      MainWindow::create(*loaded->description, loaded->events, &failure);
  if (window == nullptr) fatalError(kWindowNotCreated);
  // From here the window deletes itself when it is closed.
  MainWindow* shown = window.release();
  ++state().openWindows;
  QObject::connect(shown, &QObject::destroyed, [] { windowDestroyed(); });
  shown->showAndActivate();
}

bool anyWindowOpen() { return state().openWindows > 0; }

void runEventLoop() {
  ShellState& shell = state();
  shell.loopStarted = true;
  if (!anyWindowOpen()) return;
  shell.quitCode = QApplication::exec();
}

int endShell() {
  ShellState& shell = state();
  if (const ExitHook hook = shell.exitHook) {
    shell.exitHook = nullptr;
    hook();
  }
  shell.toolkit.reset();
  return shell.quitCode;
}

}  // namespace zendrel
