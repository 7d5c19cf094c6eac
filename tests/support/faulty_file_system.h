// A file system over the real disk that fails where a test asks: a write
// that stops half-way, a full disk, a rename or a read refused, a folder
// that takes no files. Put in place with FileSystemOverride, it runs the
// program's failure paths whoever runs the tests (file permissions do not
// bind root).
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace lodsmith::test {

enum class FileCall {
  OpenRead,
  OpenWrite,  // OpenMode::Write and OpenMode::Append
  Read,
  Write,
  Sync,
  Close,
  Rename,  // matched by the new name
  Remove,
  Copy,  // matched by the new name
};

// One injected failure: `call` fails with `error` on `path`, or on every
// path inside it when it ends with "/", `times` times (-1: every time).
// Read and Write first let `after` bytes of the file through, then fail.
struct FileFault {
  FileCall call;
  std::string path;
  int error = EIO;
  std::size_t after = 0;
  int times = -1;
};

class FaultyFileSystem : public FileSystem {
public:
  std::vector<FileFault> faults;

  // Every call that would change something in `folder` (create, write,
  // rename, remove or copy a file there) fails with EACCES, as in a folder
  // without write permission.
  void RefuseWritesIn(const std::string& folder);

  std::unique_ptr<OpenedFile> Open(const std::string& path, OpenMode mode) override;
  bool Status(const std::string& path, PathStatus& status) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to) override;

  // The fault that applies to `call` on `path` now (counted as fired), or
  // null.
  const FileFault* FaultFor(FileCall call, const std::string& path);
};

}  // namespace lodsmith::test
