// Unicode text -> binary blocks.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "document/document_messages.h"
#include "document/shape_form_common.h"

namespace lodsmith::shape_form {

namespace {

enum class Tk : std::uint8_t { Word, Quoted, Open, Close };

struct TextToken {
  Tk kind;
  std::uint32_t start;  // in units; for Quoted an index into `quoted`
  std::uint32_t length;
  std::uint32_t line;
};

class TextEncoder {
public:
  explicit TextEncoder(std::string_view text) {
    std::size_t from = 0;
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE)
      from = 2;
    units_.resize((text.size() - from) / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + from;
    for (std::size_t i = 0; i < units_.size(); ++i) units_[i] = static_cast<char16_t>(ReadU16(p + 2 * i));
    Tokenize();
  }

  std::string Encode() {
    out_.reserve(units_.size());
    out_ += kInflatedBinaryHeader;
    std::size_t i = first_;
    while (i < tokens_.size()) {
      if (tokens_[i].kind == Tk::Close) throw Error(DocumentMsg::TextUnbalanced, tokens_[i].line);
      Element e = ElementAt(i);
      if (!e.block) throw Error(DocumentMsg::TextUnexpected, Text(tokens_[i]), "", tokens_[i].line);
      i = Comment(Text(tokens_[i])) ? After(e) : Block(e, 0);
    }
    return std::move(out_);
  }

private:
  struct Element {
    bool block = false;
    std::size_t token = 0;  // the value, or the block's name
    std::size_t label = 0;  // the label token, when hasLabel
    bool hasLabel = false;
    std::size_t open = 0;  // the block's "("
  };

  static bool Space(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0 || c == 0x1A; }

  void Tokenize() {
    std::uint32_t line = 1;
    const std::size_t n = units_.size();
    std::size_t i = 0;
    std::vector<std::size_t> opens;
    while (i < n) {
      char16_t c = units_[i];
      if (c == '\n') {
        ++line;
        ++i;
        continue;
      }
      if (Space(c) || c < 0x20) {
        ++i;
        continue;
      }
      if (c == '(') {
        opens.push_back(tokens_.size());
        tokens_.push_back({Tk::Open, static_cast<std::uint32_t>(i), 1, line});
        match_.push_back(0);
        ++i;
        continue;
      }
      if (c == ')') {
        if (opens.empty()) throw Error(DocumentMsg::TextUnbalanced, line);
        match_[opens.back()] = tokens_.size();
        opens.pop_back();
        tokens_.push_back({Tk::Close, static_cast<std::uint32_t>(i), 1, line});
        match_.push_back(0);
        ++i;
        continue;
      }
      if (c == '"') {
        std::u16string s;
        std::size_t j = i + 1;
        const std::uint32_t startLine = line;
        for (; j < n && units_[j] != '"'; ++j) {
          if (units_[j] == '\\' && j + 1 < n && (units_[j + 1] == '"' || units_[j + 1] == '\\')) ++j;
          if (units_[j] == '\n') ++line;
          s += units_[j];
        }
        if (j >= n) throw Error(DocumentMsg::TextUnbalanced, startLine);
        tokens_.push_back(
            {Tk::Quoted, static_cast<std::uint32_t>(quoted_.size()), static_cast<std::uint32_t>(s.size()), startLine});
        match_.push_back(0);
        quoted_.push_back(std::move(s));
        i = j + 1;
        continue;
      }
      std::size_t j = i;
      while (j < n && !Space(units_[j]) && units_[j] >= 0x20 && units_[j] != '(' && units_[j] != ')') ++j;
      tokens_.push_back({Tk::Word, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i), line});
      match_.push_back(0);
      i = j;
    }
    if (!opens.empty()) throw Error(DocumentMsg::TextUnbalanced, tokens_[opens.back()].line);
    // The header line names the form and carries no block; it is the first
    // line that holds text (some tools put empty lines before it).
    const std::uint32_t headerLine = tokens_.empty() ? 0 : tokens_[0].line;
    while (first_ < tokens_.size() && tokens_[first_].line == headerLine && tokens_[first_].kind == Tk::Word &&
           Text(tokens_[first_]).rfind("SIMISA", 0) == 0)
      ++first_;
  }

