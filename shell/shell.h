#pragma once
// The frame of the process: the toolkit's services, the working directory, the window
// descriptions and their bound handlers, the windows' lifetime and the event loop. The loop
// ends with a quit request of code 0 once the last window of the program has been destroyed;
// the exit hook then runs exactly once. Everything runs on the one user-interface thread.

#include <span>
#include <string_view>

#include "ui/event_binding.h"
#include "ui/window_description.h"

namespace zendrel {

using ExitHook = void (*)();

struct ShellData {
  std::span<const WindowDescription> windows;
  std::span<const ProgramRoutine> routines;
};

// Starts the toolkit (with a fixed argument list of the program name alone: the program reads
// no command line), makes the program's directory the working directory and binds the
// descriptions' events. Unusable descriptions: fatalError "载入窗口模板数据段出错!".
void initShell(const ShellData& data);

// Remembers `hook`, replacing an earlier one.
void registerExitHook(ExitHook hook);

// Builds and shows the window described under `name`; no such description or a window that
// cannot be built: fatalError "载入启动窗口失败".
void loadWindow(std::string_view name);

// Runs the event loop; returns at once when no window is open.
void runEventLoop();

// Calls the exit hook once if one is registered, ends the toolkit's services and gives the
// quit code, the process's exit status.
int endShell();

// Starts the toolkit's services if initShell has not, so that a failure can still be shown.
void ensureToolkit();

// Forgets the exit hook without calling it.
void forgetExitHook();

// True while a window loaded by loadWindow still exists.
bool anyWindowOpen();

}  // namespace zendrel
