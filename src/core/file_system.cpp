#include "core/file_system.h"

#include <atomic>

namespace lodsmith {

namespace {

// Null: the native file system. Tests replace it while nothing else runs;
// the batch program's workers read it at the same time as each other, so
// the pointer is atomic to keep every read well defined.
std::atomic<FileSystem*> g_files{nullptr};

}  // namespace

FileSystem& Files() {
  FileSystem* files = g_files.load(std::memory_order_acquire);
  return files ? *files : NativeFileSystem();
}

FileSystemOverride::FileSystemOverride(FileSystem& files) : previous_(g_files.load()) { g_files.store(&files); }

FileSystemOverride::~FileSystemOverride() { g_files.store(previous_); }

}  // namespace lodsmith
