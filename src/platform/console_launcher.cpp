#include "platform/console_launcher.h"

namespace lodsmith {

bool StartScriptInConsole(const std::string&) { return false; }

}  // namespace lodsmith
