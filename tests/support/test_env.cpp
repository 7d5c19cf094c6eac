#include "test_env.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <unistd.h>

#include "core/native_file.h"
#include "document/shape_file.h"
#include "ui/texts/messages.h"

namespace lodsmith::test {

std::string German(const Message& message) { return MessageString(message, Language::German); }

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  fs::path p =
      fs::temp_directory_path() / ("lodsmith-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(p);
  fs::create_directories(p);
  path_ = p.string();
}

TempDir::~TempDir() {
  std::error_code ec;
  // Folders made read-only by a test must become writable again first.
  for (auto& e : fs::recursive_directory_iterator(path_, ec))
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

// Through FsPath: a UTF-8 path names the same file on Windows too.
void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Utf16Shape(const std::vector<std::string>& lines) {
  std::string out("\xFF\xFE", 2);
  std::u16string units;
  for (const auto& l : lines) {
    units.clear();
    AppendUtf8AsUtf16(units, l);
    for (char16_t u : units) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    }
    out.append("\r\0\n\0", 4);
  }
  return out;
}

namespace {

fs::path SharedDir() {
  const char* named = std::getenv("LODSMITH_SHARED");
  return named && *named ? fs::path(named) : fs::path(LODSMITH_SHARED_DIR);
}

}  // namespace

std::string CorpusDir() {
  fs::path p = SharedDir() / "corpus";
  return fs::is_directory(p) ? p.string() : "";
}

std::string CorpusTsmDir() {
  fs::path p = SharedDir() / "corpus-tsm";
  return fs::is_directory(p) ? p.string() : "";
}

std::string NoCorpusShapes(const std::string& folder) {
  return "no shapes in " + (SharedDir() / folder).lexically_normal().string() +
         " (LODSMITH_SHARED names the folder that holds corpus/ and corpus-tsm/)";
}

std::vector<std::string> FilesEndingWith(const std::string& dir, const std::string& ending) {
  std::vector<std::string> r;
  if (dir.empty()) return r;
  for (auto& e : fs::directory_iterator(dir)) {
    std::string n = e.path().string();
    if (n.size() >= ending.size() && n.compare(n.size() - ending.size(), ending.size(), ending) == 0) r.push_back(n);
  }
  std::sort(r.begin(), r.end());
  return r;
}

std::vector<CorpusShape> CorpusTextShapes() {
  std::vector<CorpusShape> shapes;
  for (const auto& path : FilesEndingWith(CorpusDir(), ".s")) {
    std::string bytes = ReadBytes(path);
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) continue;
    // Either separator: the Windows build lists folders with backslashes.
    shapes.push_back({path.substr(path.find_last_of("/\\") + 1), DecodeShape(bytes).lines});
  }
  return shapes;
}

std::string ShippedLanguageFile() { return std::string(LODSMITH_BIN_DIR) + "/Lodsmith_L.INI"; }

FormFixture::FormFixture(bool withLanguageFile, bool create) {
  platform.executablePath = dir.File("Lodsmith");
  if (withLanguageFile) fs::copy_file(ShippedLanguageFile(), dir.File("Lodsmith_L.INI"));
  form = std::make_unique<TLSForm>(platform);
  if (create) form->FormCreate();
}

void FormFixture::Open(const std::string& path) {
  platform.openResults.push_back(path);
  form->Dispatch([&] { form->OeffnenButtonClick(); });
}

std::string FormFixture::WriteShape(const std::string& name, const std::vector<std::string>& lines) {
  std::string p = dir.File(name);
  WriteBytes(p, Utf16Shape(lines));
  return p;
}

}  // namespace lodsmith::test
