// Facts about the machine that several platforms share: the program's own
// path, the regional decimal separator, and the simulator's registry value
// (the Windows registry, or the Wine prefix's registry file on Linux).
#pragma once

#include <optional>
#include <string>

namespace lodsmith {

std::string RunningExecutablePath();

// The decimal separator of the user's regional settings (Windows: the
// user's locale; Linux: LC_ALL, then LC_NUMERIC / LANG), without touching
// the process's own locale.
char SystemDecimalSeparator();

// The user's own settings folder for this program, with a trailing
// separator: %APPDATA%\Lodsmith\ on Windows, $XDG_CONFIG_HOME/Lodsmith/
// (else ~/.config/Lodsmith/) elsewhere. Empty when the environment names
// none. Not created here.
std::string UserSettingsFolderPath();

// The Wine prefix in use: $WINEPREFIX, else ~/.wine.
std::string WinePrefix();

// Reads a string value below HKEY_LOCAL_MACHINE (on Windows the 32-bit view
// first, then the 64-bit view). On Linux it comes from the
// Wine prefix's system.reg file.
std::optional<std::string> ReadLocalMachineString(const std::string& key, const std::string& value);

// Parses the text of a Wine registry file (system.reg) for one value; the
// key is given relative to HKEY_LOCAL_MACHINE with backslashes.
std::optional<std::string> FindWineRegistryValue(const std::string& regText, const std::string& key,
                                                 const std::string& value);

}  // namespace lodsmith
