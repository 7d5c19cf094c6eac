#include "session/program_settings.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/file_system.h"
#include "session/lod_rules.h"

namespace lodsmith {

namespace {
const char* const kLanguages = "Languages";
const char* const kLanguageKey = "Language";
const char* const kGerman = "Deutsch";
const char* const kLods = "LODs";
const char* const kLodCountKey = "Anzahl";
}  // namespace

std::string ChosenLanguageName(const IniFile* choice, const IniFile& language) {
  if (choice && choice->ValueExists(kLanguages, kLanguageKey))
    return choice->ReadString(kLanguages, kLanguageKey, kGerman);
  return language.ReadString(kLanguages, kLanguageKey, kGerman);
}

int StoredLodCount(const IniFile& program) {
  return std::clamp(program.ReadInteger(kLods, kLodCountKey, 1), kMinLods, kMaxLods);
}

std::string StoredDistance(const IniFile& program, int lod) {
  return SaneDistance(program.ReadString(kLods, std::to_string(lod), kDefaultDistance));
}

std::string ProgramSettings::UserSettingsFile(Platform& platform, const std::string& besideProgram) {
  const std::string folder = platform.UserSettingsFolder();
  if (folder.empty()) return "";
  const std::string path = folder + ExtractFileName(besideProgram);
  if (!platform.FileExists(path) && !platform.CreateFolder(folder)) return "";
  return platform.CanStoreFile(path) ? path : "";
}

void ProgramSettings::Open(Platform& platform, const std::string& besideProgram, const std::string& languageFile) {
  language = std::make_unique<IniFile>(languageFile);
  readOnly = false;
  languageChoice.reset();
  // A copy unpacked anywhere keeps its settings beside itself, as always.
  if (platform.CanStoreFile(besideProgram)) {
    program = std::make_unique<IniFile>(besideProgram);
    if (platform.FileExists(language->Path()) && !platform.CanStoreFile(language->Path())) {
      // Only the language choice is lost; it is not worth a message.
      language->SetMemoryOnly(true);
    }
    return;
  }
  // An installed copy keeps them in the user's settings folder; the first
  // time, the settings beside the program are taken along. The language
  // file's texts stay where they were installed; only the choice of
  // language goes to the user's folder.
  language->SetMemoryOnly(true);
  const std::string user = UserSettingsFile(platform, besideProgram);
  if (!user.empty()) {
    if (!platform.FileExists(user) && platform.FileExists(besideProgram)) Files().Copy(besideProgram, user);
    program = std::make_unique<IniFile>(user);
    const std::string choice = UserSettingsFile(platform, language->Path());
    if (!choice.empty()) languageChoice = std::make_unique<IniFile>(choice);
    return;
  }
  // Nowhere to store: what the program would store stays in memory, and
  // the user hears about it once.
  readOnly = true;
  program = std::make_unique<IniFile>(besideProgram);
  program->SetMemoryOnly(true);
}

void ProgramSettings::Close() {
  program.reset();
  language.reset();
  languageChoice.reset();
}

std::string ProgramSettings::Dir(const std::string& key) const {
  return program ? program->ReadString("Dir", key, "") : "";
}

void ProgramSettings::SetDir(const std::string& key, const std::string& value) {
  if (program) program->WriteString("Dir", key, value);
}

std::vector<std::string> ProgramSettings::Languages() const {
  std::vector<std::string> names;
  for (int i = 1;; ++i) {
    std::string name = language->ReadString(kLanguages, "S" + std::to_string(i), "");
    if (name.empty()) return names;
    names.push_back(std::move(name));
  }
}

void ProgramSettings::StoreLanguageName(const std::string& name) {
  if (IniFile* store = languageChoice ? languageChoice.get() : language.get())
    store->WriteString(kLanguages, kLanguageKey, name);
}

void ProgramSettings::StoreLods(int lods, const std::function<std::string(int lod)>& distance) {
  // One write to disk for the whole section.
  IniFile::BatchUpdate batch(*program);
  program->EraseSection(kLods);
  program->WriteInteger(kLods, kLodCountKey, lods);
  for (int k = 1; k <= lods; ++k) {
    const std::string d = distance(k);
    program->WriteString(kLods, std::to_string(k), d.empty() ? kDefaultDistance : d);
  }
  batch.Commit();
}

std::string ProgramSettings::StoredLanguageName(const std::string& exe, const std::string& userFolder,
                                                const std::string& languageFileName) {
  const IniFile shipped(ExtractFileDir(exe) + languageFileName);
  // An installed copy keeps the choice in the user's folder (see Open).
  if (!CanStoreFile(ChangeExtension(exe, ".INI")) && !userFolder.empty() && FileExists(userFolder + languageFileName)) {
    const IniFile user(userFolder + languageFileName);
    return ChosenLanguageName(&user, shipped);
  }
  return ChosenLanguageName(nullptr, shipped);
}

}  // namespace lodsmith
