// lodsmith-cli: the window's actions without a window.
//
// Opens each shape as the window's open button does, applies the settings
// options, runs the actions in the order given, then writes the result when
// asked. Exit status: 0 every action ran on every shape, 1 an action was
// refused or failed on some shape, 2 usage error.
#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/options.h"
#include "core/file_io.h"
#include "lodsmith_version.h"
#include "platform/ini_file.h"
#include "platform/system_info.h"
#include "ui/cli_messages.h"
#include "ui/messages.h"

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

// The language of this run: --lang when given, else the one the window
// stored. Usage errors come before the options are read, so both are looked
// up here from the arguments and the language file.
Language RunLanguage(const std::vector<std::string>& args, const IniFile& languages) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (args[i] == "--lang" && i + 1 < args.size())
      value = args[i + 1];
    else if (args[i].rfind("--lang=", 0) == 0)
      value = args[i].substr(7);
    if (value == "en") return Language::English;
    if (value == "de") return Language::German;
  }
  return LanguageNamed(languages.ReadString("Languages", "Language", "Deutsch"));
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
  const std::string exe = RunningExecutablePath();
  RunShared shared;
  shared.programSettings.program = BytesOrNothing(ChangeExtension(exe, ".INI"));
  const std::string languageFile = ExtractFileDir(exe) + kLanguageFileName;
  shared.programSettings.language = BytesOrNothing(languageFile);
  const Language language = RunLanguage(args, IniFile(languageFile, shared.programSettings.language));

  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const UsageError& e) {
    return Usage(e.message, language);
  }
  if (options.help) {
    std::cout << MessageString(Message(CliMsg::Usage), language);
    return 0;
  }
  if (options.version) {
    std::cout << kVersionLine << "\n";
    return 0;
  }
  return RunBatch(options, shared, language);
}
