// Helpers shared by the tests: temporary folders, files, shape bytes, the
// shared corpus, and a form wired to a fake platform.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"
#include "fake_platform.h"
#include "ui/tlsform.h"

namespace lodsmith::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// UTF-16LE with byte-order mark and CR LF after every line (the form in
// which the simulator's tools write shapes); the lines are UTF-8.
std::string Utf16Shape(const std::vector<std::string>& lines);

// A message as the German user reads it.
std::string German(const Message& message);

// The folder of real shapes, or empty when it is not there: in the folder
// the environment's LODSMITH_SHARED names, else beside the repository.
std::string CorpusDir();     // ../shared/corpus
std::string CorpusTsmDir();  // ../shared/corpus-tsm
// Why a test of real shapes skips: no shapes in `folder` ("corpus" or
// "corpus-tsm") of the shared folder, named.
std::string NoCorpusShapes(const std::string& folder);
// Files of a folder with the given ending, sorted.
std::vector<std::string> FilesEndingWith(const std::string& dir, const std::string& ending);

struct CorpusShape {
  std::string name;  // the file name
  Lines lines;
};

// The UTF-16 shapes of the shared corpus, read (the compressed ones cannot
// be read as text); none when the corpus is not there.
std::vector<CorpusShape> CorpusTextShapes();

// The language file shipped with the program.
std::string ShippedLanguageFile();

// A form on a fake platform whose executable lives in a temporary folder
// (with the shipped language file copied beside it). FormCreate has run.
struct FormFixture {
  TempDir dir;
  FakePlatform platform;
  std::unique_ptr<TLSForm> form;

  explicit FormFixture(bool withLanguageFile = true, bool create = true);
  // Writes the shape beside the executable and opens it through the dialog.
  void Open(const std::string& path);
  std::string WriteShape(const std::string& name, const std::vector<std::string>& lines);
};

}  // namespace lodsmith::test
