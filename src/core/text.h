// Text helpers shared by every reader and writer of shape lines.
//
// A shape line is a byte string: one char per character. Positions in the
// helpers below are 1-based, as the readers count them; 0 means "not found".
// A reader that does not find what it needs raises Error with a CoreMsg
// (core/core_messages.h) naming the text or the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodsmith {

using Lines = std::vector<std::string>;

// Case-sensitive substring test; keywords may end with a blank on purpose.
inline bool Contains(std::string_view line, std::string_view keyword) {
  return line.find(keyword) != std::string_view::npos;
}

// 1-based position of the first occurrence, 0 when absent.
inline std::size_t PosOf(std::string_view line, std::string_view keyword) {
  auto p = line.find(keyword);
  return p == std::string_view::npos ? 0 : p + 1;
}

// Forward search: the first line from `from` on that contains the keyword, or
// the last line of the document when none does. Returns -1 for an empty
// document or when `from` lies beyond the last line.
int SearchForward(const Lines& lines, int from, std::string_view keyword);

// As SearchForward, but tells whether the stop line really contains it.
struct SearchResult {
  int line = -1;
  bool found = false;
};
SearchResult Search(const Lines& lines, int from, std::string_view keyword);

// The tokenizer: from `pos` skip blanks and tabs, but never beyond the last
// character; the token runs to the next blank, tab or the end of the line.
// `pos` is updated to the token's start, `end` is the position after it.
void NextToken(std::string_view line, int& pos, int& end);

// Convenience: the token found from `pos`; `pos` moves past it.
std::string TakeToken(std::string_view line, int& pos);

// Signed 32-bit decimal conversion of a whole text: an optional sign and
// digits only, no blanks; out-of-range numbers fail.
std::optional<int32_t> ParseInt32(std::string_view text);
// As ParseInt32 but raises Error (CoreMsg::NotAnInteger) naming the text.
int32_t ToInt32(std::string_view text);

bool IsNumberChar(char c);

// "The first number after position p": from p + 1 move to the first number
// character; the number is the run of number characters there. Raises Error
// (CoreMsg::LineWithoutNumber, NotAnInteger) when there is none or it is not
// an integer.
int32_t FirstNumberAfter(std::string_view line, int p);
// "The second number after p": the run after the first one, separated by at
// least one other character (CoreMsg::LineWithoutSecondNumber when there is
// none).
int32_t SecondNumberAfter(std::string_view line, int p);
// Position of the first "(" (or ")") of the line, 0 when none: so that
// "after the line's first (" starts from the line's beginning without one.
int FirstParenPos(std::string_view line, char paren = '(');

// A name as a shape writes it, from 0-based offset `at`: a bare word up to
// the next blank (and tab, when `tabsSeparate`) or the line's end, or, when
// it starts with a double quote that the line closes, the quoted string
// whole, blanks included: inside the quotes \\ stands for one backslash and
// \" for a quote, every other backslash for itself (paths keep theirs). A
// quote the line never closes, and the empty string "", are read as bare
// words. `end` receives the offset after the name.
std::string ReadName(std::string_view line, std::size_t at, std::size_t& end, bool tabsSeparate);

// "The word after keyword K": from the start of K to the first blank, past
// all blanks, then the name there (ReadName; blanks separate, tabs do not).
// Raises Error (CoreMsg::KeywordMissing, NoNameAfter) when the keyword is
// missing, has no blank after it or the word is empty.
std::string WordAfter(std::string_view line, std::string_view keyword);

// As TakeToken, for a token that is a name: a quoted name is read whole
// (ReadName), so "WHEEL A" is one token.
std::string TakeName(std::string_view line, int& pos);

// Token replacement: "replace value k after keyword W". p = position of W
// plus its length; k times NextToken (skipping "(" and the k-1 values before
// value k), then the next token is replaced by `value`. Every other byte of
// the line stays. Returns the old token text. Raises Error
// (CoreMsg::KeywordMissing) when the keyword is missing.
std::string ReplaceValueAfter(std::string& line, std::string_view keyword, int k, std::string_view value);
// Reads value k after keyword W without changing the line.
std::string ValueAfter(std::string_view line, std::string_view keyword, int k);

// Case folding of UTF-8 text, the one rule every name comparison uses
// (matrices, animation nodes, images, settings sections and keys): the ASCII
// letters A-Z and the Latin-1 capitals U+00C0-U+00DE (but U+00D7) become
// their small letters; every other byte stays, so the result has the same
// length and invalid UTF-8 passes through unchanged.
std::string FoldCase(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Shape lines and grid cells are UTF-8, like everything the user reads.
// Latin-1 text (the bytes of an 8-bit file) becomes UTF-8 character by
// character.
std::string Latin1ToUtf8(std::string_view s);

// UTF-16 code units to UTF-8 and back, losslessly: a surrogate pair becomes
// its 4-byte character, a lone surrogate its own 3-byte form, so that every
// code unit sequence comes back unchanged. On the way back a byte that does
// not start a well-formed sequence stands for the code unit of the same
// value (as a Latin-1 character would).
void AppendUtf16AsUtf8(std::string& out, const char16_t* units, std::size_t count);
void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8);

// Number of characters of UTF-8 text (bytes that do not continue a
// character); every column rule counts these.
std::size_t CharCount(std::string_view utf8);
// Byte offset of character `n` (0-based); the text's size when it has no
// more characters.
std::size_t CharOffset(std::string_view utf8, std::size_t n);

// Shortest general decimal form with at most 15 significant digits (as
// printf's %.15g), with the given decimal separator.
std::string FormatGeneral(long double value, char decimalSeparator);
// Float parse with the given decimal separator: optional blanks around, sign,
// digits, one separator, exponent. std::nullopt when it does not parse.
std::optional<long double> ParseFloat(std::string_view text, char decimalSeparator);
// A tolerance: as ParseFloat, but only values a double can hold (the
// settings files store tolerances as doubles; 1e4000 would come back as
// "inf").
std::optional<long double> ParseTolerance(std::string_view text, char decimalSeparator);
bool FitsDouble(long double value);

}  // namespace lodsmith
