// The round trip through the simulator's command-line utility
// ffeditc_unicode.exe: finding it, and writing the small script that runs it
// on one shape file and moves its output over that file.
//
// On Windows the script is "temp.bat", five lines for the command
// interpreter. On Linux, where the simulator lives in a Wine prefix, it is
// "temp.sh", a shell script that takes the same five steps through Wine:
// change to the tool's folder, run the tool with the shape and /O:temp.s,
// move temp.s over the shape, wait for a key.
//
// The tool path may be a Windows path (from the registry or the settings
// file) or a path of this system (from a file dialog); platform/wine_path.h
// maps between the two.
#pragma once

#include <functional>
#include <string>

#include "core/message.h"

namespace lodsmith {

// Turns a message into text in the user's language; the script writers take
// one for the lines the Linux script shows.
using MessageRenderer = std::function<std::string(const Message&)>;

// The fixed name of the utility, as the scripts call it.
inline constexpr const char* kToolFileName = "ffeditc_unicode.exe";
// Below the simulator's folder.
inline constexpr const char* kToolBelowSimulator = "\\utils\\ffedit\\ffeditc_unicode.exe";
// The utility's output file in its own folder.
inline constexpr const char* kToolOutputName = "temp.s";

// The simulator's folder with kToolBelowSimulator appended unchanged (an
// empty folder gives a path that starts with the backslash).
std::string DefaultToolPath(const std::string& simulatorFolder);

// True when the lower-cased file-name part of `path` (after the last "\" or
// "/") is exactly "ffeditc_unicode.exe".
bool ToolNameMatches(const std::string& path);

// ToolNameMatches, and the file exists (a Windows path is looked up through
// HostPath).
bool ToolPathValid(const std::string& path);

// ---- Scripts -----------------------------------------------------------------

// The five lines of temp.bat, each ended by CR LF, as 8-bit text (UTF-8
// input converted to Windows-1252):
//   D                                   the tool's drive ("C:")
//   cd "P"                              P = the tool's folder with final "\"
//   ffeditc_unicode.exe "F" /O:temp.s
//   move temp.s "F"
//   pause
// For a tool on a network share (\\server\share\...) D is empty and line 2
// reads pushd "P" instead, since the command interpreter cannot cd there.
std::string WindowsBatchText(const std::string& tool, const std::string& file);

// The Linux script (UTF-8, LF). `toolFolder` and `hostFile` are paths of
// this system, `wineFile` the same file as Wine sees it. It removes a stale
// temp.s first, so that only the output of this run can reach the file, and
// exits 0 only when the utility wrote temp.s and it was moved over the file.
// The closing wait for a key is skipped when standard input is no terminal.
// The note on a missing output and the key prompt are ToolsMsg::ScriptNoOutput
// and ToolsMsg::ScriptPressAnyKey as `render` makes them.
std::string LinuxScriptText(const std::string& toolFolder, const std::string& wineFile, const std::string& hostFile,
                            const MessageRenderer& render);

// The script's name in the program's folder: "temp.bat" on Windows,
// "temp.sh" elsewhere.
std::string CompressScriptName();

// Writes this platform's script for running `tool` on `file` into
// `programFolder` (with or without final separator), replacing an old one
// (temp.bat names `tool` and `file` through AsciiBatchPath,
// platform/system_info.h, so that names beyond ASCII survive the command
// interpreter's code page);
// `render` makes what the Linux script shows. Returns its full path. Raises
// Error (CoreMsg::CannotWrite) when it cannot be written.
std::string WriteCompressScript(const std::string& programFolder, const std::string& tool, const std::string& file,
                                const MessageRenderer& render);

}  // namespace lodsmith
