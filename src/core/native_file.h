// The operating system's file calls for the program's UTF-8 paths. Linux
// takes the bytes as they are; Windows gets wide strings at this edge. The
// native FileSystem (core/file_system.h) is made of them.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace lodsmith {

// A std::filesystem path for a UTF-8 path, and back.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// std::fopen, std::remove and std::rename for UTF-8 paths. RenameFile
// replaces an existing target on Windows too, as rename does on Linux.
// Failures set errno.
std::FILE* OpenFile(const std::string& path, const char* mode);
int RemoveFile(const std::string& path);
int RenameFile(const std::string& from, const std::string& to);

// stat for a UTF-8 path: false (errno set) when the path cannot be
// examined; otherwise whether it is a regular file, and its size.
bool FileStatus(const std::string& path, bool& regular, unsigned long long& size);

// The file a path finally names: symbolic links followed (relative ones
// from their own folder), up to 40 of them; the path itself when it is no
// link or cannot be examined.
std::string ResolveLinks(const std::string& path);

// Writes the file's buffered data through to the disk (fsync / _commit).
bool SyncFile(std::FILE* f);

int CurrentProcessId();

#ifdef _WIN32
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
#endif

}  // namespace lodsmith
