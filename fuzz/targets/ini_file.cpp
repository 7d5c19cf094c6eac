// The settings file reader and writer. The input is the file.
//
// A value written is read back, from memory and from the disk; writing one
// key or erasing one section leaves every other key's value as it was.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "document/shape_file.h"
#include "fuzz_harness.h"
#include "platform/ini_file.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

namespace {

// Keys the program reads, in several spellings.
const std::pair<const char*, const char*> kProbes[] = {
    {"LODs", "Anzahl"},   {"LODs", "1"},         {"lods", "2"},     {"Delta", "Points"},
    {"DELTA", "Normals"}, {"SONR_L1", "1"},      {"SONR", "2"},     {"SOSORT_L1", "1"},
    {"ANIM", "1"},        {"Dir", "InitialDir"}, {"dir", "FFEdit"}, {"Languages", "Language"},
};

std::vector<std::string> ReadProbes(const IniFile& ini) {
  std::vector<std::string> values;
  for (const auto& [section, key] : kProbes) {
    values.push_back(ini.ValueExists(section, key) ? ini.ReadString(section, key, "") : std::string("\x01missing"));
    // The number readers must cope with whatever the value holds.
    (void)ini.ReadInteger(section, key, -1);
    (void)ini.ReadFloat(section, key, -1, ',');
    (void)ini.ReadFloat(section, key, -1, '.');
  }
  return values;
}

void ExpectProbes(const IniFile& ini, const std::vector<std::string>& before, const char* after, std::size_t except,
                  const std::string& erased) {
  const std::vector<std::string> now = ReadProbes(ini);
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (i == except || (!erased.empty() && EqualsIgnoreCase(kProbes[i].first, erased))) continue;
    if (now[i] != before[i])
      Violated(std::string(after) + " changed another key's value", std::string("[") + kProbes[i].first + "] " +
                                                                        kProbes[i].second + ": \"" + before[i] +
                                                                        "\" became \"" + now[i] + "\"");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string path = WorkFile("fuzz.ini");
  WriteFile(path, AsText(data, size));
  IniFile ini(path);
  const std::vector<std::string> before = ReadProbes(ini);

  const std::size_t chosen = size ? data[0] % std::size(kProbes) : 0;
  const auto [section, key] = kProbes[chosen];
  const std::string value = "Entfernung für Größe " + std::to_string(size);
  ini.WriteString(section, key, value);
  Require(ini.ReadString(section, key, "") == value, "a written value does not read back");
  ini.Reload();
  if (ini.ReadString(section, key, "") != value)
    Violated("a written value does not read back from the disk",
             std::string("[") + section + "] " + key + " = \"" + ini.ReadString(section, key, "") + "\"");
  ExpectProbes(ini, before, "writing a key", chosen, "");

  const std::vector<std::string> written = ReadProbes(ini);
  const char* erased = kProbes[(chosen + 1) % std::size(kProbes)].first;
  ini.EraseSection(erased);
  ini.Reload();
  Require(!ini.SectionExists(erased), "an erased section is still there");
  ExpectProbes(ini, written, "erasing a section", std::size(kProbes), erased);
  return 0;
}
