// Starting the compression script in a console window the user closes.
#pragma once

#include <string>

namespace lodsmith {

// Starts the script in a console window and returns at once; true when the
// console started.
bool StartScriptInConsole(const std::string& scriptPath);

}  // namespace lodsmith
