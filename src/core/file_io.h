// Files as a whole: reading one, asking whether it exists, the parts of its
// name, and saving it atomically with a backup. Paths are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace lodsmith {

// File access. Errors raise Error with a CoreMsg naming the file and, where
// the system gives one, its reason (CannotReadFile, NotAFile, ReadFailed,
// CannotWrite, CannotWriteFolder, CannotBackUp).

std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

// Replaces the extension of the file name part (".BAK", ".Lodsmith"); a name
// without extension gets it appended.
std::string ChangeExtension(const std::string& path, const std::string& ext);
std::string ExtractFileDir(const std::string& path);   // with trailing separator
std::string ExtractFileName(const std::string& path);

// Saves atomically: the bytes go to a temporary file beside the target;
// then an existing backup is deleted, the target (if any) becomes the
// backup, and the temporary file takes the target's place. A failure before
// the last step leaves the target untouched and removes the temporary file.
// An empty `backupPath` keeps no backup.
void WriteFileAtomic(const std::string& path, std::string_view bytes, const std::string& backupPath);

}  // namespace lodsmith
