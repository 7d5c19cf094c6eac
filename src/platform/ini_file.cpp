#include "platform/ini_file.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>

#include "core/encoding.h"
#include "core/file_io.h"
#include "core/file_system.h"
#include "core/message.h"
#include "core/text.h"
#include "platform/platform_messages.h"

namespace lodsmith {

namespace {

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

// "[name]" after optional blanks; the name runs to the first "]", so that
// whatever follows it (a comment, a second "]") does not change the name.
bool ParseHeader(std::string_view line, std::string_view& name) {
  std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  auto close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

// "key=value" in a section; comments (";") and lines without "=" are none.
// The key is [keyBegin, keyEnd) of the line.
struct EntryParts {
  std::size_t keyBegin, keyEnd;
  std::string_view value;
};
std::optional<EntryParts> SplitEntry(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(line.substr(0, eq));
  std::string_view v = Trim(line.substr(eq + 1));
  // Quotes around a whole value are not part of it.
  if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
    v = v.substr(1, v.size() - 2);
  const auto begin = static_cast<std::size_t>(key.data() - line.data());
  return EntryParts{begin, begin + key.size(), v};
}

std::string Cp1252AsUtf8(std::string_view cp1252) {
  // Most names and values are plain ASCII, which reads as it stands; the
  // batch program parses the whole language file once per shape.
  if (std::all_of(cp1252.begin(), cp1252.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(cp1252);
  return Cp1252ToUtf8(std::string(cp1252));
}

// A UTF-16 line of text without a mark: the first line's code units
// (up to CR, LF or the end) are at least one, and each has a zero high
// byte and a low byte that is not zero.
bool UnmarkedUtf16(std::string_view bytes, bool bigEndian) {
  std::size_t units = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    const unsigned char high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    if (high != 0 || low == 0) return false;
    if (low == '\r' || low == '\n') break;
    ++units;
  }
  return units > 0;
}

// The file's text as UTF-8 (its mark taken off).
std::string DecodeUnicode(std::string_view bytes, const IniTextForm& form) {
  if (form.encoding == IniEncoding::Utf8) return std::string(bytes.substr(form.mark ? 3 : 0));
  const bool big = form.encoding == IniEncoding::Utf16Be;
  std::u16string units;
  units.reserve(bytes.size() / 2);
  // A last odd byte is no code unit: a file cut short loses it.
  for (std::size_t i = form.mark ? 2 : 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(big ? (first << 8) | second : (second << 8) | first));
  }
  std::string text;
  AppendUtf16AsUtf8(text, units.data(), units.size());
  return text;
}

// UTF-8 text in the file's encoding, with its mark when it had one.
std::string EncodeUnicode(const std::string& text, const IniTextForm& form) {
  if (form.encoding == IniEncoding::Utf8) return (form.mark ? "\xEF\xBB\xBF" : "") + text;
  const bool big = form.encoding == IniEncoding::Utf16Be;
  std::u16string units;
  if (form.mark) units.push_back(u'\xFEFF');
  AppendUtf8AsUtf16(units, text);
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    bytes += big ? high : low;
    bytes += big ? low : high;
  }
  return bytes;
}

// The whole file; empty when it cannot be read (a missing file is an empty
// one).
std::string ReadWholeFile(const std::string& path) {
  std::unique_ptr<OpenedFile> in = Files().Open(path, OpenMode::Read);
  if (!in) return {};
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const std::size_t got = in->Read(chunk, sizeof chunk);
    bytes.append(chunk, got);
    if (got < sizeof chunk) break;
  }
  in->Close();
  return bytes;
}

}  // namespace

IniTextForm DetectIniEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return {IniEncoding::Utf8, true};
  if (bytes.starts_with("\xFF\xFE")) return {IniEncoding::Utf16Le, true};
  if (bytes.starts_with("\xFE\xFF")) return {IniEncoding::Utf16Be, true};
  if (UnmarkedUtf16(bytes, false)) return {IniEncoding::Utf16Le, false};
  if (UnmarkedUtf16(bytes, true)) return {IniEncoding::Utf16Be, false};
  return {};
}

IniFile::IniFile(std::string path) : path_(std::move(path)) { Load(); }

IniFile::IniFile(std::string path, std::string_view bytes) : path_(std::move(path)) { Parse(bytes); }

void IniFile::Reload() { Load(); }

void IniFile::Load() {
  const std::string bytes = ReadWholeFile(path_);
  Parse(bytes);
}

void IniFile::Parse(std::string_view bytes) {
  // Windows-1252 is parsed where it lies (the batch program parses the
  // language file once per shape); a Unicode file as UTF-8.
  form_ = DetectIniEncoding(bytes);
  std::string decoded;
  if (form_.encoding != IniEncoding::Windows1252) decoded = DecodeUnicode(bytes, form_);
  const std::string_view text = form_.encoding == IniEncoding::Windows1252 ? bytes : std::string_view(decoded);
  preamble_.clear();
  sections_.clear();
  firstSection_.clear();
  laterSections_.clear();
  dirty_ = false;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // A line ends at CR LF, LF or a lone CR: files edited on other systems
    // (or by old Mac tools) must not collapse into one line.
    // A plain scan: find_first_of searches its set once per character.
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;

    std::string_view name;
    if (ParseHeader(line, name)) {
      sections_.push_back(Section{std::string(line), {}, {}, {}});
      auto it = std::prev(sections_.end());
      std::string folded = FoldCase(Utf8Of(name));
      if (!firstSection_.try_emplace(folded, it).second) laterSections_.emplace(std::move(folded), it);
      current = &*it;
      continue;
    }
    if (!current) {
      preamble_.emplace_back(line);
      continue;
    }
    if (IsBlank(line)) {
      current->blankTail.emplace_back(line);
      continue;
    }
    // Blank lines followed by more of the section belong to its body.
    for (auto& blank : current->blankTail) current->lines.push_back(std::move(blank));
    current->blankTail.clear();
    if (auto parts = SplitEntry(line)) {
      // The first of equal keys answers; later ones are only kept as lines.
      auto [k, isFirst] =
          current->keys.try_emplace(FoldCase(Utf8Of(line.substr(parts->keyBegin, parts->keyEnd - parts->keyBegin))),
                                    Section::Key{current->lines.size(), parts->keyBegin, parts->keyEnd, {}});
      if (isFirst) k->second.value = Utf8Of(parts->value);
    }
    current->lines.emplace_back(line);
  }
}

