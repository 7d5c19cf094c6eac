#include "core/native_file.h"

#include "core/file_system.h"

#include <cerrno>
#include <memory>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lodsmith {

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

#ifdef _WIN32

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n, nullptr, nullptr);
  return s;
}

namespace {

// errno for the Windows error of a failed call, for strerror in messages.
void SetErrnoFromLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: errno = EACCES; break;
    case ERROR_NOT_SAME_DEVICE: errno = EXDEV; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: errno = EEXIST; break;
    default: errno = EIO; break;
  }
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return ::_wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

int RemoveFile(const std::string& path) { return ::_wremove(Widen(path).c_str()); }

int RenameFile(const std::string& from, const std::string& to) {
  if (::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  SetErrnoFromLastError();
  return -1;
}

namespace {

bool StatPath(const std::string& path, PathStatus& status) {
  // Not _wstat64: the C library refuses a folder named with a trailing
  // separator ("C:\\models\\"), which is how folders are often passed on.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) {
    SetErrnoFromLastError();
    return false;
  }
  status.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.directory && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
  status.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

}  // namespace

bool SyncFile(std::FILE* f) { return ::_commit(::_fileno(f)) == 0; }

int CurrentProcessId() { return ::_getpid(); }

#else

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

int RemoveFile(const std::string& path) { return std::remove(path.c_str()); }

int RenameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }

namespace {

bool StatPath(const std::string& path, PathStatus& status) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  status.regular = S_ISREG(st.st_mode);
  status.directory = S_ISDIR(st.st_mode);
  status.size = static_cast<unsigned long long>(st.st_size);
  return true;
}

}  // namespace

// A file system that cannot sync (EINVAL) has nothing to write through.
bool SyncFile(std::FILE* f) { return ::fsync(::fileno(f)) == 0 || errno == EINVAL; }

int CurrentProcessId() { return static_cast<int>(::getpid()); }

#endif

bool FileStatus(const std::string& path, bool& regular, unsigned long long& size) {
  PathStatus st;
  if (!StatPath(path, st)) return false;
  regular = st.regular;
  size = st.size;
  return true;
}

std::string ResolveLinks(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path p = FsPath(path);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) break;
    const fs::path target = fs::read_symlink(p, ec);
    if (ec) break;
    p = target.is_absolute() ? target : p.parent_path() / target;
  }
  return Utf8Path(p);
}

namespace {

// The C library's buffered file, for the program's UTF-8 paths.
class NativeFile : public OpenedFile {
public:
  explicit NativeFile(std::FILE* f) : f_(f) {}
  ~NativeFile() override {
    if (f_) std::fclose(f_);
  }
  std::size_t Read(char* buffer, std::size_t size) override { return std::fread(buffer, 1, size, f_); }
  std::size_t Write(std::string_view bytes) override { return std::fwrite(bytes.data(), 1, bytes.size(), f_); }
  bool Flush() override { return std::fflush(f_) == 0; }
  bool Sync() override { return SyncFile(f_); }
  bool Close() override {
    std::FILE* f = f_;
    f_ = nullptr;
    return std::fclose(f) == 0;
  }
  bool Failed() const override { return std::ferror(f_) != 0; }

private:
  std::FILE* f_;
};

class Native : public FileSystem {
public:
  std::unique_ptr<OpenedFile> Open(const std::string& path, OpenMode mode) override {
    const char* how = mode == OpenMode::Read ? "rb" : mode == OpenMode::Write ? "wb" : "ab";
    std::FILE* f = OpenFile(path, how);
    if (!f) return nullptr;
    return std::make_unique<NativeFile>(f);
  }
  bool Status(const std::string& path, PathStatus& status) override { return StatPath(path, status); }
  bool Rename(const std::string& from, const std::string& to) override { return RenameFile(from, to) == 0; }
  bool Remove(const std::string& path) override { return RemoveFile(path) == 0; }
  bool Copy(const std::string& from, const std::string& to) override {
    std::error_code ec;
    std::filesystem::copy_file(FsPath(from), FsPath(to), std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) errno = ec.default_error_condition().value();
    return !ec;
  }
};

}  // namespace

FileSystem& NativeFileSystem() {
  static Native native;
  return native;
}

}  // namespace lodsmith
