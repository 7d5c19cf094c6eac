#include "core/file_system.h"

namespace lodsmith {

namespace {

// Null: the native file system. Tests replace it from one thread while
// nothing else runs, so a plain pointer does.
FileSystem* g_files = nullptr;

}  // namespace

FileSystem& Files() { return g_files ? *g_files : NativeFileSystem(); }

FileSystemOverride::FileSystemOverride(FileSystem& files) : previous_(g_files) { g_files = &files; }

FileSystemOverride::~FileSystemOverride() { g_files = previous_; }

}  // namespace lodsmith
