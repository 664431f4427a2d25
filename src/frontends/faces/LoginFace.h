// The console and batch faces of the sign-on window: they drive the login presenter from
// lines of input or from the command line's values.
#pragma once

#include <istream>
#include <string>

#include "startup/login.h"
#include "frontends/console/ConsoleUi.h"

namespace ui {

// Runs the window modally on the console: user id (then the database list as the window shows
// it), password (not echoed on a terminal), then OK or Exit. A refused entry asks again as the
// window does; the end of input is Exit. Returns the exit status for a sign-on not accepted.
int RunLoginOnConsole(filomar::login& form, ConsoleUi& console);

// Signs on once with the given user id and password (OK pressed once). A sign-on the window
// refuses ends the run with the failure status, since nobody can type again.
// The first line of `in` without its line end, LF or CR LF (a password piped from a file
// written on Windows must not end in CR).
std::string ReadPasswordLine(std::istream& in);

int RunLoginInBatch(filomar::login& form, std::ostream& out, const std::string& userId,
                    const std::string& password);

}  // namespace ui
