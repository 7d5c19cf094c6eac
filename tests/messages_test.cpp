#include <gtest/gtest.h>

#include <set>

#include "cli/cli_messages.h"
#include "core/core_messages.h"
#include "document/document_messages.h"
#include "generation/generation_messages.h"
#include "platform/platform_messages.h"
#include "preview/preview_messages.h"
#include "print/print_messages.h"
#include "simplify/simplify_messages.h"
#include "tools/tools_messages.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {
namespace {

struct Range {
  const char* layer;
  int first, end;
  std::span<const MessageText> texts;
};

std::vector<Range> Ranges() {
  auto r = [](const char* layer, auto first, auto end, std::span<const MessageText> texts) {
    return Range{layer, static_cast<int>(first), static_cast<int>(end), texts};
  };
  return {r("core", CoreMsg::First, CoreMsg::End, CoreTexts()),
          r("document", DocumentMsg::First, DocumentMsg::End, DocumentTexts()),
          r("generation", GenerationMsg::First, GenerationMsg::End, GenerationTexts()),
          r("simplify", SimplifyMsg::First, SimplifyMsg::End, SimplifyTexts()),
          r("tools", ToolsMsg::First, ToolsMsg::End, ToolsTexts()),
          r("preview", PreviewMsg::First, PreviewMsg::End, PreviewTexts()),
          r("platform", PlatformMsg::First, PlatformMsg::End, PlatformTexts()),
          r("print", PrintMsg::First, PrintMsg::End, PrintTexts()),
          r("ui", UiMsg::First, UiMsg::End, UiTexts()),
          r("cli", CliMsg::First, CliMsg::End, CliTexts())};
}

// Every message a layer declares has a German and an English text in that
// layer's table, and no table holds a number outside its layer's range.
TEST(Messages, EveryNumberHasBothTextsInItsLayersRange) {
  std::set<int> seen;
  const auto ranges = Ranges();
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const Range& r = ranges[i];
    if (i + 1 < ranges.size()) {
      EXPECT_LT(r.end, ranges[i + 1].first) << r.layer << " runs into the next range";
    }
    for (int id = r.first + 1; id < r.end; ++id) {
      const MessageText* t = FindMessageText(id);
      ASSERT_NE(t, nullptr) << r.layer << " message " << id << " has no text";
      EXPECT_STRNE(t->german, "") << id;
      EXPECT_STRNE(t->english, "") << id;
    }
    for (const MessageText& t : r.texts) {
      EXPECT_TRUE(t.id > r.first && t.id < r.end) << r.layer << " table holds " << t.id;
      EXPECT_TRUE(seen.insert(t.id).second) << "twice: " << t.id;
    }
  }
}

TEST(Messages, ArgumentsAndWrappedMessagesAreFilledIn) {
  // Taken from the tables by number so that the test does not depend on one
  // layer's wording: a made-up entry is not possible, so check the filling
  // on a description of an unknown number instead and on the escape rules.
  const Message unknown(static_cast<CoreMsg>(999), "a", 7);
  EXPECT_EQ(MessageString(unknown, Language::German), "message 999 (a, 7)");
  const Message wrapped = unknown.WrappedIn(static_cast<CoreMsg>(998), "x");
  EXPECT_TRUE(wrapped.Is(static_cast<CoreMsg>(999)));
  EXPECT_EQ(DescribeMessage(wrapped), "message 998 (x) in message 999 (a, 7)");
  const Error e(wrapped);
  EXPECT_STREQ(e.what(), "message 998 (x) in message 999 (a, 7)");
}

