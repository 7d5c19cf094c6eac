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

// `path` as a batch file in an 8-bit code page can name it: each folder or
// file name in it that holds a character outside ASCII becomes its short
// (8.3) name, which is ASCII; the other names stay as written. A path in
// ASCII comes back unchanged, and so does one that has no short form
// (short names switched off on its volume, a path that does not exist).
// Only Windows has short names: elsewhere `path` comes back as it is.
std::string AsciiBatchPath(const std::string& path);

// The names of `longPath` (between "\" or "/"), those that hold a character
// outside ASCII replaced by the name at the same place of `shortPath`, the
// separators of `longPath` kept. When the two have not as many names,
// `shortPath` if it is ASCII, else `longPath`.
std::string KeepAsciiNames(const std::string& longPath, const std::string& shortPath);

}  // namespace lodsmith
