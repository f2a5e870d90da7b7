// The start routine: the shell's steps in their fixed order. The command line is not read.

#include "shell/floating_point.h"
#include "shell/program.h"
#include "shell/shell.h"

int main() {
  using namespace zendrel;
  initShell(programShellData());
  resetFloatingPoint();
  startHook();
  registerExitHook(&programCleanUp);
  loadWindow(kMainWindowName);
  runEventLoop();
  return endShell();
}