  std::string Text(const TextToken& t) const {
    std::string s;
    const char16_t* u = t.kind == Tk::Quoted ? quoted_[t.start].data() : units_.data() + t.start;
    for (std::uint32_t k = 0; k < t.length; ++k) {
      char16_t c = u[k];
      if (c < 0x80) {
        s += static_cast<char>(c);
      } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return s;
  }
  bool IsValue(std::size_t i) const {
    return i < tokens_.size() && (tokens_[i].kind == Tk::Word || tokens_[i].kind == Tk::Quoted);
  }
  bool IsOpen(std::size_t i) const { return i < tokens_.size() && tokens_[i].kind == Tk::Open; }

  // A word followed by "(" names a block; so does a known block name
  // followed by a label and "(".
  Element ElementAt(std::size_t i) const {
    Element e;
    e.token = i;
    if (tokens_[i].kind == Tk::Word && IsOpen(i + 1)) {
      e.block = true;
      e.open = i + 1;
    } else if (tokens_[i].kind == Tk::Word && IsValue(i + 1) && IsOpen(i + 2) && NameId(i) >= 0) {
      e.block = true;
      e.hasLabel = true;
      e.label = i + 1;
      e.open = i + 2;
    }
    return e;
  }
  std::size_t After(const Element& e) const { return e.block ? match_[e.open] + 1 : e.token + 1; }

  int NameId(std::size_t i) const {
    const auto& names = Table().byName;
    auto it = names.find(Text(tokens_[i]));
    return it == names.end() ? -1 : it->second;
  }

  static bool Comment(std::string_view name) { return name == "comment" || name == "skip" || name == "_skip"; }

  // The flags word a comment "skip ( block_attr XXXX )" gives its block.
  std::optional<std::uint16_t> FlagsOf(const Element& comment) const {
    const std::size_t word = comment.open + 1, value = comment.open + 2;
    if (Text(tokens_[comment.token]) != kFlagsComment || match_[comment.open] != comment.open + 3) return std::nullopt;
    if (tokens_[word].kind != Tk::Word || tokens_[value].kind != Tk::Word || tokens_[value].length != 4 ||
        Text(tokens_[word]) != kFlagsWord)
      return std::nullopt;
    const std::string hex = Text(tokens_[value]);
    std::uint16_t v = 0;
    auto r = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    if (r.ec != std::errc() || r.ptr != hex.data() + hex.size()) return std::nullopt;
    return v;
  }

  void PutU16(std::uint32_t v) {
    out_ += static_cast<char>(v & 0xFF);
    out_ += static_cast<char>((v >> 8) & 0xFF);
  }
  void PutU32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out_ += static_cast<char>((v >> (8 * k)) & 0xFF);
  }
  const char16_t* Units(const TextToken& t) const {
    return t.kind == Tk::Quoted ? quoted_[t.start].data() : units_.data() + t.start;
  }

  // Writes the block and returns the token after its ")".
  std::size_t Block(const Element& e, int depth) {
    const TextToken& nameToken = tokens_[e.token];
    const std::string name = Text(nameToken);
    if (depth >= kMaxDepth) throw Error(DocumentMsg::TextTooDeep, nameToken.line, kMaxDepth);
    const int id = NameId(e.token);
    const Token* token = id >= 0 ? Table().Find(id) : nullptr;
    if (!token) throw Error(DocumentMsg::TextUnknownBlock, name, nameToken.line);
    const std::size_t close = match_[e.open];

    // The elements of this block; comments carry no data.
    if (elements_.size() <= static_cast<std::size_t>(depth)) elements_.resize(depth + 1);
    std::vector<Element>& list = elements_[depth];
    list.clear();
    std::uint16_t flags = 0;
    for (std::size_t i = e.open + 1; i < close;) {
      Element child = ElementAt(i);
      if (child.block && Comment(Text(tokens_[i]))) {
        if (auto f = FlagsOf(child)) flags = *f;
        i = After(child);
        continue;
      }
      if (!child.block && tokens_[i].kind == Tk::Open) {
        throw Error(DocumentMsg::TextUnexpected, "(", name, tokens_[i].line);
      }
      list.push_back(child);
      i = After(child);
    }

    const std::size_t start = out_.size();
    PutU16(static_cast<std::uint32_t>(id));
    PutU16(flags);
    PutU32(0);  // filled in below
    if (e.hasLabel) {
      const TextToken& label = tokens_[e.label];
      if (label.length > 255) throw Error(DocumentMsg::TextBadValue, Text(label), name, label.line, "label");
      out_ += static_cast<char>(label.length);
      const char16_t* u = Units(label);
      for (std::uint32_t k = 0; k < label.length; ++k) PutU16(u[k]);
    } else {
      out_ += '\0';
    }

    // The list belongs to this depth; children use the next one, so take
    // a copy of the few fields needed before recursing.
    std::size_t k = 0;
    const std::size_t count = list.size();
    for (const LayoutItem& item : token->items) {
      if (item.kind == Kind::Block) {
        auto matches = [&](std::size_t at) {
          const Element& el = elements_[depth][at];
          return el.block && token->Accepts(item, NameId(el.token));
        };
        if (item.repeat) {
          while (k < count && matches(k)) {
            const Element child = elements_[depth][k++];
            Block(child, depth + 1);
          }
          continue;
        }
        if (k < count && matches(k)) {
          const Element child = elements_[depth][k++];
          Block(child, depth + 1);
          continue;
        }
        if (item.optional) continue;
        if (k < count) Unexpected(elements_[depth][k], name);
        throw Error(DocumentMsg::TextMissingValue, name, nameToken.line);
      }
      if (item.repeat) {
        const std::size_t trailing = item.trailingScalars;
        while (k + trailing < count && !elements_[depth][k].block) Value(item.kind, elements_[depth][k++], name);
        continue;
      }
      if (k == count || elements_[depth][k].block) {
        if (item.optional) continue;
        if (k < count) Unexpected(elements_[depth][k], name);
        throw Error(DocumentMsg::TextMissingValue, name, nameToken.line);
      }
      Value(item.kind, elements_[depth][k++], name);
    }
    if (k < count) Unexpected(elements_[depth][k], name);
    const auto length = static_cast<std::uint32_t>(out_.size() - start - 8);
    for (int b = 0; b < 4; ++b) out_[start + 4 + b] = static_cast<char>((length >> (8 * b)) & 0xFF);
    return close + 1;
  }

