#pragma once
// The program's own routines that the shell calls, and the data it hands to the shell: the
// built-in window descriptions and the calculator's handlers under the names they bind.

#include "shell/shell.h"

namespace zendrel {

// The program's set-up, called after the floating-point reset; it has nothing to do.
void startHook();

// The program's clean-up at a normal end, registered as the exit hook; it has nothing to do.
void programCleanUp();

ShellData programShellData();

}  // namespace zendrel
