// The file calls under the program's plain file I/O (reading a file, the
// atomic save with its backup, asking whether a file exists or could be
// stored): opening, reading, writing, syncing and closing a file, renaming,
// removing and copying one, and examining a path. The native file system
// talks to the operating system; tests put one in its place that fails where
// they ask (a full disk, a rename refused), so that every failure path can be
// run whoever runs the tests.
//
// Failures return false (or nothing) and leave the reason in errno, as the C
// library does, so that the messages can name it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace lodsmith {

// An open file.
class OpenedFile {
public:
  virtual ~OpenedFile() = default;
  // Reads up to `size` bytes; fewer only at the end of the file or when
  // reading failed (then Failed()).
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  // Writes the bytes; fewer when writing failed (errno set).
  virtual std::size_t Write(std::string_view bytes) = 0;
  // Hands buffered data to the operating system.
  virtual bool Flush() = 0;
  // Writes the data through to the disk.
  virtual bool Sync() = 0;
  // Closes the file (a Flush first); false when that failed. The file is
  // closed either way; nothing may be called after it.
  virtual bool Close() = 0;
  // Whether a Read failed.
  virtual bool Failed() const = 0;
};

// What a path names, links followed.
struct PathStatus {
  bool regular = false;
  bool directory = false;
  unsigned long long size = 0;
};

enum class OpenMode {
  Read,    // an existing file
  Write,   // created, or emptied when it exists
  Append,  // created when missing; writes go to the end
};

class FileSystem {
public:
  virtual ~FileSystem() = default;
  // Nothing (errno set) when the file cannot be opened.
  virtual std::unique_ptr<OpenedFile> Open(const std::string& path, OpenMode mode) = 0;
  // False (errno set) when the path cannot be examined, e.g. because
  // nothing is there.
  virtual bool Status(const std::string& path, PathStatus& status) = 0;
  // Replaces an existing `to`.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Copies a file's content, replacing an existing `to`.
  virtual bool Copy(const std::string& from, const std::string& to) = 0;
};

// The file system the plain file I/O goes through: the native one, unless
// a FileSystemOverride has put another in its place.
FileSystem& Files();

// The operating system's file system.
FileSystem& NativeFileSystem();

// Puts `files` in place of the current file system for the lifetime of the
// object, then restores the one before. For tests; not for use across
// threads.
class FileSystemOverride {
public:
  explicit FileSystemOverride(FileSystem& files);
  ~FileSystemOverride();
  FileSystemOverride(const FileSystemOverride&) = delete;
  FileSystemOverride& operator=(const FileSystemOverride&) = delete;

private:
  FileSystem* previous_;
};

}  // namespace lodsmith
