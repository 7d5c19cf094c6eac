#include "fake_platform.h"

#include <filesystem>

#include "core/file_io.h"
#include "core/message.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith::test {

MsgResult FakePlatform::MessageBox(MsgKind kind, MsgButtons buttons, const std::string& text,
                                   const MsgIdentity& identity) {
  messages.push_back({kind, buttons, text, identity});
  if (buttons == MsgButtons::Ok) return MsgResult::Ok;
  if (answers.empty()) return defaultAnswer;
  MsgResult r = answers.front();
  answers.pop_front();
  return r;
}

void FakePlatform::PrintPages(const std::vector<PrintPage>& pages, bool, const std::string&) {
  printed.push_back(pages);
  if (!printSucceeds) throw Error(UiMsg::PrintFailed);
}

void FakePlatform::PrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string& path) {
  if (!pdfSucceeds) throw Error(UiMsg::PdfNotWritten, path);
  pdfsWritten.push_back(path);
}

std::optional<std::string> FakePlatform::OpenDialog(const FileDialogRequest& request) {
  openRequests.push_back(request);
  if (openResults.empty()) return std::nullopt;
  auto r = openResults.front();
  openResults.pop_front();
  return r;
}

std::optional<std::string> FakePlatform::SaveDialog(const FileDialogRequest& request) {
  saveRequests.push_back(request);
  if (saveResults.empty()) return std::nullopt;
  auto r = saveResults.front();
  saveResults.pop_front();
  int filter = request.filterIndex;
  if (!saveFilterResults.empty()) {
    filter = saveFilterResults.front();
    saveFilterResults.pop_front();
  }
  if (r && request.chosenFilter) *request.chosenFilter = filter;
  return r;
}

std::optional<std::string> FakePlatform::RegistryReadLocalMachine(const std::string& key, const std::string& value) {
  if (key == "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0" && value == "EXE Path") return simulatorPath;
  return std::nullopt;
}

bool FakePlatform::FileExists(const std::string& path) { return lodsmith::FileExists(path); }

bool FakePlatform::CanStoreFile(const std::string& path) { return lodsmith::CanStoreFile(path); }

bool FakePlatform::CreateFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

std::vector<std::string> FakePlatform::Texts() const {
  std::vector<std::string> r;
  for (const auto& m : messages) r.push_back(m.text);
  return r;
}

}  // namespace lodsmith::test
