#include <gtest/gtest.h>

#include <string>

#include "core/grid_columns.h"
#include "platform/ini_file.h"
#include "test_env.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {
namespace {

// The shipped language file holds every text the program can show in both
// of its sections: the numbered captions pairwise, and each message of the
// tables under its number exactly as built in (the window reads them from
// the file). After adding or rewording a message: scripts/update-language-file.sh.
TEST(LanguageFile, HoldsEveryTextInBothSections) {
  const IniFile file(test::ShippedLanguageFile());
  for (int n = 1; n < 1000; ++n) {
    const std::string key = "S" + std::to_string(n);
    EXPECT_EQ(file.ValueExists("Deutsch", key), file.ValueExists("English", key)) << key;
  }
  int checked = 0;
  for (auto table : MessageTables())
    for (const MessageText& t : table) {
      const std::string key = "S" + std::to_string(t.id);
      EXPECT_EQ(UnescapeLanguageEntry(file.ReadString("Deutsch", key, "<missing>")), t.german) << key;
      EXPECT_EQ(UnescapeLanguageEntry(file.ReadString("English", key, "<missing>")), t.english) << key;
      ++checked;
    }
  EXPECT_GT(checked, 200);
}

TEST(LanguageFile, EntriesKeepLineBreaksAndBackslashes) {
  for (const std::string text : {"a\nb", "C:\\x\\n.s", "\\", "plain", "end\\"})
    EXPECT_EQ(UnescapeLanguageEntry(EscapeLanguageEntry(text)), text) << text;
  EXPECT_EQ(EscapeLanguageEntry("1\n2\\n"), "1\\n2\\\\n");
  EXPECT_EQ(UnescapeLanguageEntry("a\\tb"), "a\\tb") << "other escapes stay as written";
}

// The window takes a message's template from the chosen language's section;
// a missing or empty entry falls back to the built-in text (German for a
// language the program does not know). The German-only notices are hidden in
// English only.
TEST(LanguageFile, WindowReadsMessagesFromTheFile) {
  const std::string header = "S" + std::to_string(static_cast<int>(UiMsg::DistanceColumnHeader));
  struct Case {
    std::string language, section, entry;
    std::string expected;
    bool noticesShown;
  };
  const Case cases[] = {
      {"English", "English", header + "=Yards", "Yards", false},
      {"English", "English", header + "=", "Metres", false},
      {"English", "English", "", "Metres", false},
      {"Deutsch", "Deutsch", header + "=Ellen", "Ellen", true},
      {"Deutsch", "Deutsch", "", "Meter", true},
      {"Polski", "Polski", header + "=Metry", "Metry", true},
      {"Polski", "Polski", "", "Meter", true},
  };
  for (const Case& c : cases) {
    test::FormFixture fx(false, false);
    test::WriteBytes(fx.dir.File("Lodsmith_L.INI"),
                     "[Languages]\r\nS1=Deutsch\r\nS2=English\r\nS3=Polski\r\nLanguage=" + c.language + "\r\n[" +
                         c.section + "]\r\n" + c.entry + "\r\n");
    fx.form->FormCreate();
    TLSForm& f = *fx.form;
    EXPECT_EQ(f.StringGrid4.Cell(grid::kDistance, grid::kHeaderRow), c.expected) << c.language << " " << c.entry;
    EXPECT_EQ(f.Label12.Visible, c.noticesShown) << c.language;
    EXPECT_EQ(f.Label33.Visible, c.noticesShown) << c.language;
  }
}

}  // namespace
}  // namespace lodsmith
