// The program entry, shared by the two programs of the conversion utility: filomar-convert,
// which has the console and batch front ends and loads no Qt, and filomar-convert-windows,
// which adds the windows. Chooses the front end, runs the start-up and then the main window,
// and turns the end of the run into the exit status.
#pragma once

#include <memory>

#include "frontends/WindowsFrontEnd.h"

namespace filomar::app {

// Opens the windows front end for a run that shows windows; null, having said why on standard
// error, when it cannot. `argc` and `argv` are the program's (Qt takes its own options from
// them and keeps them).
using WindowsOpener = std::unique_ptr<ui::WindowsFrontEnd> (*)(int& argc, char** argv);

int RunProgram(int argc, char** argv, WindowsOpener openWindows);

}  // namespace filomar::app
