#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/core_messages.h"
#include "core/message.h"
#include "core/native_file.h"

namespace lodsmith {

std::string ReadFileBytes(const std::string& path) {
  bool regular = false;
  unsigned long long size = 0;
  if (!FileStatus(path, regular, size))
    throw Error(CoreMsg::CannotReadFile, path, std::strerror(errno));
  if (!regular) throw Error(CoreMsg::NotAFile, path);
  std::FILE* f = OpenFile(path, "rb");
  if (!f) throw Error(CoreMsg::CannotReadFile, path, std::strerror(errno));
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw Error(CoreMsg::ReadFailed, path);
  bytes.resize(got);  // the file may have shrunk meanwhile
  return bytes;
}

bool FileExists(const std::string& path) {
  bool regular = false;
  unsigned long long size = 0;
  return FileStatus(path, regular, size) && regular;
}

namespace {

std::size_t NameStart(const std::string& path) {
  auto p = path.find_last_of("/\\:");
  return p == std::string::npos ? 0 : p + 1;
}

}  // namespace

std::string ChangeExtension(const std::string& path, const std::string& ext) {
  std::size_t ns = NameStart(path);
  auto dot = path.rfind('.');
  if (dot == std::string::npos || dot < ns) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string ExtractFileDir(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

namespace {

[[noreturn]] void CannotWrite(const std::string& path, int error) {
  throw Error(CoreMsg::CannotWrite, path, std::strerror(error));
}

// A device or pipe (/dev/null, /dev/stdout) is written as it stands: it
// cannot be renamed away, and a regular file must not take its place.
void WriteInPlace(const std::string& path, std::string_view bytes) {
  std::FILE* f = OpenFile(path, "wb");
  if (!f) CannotWrite(path, errno);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fflush(f) == 0) && ok;
  const int saved = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) CannotWrite(path, saved);
}

}  // namespace

void WriteFileAtomic(const std::string& givenPath, std::string_view bytes, const std::string& backupPath) {
  namespace fs = std::filesystem;
  // Through a symbolic link the file it points to is replaced; the link
  // stays a link.
  const std::string path = ResolveLinks(givenPath);
  std::error_code ec;
  const fs::file_status st = fs::status(FsPath(path), ec);
  if (fs::exists(st) && !fs::is_regular_file(st)) {
    if (fs::is_directory(st)) throw Error(CoreMsg::CannotWriteFolder, givenPath, path);
    WriteInPlace(path, bytes);
    return;
  }
  std::string tmp = ExtractFileDir(path) + "." + ExtractFileName(path) + ".tmp" + std::to_string(CurrentProcessId());
  {
    std::FILE* f = OpenFile(tmp, "wb");
    if (!f) CannotWrite(givenPath, errno);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = SyncFile(f) && ok;
    int saved = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
      RemoveFile(tmp);
      CannotWrite(givenPath, saved);
    }
  }
  bool backedUp = false;
  if (!backupPath.empty() && FileExists(path)) {
    RemoveFile(backupPath);
    if (RenameFile(path, backupPath) == 0) {
      backedUp = true;
    } else {
      // The backup may lie on another file system than a linked file: a
      // copy keeps the previous content all the same.
      int saved = errno;
      fs::copy_file(FsPath(path), FsPath(backupPath), fs::copy_options::overwrite_existing, ec);
      if (ec) {
        RemoveFile(tmp);
        throw Error(CoreMsg::CannotBackUp, backupPath, std::strerror(saved));
      }
    }
  }
  if (RenameFile(tmp, path) != 0) {
    int saved = errno;
    RemoveFile(tmp);
    // Put the previous file back where it was.
    if (backedUp && FileExists(backupPath) && !FileExists(path)) RenameFile(backupPath, path);
    CannotWrite(givenPath, saved);
  }
}

}  // namespace lodsmith
