// Test helper run as a child process by shell_test: drives the shell through one scenario
// and reports on stdout what a person would see. Every modal box that appears is described
// ("box" lines, the text as UTF-8 hex) and dismissed with its OK button; a normal end reports
// each call of the exit hook. Scenarios (first argument):
//   window       loadWindow of a description that cannot be built
//   missing      loadWindow of a window without a description
//   descriptions initShell with a binding to an unknown routine
//   memory       a failed request for 100 bytes
//   normal       the window is loaded and closed; prints the working directory at start

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "shell/allocation.h"
#include "shell/program.h"
#include "shell/shell.h"

namespace {

using namespace zendrel;

void print(const QByteArray& line) {
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

QByteArray iconName(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Critical:
      return "critical";
    case QMessageBox::Warning:
      return "warning";
    case QMessageBox::Information:
      return "information";
    case QMessageBox::Question:
      return "question";
    default:
      return "none";
  }
}

// Describes and dismisses the modal box once it is up; polls from inside the box's own loop.
void watchForBoxes() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
      print("unexpected modal widget");
      modal->close();
      return;
    }
    QByteArray buttons;
    for (QAbstractButton* button : box->buttons()) {
      buttons += box->standardButton(button) == QMessageBox::Ok ? "OK;" : "other;";
    }
    print("box caption=" + box->windowTitle().toUtf8().toHex() + " icon=" + iconName(box->icon()) +
          " buttons=" + buttons + " modal=" + (box->isModal() ? "yes" : "no") +
          " text=" + box->text().toUtf8().toHex());
    box->button(QMessageBox::Ok)->click();
  });
  timer->start(20);
}

void exitHook() { print("exit hook called"); }

std::vector<ControlDescription> unbuildableControls() {
  const WindowDescription& d = programWindowDescriptions()[0];
  std::vector<ControlDescription> controls(d.controls.begin(), d.controls.end());
  controls[0].settings = ButtonSettings{"x", false};  // an edit box with button settings
  return controls;
}

constexpr EventBinding kUnknownRoutine[] = {{"按钮1", EventKind::Click, "noSuchRoutine"}};

ShellData scenarioData(const char* scenario) {
  static const std::vector<ControlDescription> controls = unbuildableControls();
  static WindowDescription broken = programWindowDescriptions()[0];
  if (std::strcmp(scenario, "window") == 0) {
    broken.controls = controls;
    return {std::span(&broken, 1), programRoutines()};
  }
  if (std::strcmp(scenario, "descriptions") == 0) {
    broken.bindings = kUnknownRoutine;
    return {std::span(&broken, 1), programRoutines()};
  }
  return programShellData();
}

int run(const char* scenario) {
  ensureToolkit();
  watchForBoxes();
  registerExitHook(&exitHook);
  initShell(scenarioData(scenario));
  if (std::strcmp(scenario, "window") == 0) {
    loadWindow(kMainWindowName);
  } else if (std::strcmp(scenario, "missing") == 0) {
    loadWindow("NoSuchWindow");
  } else if (std::strcmp(scenario, "memory") == 0) {
    failNextAllocationForTesting();
    void* block = ::operator new(100);
    print("allocation returned");
    ::operator delete(block);
  } else if (std::strcmp(scenario, "normal") == 0) {
    print("cwd=" + QDir::currentPath().toUtf8());
    loadWindow(kMainWindowName);
    QTimer::singleShot(0, [] {
      for (QWidget* window : QApplication::topLevelWidgets()) window->close();
    });
    runEventLoop();
    print("loop ended");
    return endShell();
  } else if (std::strcmp(scenario, "descriptions") != 0) {
    print("unknown scenario");
    return 2;
  }
  print("scenario did not fail");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return run(argv[1]);
}
