#include "core/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/core_messages.h"
#include "core/disk_wait.h"
#include "core/file_system.h"
#include "core/message.h"
#include "core/native_file.h"

namespace lodsmith {

namespace {
// Opens a regular file for reading; `st` gets its state as examined.
std::unique_ptr<OpenedFile> OpenForReading(const std::string& path, PathStatus& st) {
  FileSystem& files = Files();
  if (!files.Status(path, st)) throw Error(CoreMsg::CannotReadFile, path, std::strerror(errno));
  if (!st.regular) throw Error(CoreMsg::NotAFile, path);
  std::unique_ptr<OpenedFile> f = files.Open(path, OpenMode::Read);
  if (!f) throw Error(CoreMsg::CannotReadFile, path, std::strerror(errno));
  return f;
}
}  // namespace

std::string ReadFileBytes(const std::string& path) {
  PathStatus st;
  std::unique_ptr<OpenedFile> f = OpenForReading(path, st);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.size));
  std::size_t got = f->Read(bytes.data(), bytes.size());
  bool failed = f->Failed();
  f->Close();
  if (failed) throw Error(CoreMsg::ReadFailed, path);
  bytes.resize(got);  // the file may have shrunk meanwhile
  return bytes;
}

void ReadFilePieces(const std::string& path, std::size_t size,
                    const std::function<void(std::string_view piece, unsigned long long fileSize)>& piece) {
  PathStatus st;
  std::unique_ptr<OpenedFile> f = OpenForReading(path, st);
  // As much as the file held when it was examined, as ReadFileBytes reads.
  unsigned long long left = st.size;
  std::string buffer(static_cast<std::size_t>(std::min<unsigned long long>(std::max<std::size_t>(size, 1), left)),
                     '\0');
  try {
    while (left > 0) {
      const std::size_t want = static_cast<std::size_t>(std::min<unsigned long long>(buffer.size(), left));
      const std::size_t got = f->Read(buffer.data(), want);
      if (f->Failed()) break;
      if (got > 0) piece(std::string_view(buffer.data(), got), st.size);
      left -= got;
      if (got < want) break;  // the file shrank meanwhile
    }
  } catch (...) {
    f.reset();  // closed
    throw;
  }
  const bool failed = f->Failed();
  f->Close();
  if (failed) throw Error(CoreMsg::ReadFailed, path);
}

bool FileExists(const std::string& path) {
  PathStatus st;
  return Files().Status(path, st) && st.regular;
}

bool CanStoreFile(const std::string& path) {
  FileSystem& files = Files();
  PathStatus st;
  if (files.Status(path, st)) {
    if (!st.regular) return false;
    // Appending nothing changes nothing, but is refused where writing is.
    std::unique_ptr<OpenedFile> f = files.Open(path, OpenMode::Append);
    if (!f) return false;
    f->Close();
  }
  const std::string probe = path + ".probe~";
  std::unique_ptr<OpenedFile> f = files.Open(probe, OpenMode::Write);
  if (!f) return false;
  f->Close();
  files.Remove(probe);
  return true;
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

// Hands the produced bytes to the file; after the first failed write the
// rest is let go (errno keeps its reason).
bool WriteProduced(OpenedFile& f, const std::function<void(const ByteWriter&)>& produce) {
  bool ok = true;
  produce([&](std::string_view piece) {
    if (ok) ok = f.Write(piece) == piece.size();
  });
  return ok;
}

// A device or pipe (/dev/null, /dev/stdout) is written as it stands: it
// cannot be renamed away, and a regular file must not take its place.
void WriteInPlace(const std::string& path, const std::function<void(const ByteWriter&)>& produce) {
  std::unique_ptr<OpenedFile> f = Files().Open(path, OpenMode::Write);
  if (!f) CannotWrite(path, errno);
  bool ok = WriteProduced(*f, produce);
  ok = f->Flush() && ok;
  int saved = errno;
  if (!f->Close()) {
    if (ok) saved = errno;  // only closing failed: its reason, not a stale one
    ok = false;
  }
  if (!ok) CannotWrite(path, saved);
}

// The end of a temporary file's name: its own within the process too, so
// that two threads saving at once never share one.
std::string TemporarySuffix() {
  static std::atomic<unsigned> next{0};
  return std::to_string(CurrentProcessId()) + "-" + std::to_string(next++);
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes, const std::string& backupPath) {
  WriteFileAtomicStream(
      path, [bytes](const ByteWriter& write) { write(bytes); }, backupPath);
}

void WriteFileAtomicStream(const std::string& givenPath, const std::function<void(const ByteWriter&)>& produce,
                           const std::string& backupPath) {
  FileSystem& files = Files();
  // Through a symbolic link the file it points to is replaced; the link
  // stays a link.
  const std::string path = ResolveLinks(givenPath);
  PathStatus st;
  if (files.Status(path, st) && !st.regular) {
    if (st.directory) throw Error(CoreMsg::CannotWriteFolder, givenPath, path);
    WriteInPlace(path, produce);
    return;
  }
  const std::string suffix = TemporarySuffix();
  std::string tmp = ExtractFileDir(path) + "." + ExtractFileName(path) + ".tmp" + suffix;
  {
    std::unique_ptr<OpenedFile> f = files.Open(tmp, OpenMode::Write);
    if (!f) CannotWrite(givenPath, errno);
    bool ok = false;
    try {
      ok = WriteProduced(*f, produce);
    } catch (...) {
      f.reset();  // closed, so that it can be removed everywhere
      files.Remove(tmp);
      throw;
    }
    ok = f->Flush() && ok;
    {
      DiskWait wait;
      ok = f->Sync() && ok;
    }
    int saved = errno;
    if (!f->Close()) {
      if (ok) saved = errno;  // only closing failed: its reason, not a stale one
      ok = false;
    }
    if (!ok) {
      files.Remove(tmp);
      CannotWrite(givenPath, saved);
    }
  }
  bool backedUp = false;
  // The previous backup is set aside rather than deleted, so that a failure
  // further on can put it back; it goes only once the target is replaced.
  std::string aside;
  if (!backupPath.empty() && FileExists(path)) {
    if (FileExists(backupPath)) {
      aside = ExtractFileDir(backupPath) + "." + ExtractFileName(backupPath) + ".old" + suffix;
      if (!files.Rename(backupPath, aside)) {
        const int saved = errno;
        files.Remove(tmp);
        throw Error(CoreMsg::CannotBackUp, backupPath, std::strerror(saved));
      }
    } else {
      files.Remove(backupPath);  // an empty folder in its place, say
    }
    if (files.Rename(path, backupPath)) {
      backedUp = true;
    } else {
      // The backup may lie on another file system than a linked file: a
      // copy keeps the previous content all the same.
      int saved = errno;
      if (!files.Copy(path, backupPath)) {
        files.Remove(tmp);
        if (!aside.empty()) files.Rename(aside, backupPath);
        throw Error(CoreMsg::CannotBackUp, backupPath, std::strerror(saved));
      }
    }
  }
  if (!files.Rename(tmp, path)) {
    int saved = errno;
    files.Remove(tmp);
    // Put the previous file back where it was (a copy where the rename
    // that just failed would fail again), then the previous backup; the
    // backup stays the file's only copy when the file cannot come back.
    bool restored = !backedUp;
    if (backedUp && FileExists(backupPath) && !FileExists(path))
      restored = files.Rename(backupPath, path) || files.Copy(backupPath, path);
    if (restored && !aside.empty()) files.Rename(aside, backupPath);
    CannotWrite(givenPath, saved);
  }
  if (!aside.empty()) files.Remove(aside);
}

}  // namespace lodsmith
