// Brings the language file up to date with the program's message tables:
// every message number gets its German and English template, escaped to one
// line ("S<number>=..."), in the "Deutsch" and "English" sections. Entries
// that are already there are replaced in place; everything else in the file
// (the numbered captions, comments, further languages) stays as it is.
//
//   lodsmith_language_file lang/Lodsmith_L.INI
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/message.h"
#include "platform/ini_file.h"
#include "ui/texts/messages.h"

using namespace lodsmith;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s LANGUAGE_FILE\n", argv[0]);
    return 2;
  }
  std::vector<const MessageText*> texts;
  for (auto table : MessageTables())
    for (const MessageText& t : table) texts.push_back(&t);
  std::sort(texts.begin(), texts.end(), [](auto a, auto b) { return a->id < b->id; });
  try {
    IniFile file(argv[1]);
    IniFile::BatchUpdate batch(file);
    for (const MessageText* t : texts) {
      const std::string key = "S" + std::to_string(t->id);
      file.WriteString("Deutsch", key, EscapeLanguageEntry(t->german));
      file.WriteString("English", key, EscapeLanguageEntry(t->english));
    }
    batch.Commit();
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", MessageString(e.message(), Language::English).c_str());
    return 1;
  }
  std::printf("%zu messages written to %s\n", texts.size(), argv[1]);
  return 0;
}
