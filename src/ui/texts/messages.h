// The language layer's built-in texts: every message the program raises or
// shows that is not one of the language file's numbered texts, in German and
// English, and the one function that turns a Message into text.
//
// A template names its arguments %1 .. %9 and the wrapped message %0; "%%"
// is a percent sign; "%{N:one|other}" is the word "one" when argument N is
// 1 and "other" for any other value ("%1 %{1:LOD|LODs}"). Each layer's texts live in a table of their own
// (ui/texts/<layer>_texts.cpp), keyed by that layer's message enum.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"

namespace lodsmith {

enum class Language { German, English };

// The language file beside the program, and the language a name stored in
// it ("Deutsch", "English") stands for: English for "English" in any case,
// German for every other name.
inline constexpr const char* kLanguageFileName = "Lodsmith_L.INI";
Language LanguageNamed(std::string_view name);

struct MessageText {
  int id;
  const char* german;
  const char* english;
};

// The tables, one per layer.
std::span<const MessageText> CoreTexts();
std::span<const MessageText> DocumentTexts();
std::span<const MessageText> GenerationTexts();
std::span<const MessageText> ToolsTexts();
std::span<const MessageText> PlatformTexts();
std::span<const MessageText> PrintTexts();
std::span<const MessageText> SessionTexts();
std::span<const MessageText> SimplifyTexts();
std::span<const MessageText> PreviewTexts();
std::span<const MessageText> UiTexts();
std::span<const MessageText> CliTexts();

// The built-in copy of the language file's numbered texts ("S60=...") that
// messages are made of, and text n of it in the language (empty when the
// copy has none): the fallback where a numbered text must not be empty.
std::span<const MessageText> NumberedTexts();
std::string BuiltInNumberedText(int n, Language language);

// Every layer's table.
std::vector<std::span<const MessageText>> MessageTables();

// The text of one message number, or null when no table has it.
const MessageText* FindMessageText(int id);

// The message in the language, arguments filled in. A number no table holds
// gives its description (DescribeMessage), so that nothing is ever shown
// empty.
std::string MessageString(const Message& message, Language language);

// Where the window takes its templates from first: the language file's
// section of the chosen language, which holds every message under its number
// ("S1000=..."). Nothing (or an empty entry) falls back to the built-in text
// of the language. Wrapped messages are looked up the same way.
using TemplateSource = std::function<std::optional<std::string>(int id)>;
std::string MessageString(const Message& message, Language language, const TemplateSource& source);

// The language file holds one entry per line: a line break in a message
// template is written there as "\n" and a backslash as "\\". Any other
// backslash is read as it stands. A template with blanks at either end (or
// one pair of quotes around it) is written in quotes, which the reader of
// such files takes off.
// Appends a sentence after `text`, ended with a full stop where it has no
// closing mark (the system's reasons come without one); nothing for "".
void AppendSentence(std::string& text, std::string sentence);

std::string EscapeLanguageEntry(std::string_view text);
std::string UnescapeLanguageEntry(std::string_view entry);

}  // namespace lodsmith