// Real messages of several layers as the user reads them: arguments filled
// in, a wrapped message in its outer one (or left out where the outer text
// does not show it), and the English column.
TEST(Messages, RealMessagesRenderInBothLanguages) {
  const Message notANumber(CoreMsg::NotAnInteger, "1,5");
  const Message refusedFile = Message(CoreMsg::CannotWrite, "/x/a.INI", "Permission denied")
                                  .WrappedIn(PlatformMsg::CannotWriteFile, "/x/a.INI");
  struct Case {
    Message message;
    Language language;
    std::string text;
  };
  const Case cases[] = {
      {notANumber, Language::German, "\"1,5\" ist keine gültige ganze Zahl."},
      {notANumber, Language::English, "\"1,5\" is not a valid integer."},
      {notANumber.WrappedIn(DocumentMsg::AnalysisLine, 13), Language::German,
       "Zeile 13: \"1,5\" ist keine gültige ganze Zahl."},
      {notANumber.WrappedIn(DocumentMsg::AnalysisLine, 13).WrappedIn(DocumentMsg::StructureNote), Language::English,
       "Structure: Line 13: \"1,5\" is not a valid integer."},
      {Message(DocumentMsg::IndexOutside, "texture", -1, 2), Language::German,
       "Verweis auf texture -1, es wurden nur 2 gelesen."},
      {refusedFile, Language::German, "In /x/a.INI kann nicht geschrieben werden"},
      {refusedFile, Language::English, "/x/a.INI cannot be written"},
      {Message(UiMsg::LandscapeQuestion), Language::German, "Querformat (empfohlen ab 4 LOD's)?"},
      {Message(CliMsg::ToolNotFound, "C:\\t.exe"), Language::English,
       "ffeditc_unicode.exe not found, cancelled! (C:\\t.exe) Give its path with --tool, or write the shape "
       "compressed without the utility with --compress-builtin."},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageString(c.message, c.language), c.text) << DescribeMessage(c.message);
  EXPECT_TRUE(refusedFile.Is(CoreMsg::CannotWrite));
}

// "%{N:one|other}" chooses a word by argument N: the first for 1, the
// second for every other value; a choice that is not well formed stays as
// written. Any template can use it (the language file's ones too).
TEST(Messages, WordsFollowTheirNumber) {
  struct Case {
    const char* pattern;
    std::vector<std::string> args;
    std::string text;
  };
  const Case cases[] = {
      {"%1 %{1:LOD|LODs}", {"1"}, "1 LOD"},
      {"%1 %{1:LOD|LODs}", {"2"}, "2 LODs"},
      {"%1 %{1:LOD|LODs}", {"0"}, "0 LODs"},
      {"%1 %{1:LOD|LODs}", {"11"}, "11 LODs"},
      {"%2 von %1 %{1:Punkt|Punkten}", {"1", "1"}, "1 von 1 Punkt"},
      {"(%{2:Zeile|Zeilen})", {"x", "1"}, "(Zeile)"},
      {"%{3:a|b}", {"1"}, "b"},  // an argument not given is no 1
      {"50%{1:x|y", {"1"}, "50%{1:x|y"},
      {"%{x:a|b}", {"1"}, "%{x:a|b}"},
      {"%{1:a}", {"1"}, "%{1:a}"},
  };
  const Message m(CliMsg::DoneGenerated);
  for (const Case& c : cases) {
    Message filled = m;
    filled.args = c.args;
    EXPECT_EQ(MessageString(filled, Language::English, [&](int) { return std::optional<std::string>(c.pattern); }),
              c.text)
        << c.pattern;
  }
  // The batch program's own lines say "1 LOD" and "2 LODs", in both languages.
  EXPECT_EQ(MessageString(Message(CliMsg::DoneGenerated, 1, "1"), Language::English),
            "1 LOD with 1 sub-object written");
  EXPECT_EQ(MessageString(Message(CliMsg::DoneGenerated, 2, "1/2"), Language::English),
            "2 LODs with 1/2 sub-objects written");
  EXPECT_EQ(MessageString(Message(CliMsg::DoneAnimations, 1, 1), Language::German),
            "1 Animation entfernt, 1 Zeile gelöscht.");
  EXPECT_EQ(MessageString(Message(CliMsg::DoneAnimations, 2, 5), Language::German),
            "2 Animationen entfernt, 5 Zeilen gelöscht.");
}

}  // namespace
}  // namespace lodsmith
