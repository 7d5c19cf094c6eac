// lodsmith-cli: the window's actions without a window.
//
// Opens each shape as the window's open button does, applies the settings
// options, runs the actions in the order given, then writes the result when
// asked. Exit status: 0 every action ran on every shape, 1 an action was
// refused or failed on some shape, 2 usage error.
#include <algorithm>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/cli_messages.h"
#include "cli/options.h"
#include "core/file_io.h"
#include "core/text.h"
#include "lodsmith_version.h"
#include "platform/ini_file.h"
#include "platform/system_info.h"
#include "session/program_settings.h"
#include "ui/texts/messages.h"

using namespace lodsmith;

namespace {

// The file's bytes, or none when it is not there or cannot be read: a
// program without settings runs on the defaults.
std::string BytesOrNothing(const std::string& path) {
  if (!FileExists(path)) return {};
  try {
    return ReadFileBytes(path);
  } catch (const Error&) {
    return {};
  }
}

// The program settings as the window would find them, read without
// creating or copying anything: beside the program when it could store
// them there, else (an installed copy) in the user's settings folder once
// the window has put them there, else beside the program.
ProgramSettingsBytes ReadProgramSettings(const std::string& exe) {
  ProgramSettingsBytes bytes;
  const std::string beside = ChangeExtension(exe, ".INI");
  std::string program = beside;
  if (!CanStoreFile(beside)) {
    const std::string folder = UserSettingsFolderPath();
    if (!folder.empty()) {
      if (FileExists(folder + ExtractFileName(beside))) program = folder + ExtractFileName(beside);
      bytes.languageChoice = BytesOrNothing(folder + kLanguageFileName);
    }
  }
  bytes.program = BytesOrNothing(program);
  bytes.language = BytesOrNothing(ExtractFileDir(exe) + kLanguageFileName);
  return bytes;
}

// The language of this run: --lang when given, else the one the window
// stored. Usage errors come before the options are read, so both are looked
// up here from the arguments and the language files.
Language RunLanguage(const std::vector<std::string>& args, const ProgramSettingsBytes& settings) {
  if (const auto chosen = LanguageOption(args)) return *chosen;
  const IniFile choice("", settings.languageChoice);
  return LanguageNamed(ChosenLanguageName(&choice, IniFile("", settings.language)));
}

// The language file as far as a batch run reads it: the list of languages
// and the texts of the stored language and of the run's (other sections are
// never looked at). Every shape's form parses what it is handed, and the
// file holds every message of every language.
std::string NeededLanguageSections(const std::string& bytes, const std::string& stored, Language run) {
  // A file in a Unicode encoding is handed over whole: its lines are no
  // byte lines.
  if (DetectIniEncoding(bytes).encoding != IniEncoding::Windows1252) return bytes;
  const std::string wanted[] = {"Languages", stored, run == Language::English ? "English" : "Deutsch"};
  std::string out;
  bool keep = true;  // lines before the first section
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    end = end == std::string::npos ? bytes.size() : end + 1;
    const std::string_view line(bytes.data() + pos, end - pos);
    const auto open = line.find_first_not_of(" \t");
    if (open != std::string_view::npos && line[open] == '[') {
      const auto close = line.find(']', open);
      const std::string_view name = line.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1);
      keep = std::any_of(std::begin(wanted), std::end(wanted),
                         [&](const std::string& w) { return EqualsIgnoreCase(w, name); });
    }
    if (keep) out.append(line);
    pos = end;
  }
  return out;
}

int Usage(const Message& message, Language language) {
  std::cerr << "lodsmith-cli: " << MessageString(message, language) << "\n"
            << MessageString(Message(CliMsg::TryHelp), language) << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);

  // The program settings are read once, here, and never written: every
  // shape's form gets a copy in memory, so that parallel runs cannot race
  // on the files and an installed copy needs no writable folder.
  RunShared shared;
  shared.programSettings = ReadProgramSettings(RunningExecutablePath());
  const Language language = RunLanguage(args, shared.programSettings);

  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const UsageError& e) {
    return Usage(e.message(), language);
  }
  if (options.help) {
    std::cout << MessageString(Message(CliMsg::Usage), language);
    return 0;
  }
  if (options.version) {
    std::cout << kVersionLine << "\n";
    return 0;
  }
  // --lang reaches the forms as the language chosen, for this run only (the
  // bytes are never written back); then only its texts need parsing.
  if (options.language)
    shared.programSettings.languageChoice =
        std::string("[Languages]\r\nLanguage=") + (*options.language == Language::English ? "English" : "Deutsch");
  const IniFile choice("", shared.programSettings.languageChoice);
  const std::string stored = ChosenLanguageName(&choice, IniFile("", shared.programSettings.language));
  shared.programSettings.language = NeededLanguageSections(shared.programSettings.language, stored, language);
  return RunBatch(options, shared, language);
}
