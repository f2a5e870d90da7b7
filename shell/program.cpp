#include "shell/program.h"

namespace zendrel {

void startHook() {}

void programCleanUp() {}

ShellData programShellData() { return {programWindowDescriptions(), programRoutines()}; }

}  // namespace zendrel
