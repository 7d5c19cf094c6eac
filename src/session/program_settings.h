// The program's settings between runs: the folder and file opened last and
// the compression utility's path ("Dir"), the LOD count and distances of the
// last run ("LODs"), and the language chosen ("Languages" of the language
// file). Where they are kept is decided once, when they are opened: beside
// the program when it can write there, else (an installed copy) in the
// user's settings folder, else in memory only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "platform/platform.h"

namespace lodsmith {

// The language chosen last: `choice` when it holds one (an installed copy
// keeps its choice apart), else the language file's own, "Deutsch" when
// neither does.
std::string ChosenLanguageName(const IniFile* choice, const IniFile& language);
// The LOD count of the last run, brought into kMinLods..kMaxLods (a
// hand-edited count too) so that there is always one LOD column.
int StoredLodCount(const IniFile& program);
// The distance of LOD `lod` of the last run; one that is missing or no
// distance reads as the default.
std::string StoredDistance(const IniFile& program, int lod);

class ProgramSettings {
public:
  std::unique_ptr<IniFile> program;   // the program settings file
  std::unique_ptr<IniFile> language;  // the language file: the texts, and the choice where it can be written
  // Where the choice is kept when the language file cannot take it (an
  // installed copy): the user's settings folder. Null: in `language`.
  std::unique_ptr<IniFile> languageChoice;
  // Neither beside the program nor in the user's settings folder can the
  // settings be written: they (and the language file) live in memory only.
  bool readOnly = false;

  // Opens the language file `languageFile` and the program settings, which
  // would be `besideProgram`, where they can be stored (see above). The
  // first time an installed copy runs, the settings beside it are copied to
  // the user's folder.
  void Open(Platform& platform, const std::string& besideProgram, const std::string& languageFile);
  // Closes all three files.
  void Close();

  // A key of "Dir"; empty when unset or nothing is open.
  std::string Dir(const std::string& key) const;
  // Sets a key of "Dir" (nothing when nothing is open). Throws Error when
  // the file refuses the write.
  void SetDir(const std::string& key, const std::string& value);

  // The languages the language file offers, in its order.
  std::vector<std::string> Languages() const;
  std::string LanguageName() const { return ChosenLanguageName(languageChoice.get(), *language); }
  // Keeps `name` as the choice. Throws Error when the file refuses it.
  void StoreLanguageName(const std::string& name);

  int LodCount() const { return StoredLodCount(*program); }
  std::string Distance(int lod) const { return StoredDistance(*program, lod); }
  // Writes the LOD count and the distance of each LOD (an empty one as the
  // default) in place of the section, in one write. Throws Error when the
  // file refuses it.
  void StoreLods(int lods, const std::function<std::string(int lod)>& distance);

  // The language a program at `exe` comes up in, read without opening
  // anything for writing: the language file `languageFileName` beside it,
  // and for an installed copy the choice in `userFolder`.
  static std::string StoredLanguageName(const std::string& exe, const std::string& userFolder,
                                        const std::string& languageFileName);

private:
  // The file of that name in the user's settings folder (the folder made
  // when missing), or empty when it cannot be stored there.
  static std::string UserSettingsFile(Platform& platform, const std::string& besideProgram);
};

}  // namespace lodsmith
