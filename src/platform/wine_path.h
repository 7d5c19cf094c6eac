// Windows paths and the paths of this system. A path may be a Windows path
// (from the registry or a settings file, "C:\...") or a path of this system
// (from a file dialog). HostPath turns the first kind into a path of this
// system, through the Wine prefix where the simulator lives on Linux;
// WinePath turns a path of this system into one Wine understands.
#pragma once

#include <string>

namespace lodsmith {

// "C:" for a path that starts with a drive letter and colon, else empty.
std::string DrivePart(const std::string& path);
// Everything up to and including the last "\" (or "/"); empty when none.
std::string FolderPart(const std::string& path);
// True for "X:\..." / "X:/..." and for "\\server\share\...".
bool IsWindowsPath(const std::string& path);

// A Windows path as a path of this system, inside the Wine prefix `prefix`:
// "X:\a\b" becomes "<prefix>/dosdevices/x:/a/b" when that link exists, else
// "<prefix>/drive_c/a/b" for drive C and "/a/b" for drive Z. Each component
// is matched without regard to case when the exact spelling is missing (as
// Windows does). A path of this system comes back unchanged; a path that
// starts with a single backslash gets slashes. On Windows the path comes back
// unchanged.
std::string HostPath(const std::string& path, const std::string& prefix);
std::string HostPath(const std::string& path);  // in WinePrefix()

// A path of this system as Wine sees it: below the folder of the longest
// matching "<prefix>/dosdevices/<letter>:" link (drive_c for "C:"), else
// "Z:" followed by the path with backslashes. A Windows path comes back
// unchanged.
std::string WinePath(const std::string& path, const std::string& prefix);

}  // namespace lodsmith
