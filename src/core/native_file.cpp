#include "core/native_file.h"

#include <cerrno>
#include <fstream>
#include <string_view>

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

bool FileStatus(const std::string& path, bool& regular, unsigned long long& size) {
  struct _stat64 st;
  if (::_wstat64(Widen(path).c_str(), &st) != 0) return false;
  regular = (st.st_mode & _S_IFMT) == _S_IFREG;
  size = static_cast<unsigned long long>(st.st_size);
  return true;
}

bool SyncFile(std::FILE* f) { return ::_commit(::_fileno(f)) == 0; }

int CurrentProcessId() { return ::_getpid(); }

#else

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

int RemoveFile(const std::string& path) { return std::remove(path.c_str()); }

int RenameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }

bool FileStatus(const std::string& path, bool& regular, unsigned long long& size) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  regular = S_ISREG(st.st_mode);
  size = static_cast<unsigned long long>(st.st_size);
  return true;
}

// A file system that cannot sync (EINVAL) has nothing to write through.
bool SyncFile(std::FILE* f) { return ::fsync(::fileno(f)) == 0 || errno == EINVAL; }

int CurrentProcessId() { return static_cast<int>(::getpid()); }

#endif

bool CanStoreFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target = FsPath(path);
  if (fs::exists(target, ec)) {
    if (!fs::is_regular_file(target, ec)) return false;
    std::ofstream f(target, std::ios::binary | std::ios::app);  // appending nothing changes nothing
    if (!f) return false;
  }
  fs::path probe = target;
  probe += ".probe~";
  {
    std::ofstream f(probe, std::ios::binary | std::ios::trunc);
    if (!f) return false;
  }
  fs::remove(probe, ec);
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

}  // namespace lodsmith