std::string IniFile::Utf8Of(std::string_view line) const {
  return form_.encoding == IniEncoding::Windows1252 ? Cp1252AsUtf8(line) : std::string(line);
}

std::string IniFile::LineOf(const std::string& utf8) const {
  return form_.encoding == IniEncoding::Windows1252 ? Utf8ToCp1252(utf8) : utf8;
}

IniFile::Section* IniFile::FindSection(const std::string& name) {
  auto it = firstSection_.find(FoldCase(name));
  return it == firstSection_.end() ? nullptr : &*it->second;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
  auto it = firstSection_.find(FoldCase(name));
  return it == firstSection_.end() ? nullptr : &*it->second;
}

const std::string* IniFile::FindValue(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto it = s->keys.find(FoldCase(key));
  return it == s->keys.end() ? nullptr : &it->second.value;
}

bool IniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindValue(section, key) != nullptr;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const std::string* v = FindValue(section, key);
  return v ? *v : def;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  auto v = ParseInt32(ReadString(section, key, ""));
  return v ? *v : def;
}

long double IniFile::ReadFloat(const std::string& section, const std::string& key, long double def,
                               char decimalSeparator) const {
  auto v = ParseFloat(ReadString(section, key, ""), decimalSeparator);
  return v ? *v : def;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back(Section{"[" + LineOf(section) + "]", {}, {}, {}});
    auto it = std::prev(sections_.end());
    firstSection_.emplace(FoldCase(section), it);
    s = &*it;
  }
  std::string folded = FoldCase(key);
  auto found = s->keys.find(folded);
  if (found != s->keys.end()) {
    // Replaced in place; the key keeps its spelling from the file.
    Section::Key& k = found->second;
    std::string& line = s->lines[k.line];
    line = line.substr(k.keyBegin, k.keyEnd - k.keyBegin) + "=" + LineOf(value);
    k.keyEnd -= k.keyBegin;
    k.keyBegin = 0;
    k.value = value;
  } else {
    // A new key goes after the last line of its section that is not blank,
    // so the blank lines that separate it from the next section stay last.
    std::string fileKey = LineOf(key);
    const std::size_t keyEnd = fileKey.size();
    s->keys.emplace(std::move(folded), Section::Key{s->lines.size(), 0, keyEnd, value});
    s->lines.push_back(std::move(fileKey) + "=" + LineOf(value));
  }
  Changed();
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(const std::string& section, const std::string& key, long double value, char decimalSeparator) {
  WriteString(section, key, FormatGeneral(static_cast<double>(value), decimalSeparator));
}

void IniFile::EraseSection(const std::string& section) {
  const std::string folded = FoldCase(section);
  auto first = firstSection_.find(folded);
  if (first == firstSection_.end()) return;  // nothing to do, and no failure
  sections_.erase(first->second);
  firstSection_.erase(first);
  auto later = laterSections_.equal_range(folded);
  for (auto it = later.first; it != later.second; ++it) sections_.erase(it->second);
  laterSections_.erase(later.first, later.second);
  Changed();
}

void IniFile::Changed() {
  dirty_ = true;
  if (batchDepth_ == 0) Flush();
}

void IniFile::Flush() {
  if (!dirty_ || memoryOnly_) return;
  std::string out;
  auto put = [&out](const std::string& line) {
    out += line;
    out += "\r\n";
  };
  for (const auto& l : preamble_) put(l);
  for (const auto& s : sections_) {
    put(s.header);
    for (const auto& l : s.lines) put(l);
    for (const auto& l : s.blankTail) put(l);
  }
  if (form_.encoding != IniEncoding::Windows1252) out = EncodeUnicode(out, form_);
  try {
    WriteFileAtomic(path_, out, "");
  } catch (const Error& e) {
    // The user hears which settings file was refused; the system's reason
    // stays inside for the log.
    throw e.WrappedIn(PlatformMsg::CannotWriteFile, path_);
  }
  dirty_ = false;
}

void IniFile::BatchUpdate::Commit() {
  if (ended_) return;
  ended_ = true;
  if (--ini_.batchDepth_ == 0) ini_.Flush();
}

IniFile::BatchUpdate::~BatchUpdate() {
  // Writing here could only report a failure by throwing from a destructor,
  // which ends the program while another exception is on its way (and a
  // guard on std::uncaught_exceptions() cannot tell that case apart inside
  // a catch block). So the changes wait in memory for the next write.
  if (!ended_) --ini_.batchDepth_;
}

}  // namespace lodsmith
