// Files as a whole: reading one, asking whether it exists, the parts of its
// name, and saving it atomically with a backup. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lodsmith {

// File access, through Files() (core/file_system.h). Errors raise Error
// with a CoreMsg naming the file and, where the system gives one, its reason
// (CannotReadFile, NotAFile, ReadFailed, CannotWrite, CannotWriteFolder,
// CannotBackUp).

std::string ReadFileBytes(const std::string& path);
// Reads the same bytes piece by piece: `piece` gets them in order, at most
// `size` at a time, with the file's size as examined before reading, so
// that a large file never stands in memory whole. Raises as ReadFileBytes;
// an Error `piece` raises ends the reading and reaches the caller.
void ReadFilePieces(const std::string& path, std::size_t size,
                    const std::function<void(std::string_view piece, unsigned long long fileSize)>& piece);
bool FileExists(const std::string& path);

// Whether a file could be stored at `path` through a temporary file beside
// it: the folder takes new files, and an existing file is a regular one that
// may be written. Leaves nothing behind.
bool CanStoreFile(const std::string& path);

// Replaces the extension of the file name part (".BAK", ".Lodsmith"); a name
// without extension gets it appended.
std::string ChangeExtension(const std::string& path, const std::string& ext);
std::string ExtractFileDir(const std::string& path);  // with trailing separator
std::string ExtractFileName(const std::string& path);

// Saves atomically: the bytes go to a temporary file beside the target;
// then the target (if any) becomes the backup and the temporary file takes
// the target's place; the previous backup is deleted only then. A failure
// removes the temporary file and puts the target and the previous backup
// back as they were (as far as the file system still allows). An empty
// `backupPath` keeps no backup. Through a symbolic link the file it names is
// replaced; a device is written in place.
void WriteFileAtomic(const std::string& path, std::string_view bytes, const std::string& backupPath);

// As WriteFileAtomic, for bytes made while they are written: `produce`
// hands each piece in order to the writer it is given. An Error `produce`
// raises removes the temporary file, leaves the target and its backup as
// they were, and reaches the caller.
using ByteWriter = std::function<void(std::string_view)>;
void WriteFileAtomicStream(const std::string& path, const std::function<void(const ByteWriter&)>& produce,
                           const std::string& backupPath);

}  // namespace lodsmith
