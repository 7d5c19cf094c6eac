// Starting the compression script: in a console window the user closes (the
// window's button), or hidden and waited for (the batch program).
//
// Windows: the command interpreter runs the batch file (in a new console,
// normally). Linux: the first terminal program found on PATH, in the order
// of ConsoleTerminals(), runs the script with /bin/sh; a display (DISPLAY or
// WAYLAND_DISPLAY) is needed.
#pragma once

#include <string>
#include <vector>

namespace lodsmith {

// Starts the script in a console window and returns at once; true when the
// console started.
bool StartScriptInConsole(const std::string& scriptPath);

// Runs the script without a window, with no input (so a closing wait for a
// key passes at once) and its output on our standard error, and waits for
// it. Returns its exit status, or -1 when it could not be started or was
// ended by a signal.
int RunScriptAndWait(const std::string& scriptPath);

// Linux: the terminal programs tried, in order.
const std::vector<std::string>& ConsoleTerminals();
// The command line that makes `terminal` run the script with /bin/sh.
std::vector<std::string> TerminalCommand(const std::string& terminal, const std::string& scriptPath);
// Full path of an executable program found on PATH (or `path` itself when
// it contains a slash and is executable); empty when none.
std::string FindProgram(const std::string& name, const std::string& path);

}  // namespace lodsmith
