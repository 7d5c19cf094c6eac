#include "faulty_file_system.h"

#include <algorithm>
#include <utility>

namespace lodsmith::test {

namespace {

// A file of the native file system whose reads and writes fail as the
// faults for its path say.
class FaultyFile : public OpenedFile {
public:
  FaultyFile(FaultyFileSystem& files, std::string path, std::unique_ptr<OpenedFile> file)
      : files_(files), path_(std::move(path)), file_(std::move(file)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    if (const FileFault* f = files_.FaultFor(FileCall::Read, path_)) {
      // The bytes before the fault arrive; then reading fails.
      const std::size_t room = f->after > read_ ? f->after - read_ : 0;
      const std::size_t want = std::min(size, room);
      const std::size_t got = file_->Read(buffer, want);
      read_ += got;
      if (want < size && got == want) {
        failed_ = true;
        errno = f->error;
      }
      return got;
    }
    const std::size_t got = file_->Read(buffer, size);
    read_ += got;
    return got;
  }
  std::size_t Write(std::string_view bytes) override {
    if (const FileFault* f = files_.FaultFor(FileCall::Write, path_)) {
      const std::size_t room = f->after > written_ ? f->after - written_ : 0;
      const std::size_t want = std::min(bytes.size(), room);
      const std::size_t put = file_->Write(bytes.substr(0, want));
      written_ += put;
      if (want < bytes.size() && put == want) errno = f->error;
      return put;
    }
    const std::size_t put = file_->Write(bytes);
    written_ += put;
    return put;
  }
  bool Flush() override { return file_->Flush(); }
  bool Sync() override {
    if (const FileFault* f = files_.FaultFor(FileCall::Sync, path_)) {
      errno = f->error;
      return false;
    }
    return file_->Sync();
  }
  bool Close() override {
    const bool closed = file_->Close();
    if (const FileFault* f = files_.FaultFor(FileCall::Close, path_)) {
      errno = f->error;
      return false;
    }
    return closed;
  }
  bool Failed() const override { return failed_ || file_->Failed(); }

private:
  FaultyFileSystem& files_;
  std::string path_;
  std::unique_ptr<OpenedFile> file_;
  std::size_t read_ = 0;
  std::size_t written_ = 0;
  bool failed_ = false;
};

bool Fail(const FileFault* fault) {
  errno = fault->error;
  return false;
}

}  // namespace

void FaultyFileSystem::RefuseWritesIn(const std::string& folder) {
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  for (FileCall call : {FileCall::OpenWrite, FileCall::Rename, FileCall::Remove, FileCall::Copy})
    faults.push_back({call, prefix, EACCES, 0});
}

const FileFault* FaultyFileSystem::FaultFor(FileCall call, const std::string& path) {
  for (FileFault& f : faults) {
    if (f.call != call || f.times == 0) continue;
    const bool folder = !f.path.empty() && f.path.back() == '/';
    if (folder ? path.compare(0, f.path.size(), f.path) != 0 : path != f.path) continue;
    if (f.times > 0) --f.times;
    return &f;
  }
  return nullptr;
}

std::unique_ptr<OpenedFile> FaultyFileSystem::Open(const std::string& path, OpenMode mode) {
  if (const FileFault* f = FaultFor(mode == OpenMode::Read ? FileCall::OpenRead : FileCall::OpenWrite, path)) {
    errno = f->error;
    return nullptr;
  }
  std::unique_ptr<OpenedFile> file = NativeFileSystem().Open(path, mode);
  if (!file) return nullptr;
  return std::make_unique<FaultyFile>(*this, path, std::move(file));
}

bool FaultyFileSystem::Status(const std::string& path, PathStatus& status) {
  return NativeFileSystem().Status(path, status);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  if (const FileFault* f = FaultFor(FileCall::Rename, to)) return Fail(f);
  return NativeFileSystem().Rename(from, to);
}

bool FaultyFileSystem::Remove(const std::string& path) {
  if (const FileFault* f = FaultFor(FileCall::Remove, path)) return Fail(f);
  return NativeFileSystem().Remove(path);
}

bool FaultyFileSystem::Copy(const std::string& from, const std::string& to) {
  if (const FileFault* f = FaultFor(FileCall::Copy, to)) return Fail(f);
  return NativeFileSystem().Copy(from, to);
}

}  // namespace lodsmith::test