  [[noreturn]] void Unexpected(const Element& e, const std::string& parent) const {
    throw Error(DocumentMsg::TextUnexpected, Text(tokens_[e.token]), parent, tokens_[e.token].line);
  }

  void Value(Kind kind, const Element& e, const std::string& block) {
    const TextToken& t = tokens_[e.token];
    if (kind == Kind::String) {
      if (t.length > 0xFFFF) throw Error(DocumentMsg::TextBadValue, Text(t), block, t.line, "string");
      PutU16(t.length);
      const char16_t* u = Units(t);
      for (std::uint32_t k = 0; k < t.length; ++k) PutU16(u[k]);
      return;
    }
    // Numbers are ASCII; anything else is no number.
    char buffer[64];
    const char16_t* u = Units(t);
    const bool fits = t.length < sizeof buffer;
    std::size_t n = 0;
    if (fits) {
      for (; n < t.length; ++n) {
        if (u[n] >= 0x80) break;
        buffer[n] = static_cast<char>(u[n]);
      }
    }
    auto bad = [&](const char* what) { return Error(DocumentMsg::TextBadValue, Text(t), block, t.line, what); };
    const char* kindName = kind == Kind::Float ? "float" : kind == Kind::Dword ? "dword" : "integer";
    if (!fits || n != t.length || n == 0) throw bad(kindName);
    const char* b = buffer;
    const char* end = buffer + n;
    if (kind == Kind::Float) {
      const std::string_view s(b, n);
      float f;
      if (s == "1.#QNAN" || s == "1.#IND" || s == "-1.#IND" || s == "-1.#QNAN") {
        const std::uint32_t bits = s[0] == '-' ? 0xFFC00000u : 0x7FC00000u;
        PutU32(bits);
        return;
      }
      if (s == "1.#INF") {
        f = std::numeric_limits<float>::infinity();
      } else if (s == "-1.#INF") {
        f = -std::numeric_limits<float>::infinity();
      } else {
        if (*b == '+') ++b;
        auto r = std::from_chars(b, end, f);
        if (r.ec != std::errc() || r.ptr != end) throw bad(kindName);
      }
      std::uint32_t bits;
      std::memcpy(&bits, &f, 4);
      PutU32(bits);
      return;
    }
    if (kind == Kind::Dword) {
      std::uint64_t v = 0;
      auto r = std::from_chars(b, end, v, 16);
      if (r.ec != std::errc() || r.ptr != end || v > 0xFFFFFFFFu) throw bad(kindName);
      PutU32(static_cast<std::uint32_t>(v));
      return;
    }
    // uint and sint: either reading of 32 bits is accepted, as tools differ.
    if (*b == '+') ++b;
    std::int64_t v = 0;
    auto r = std::from_chars(b, end, v);
    if (r.ec != std::errc() || r.ptr != end || v < std::numeric_limits<std::int32_t>::min() ||
        v > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
      throw bad(kindName);
    PutU32(static_cast<std::uint32_t>(v));
  }

  std::u16string units_;
  std::vector<TextToken> tokens_;
  std::vector<std::size_t> match_;
  std::vector<std::u16string> quoted_;
  std::vector<std::vector<Element>> elements_;
  std::size_t first_ = 0;
  std::string out_;
};

}  // namespace

std::string TextToBlocks(std::string_view unicodeText) {
  TextEncoder encoder(unicodeText);
  return encoder.Encode();
}

}  // namespace lodsmith::shape_form
