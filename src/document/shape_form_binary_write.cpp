// Unicode text -> binary blocks.
//
// The text is read where it stands (UTF-16LE bytes, or the UTF-8 of the
// document's lines joined by CR LF, never copied into a string of its own):
// the tokenizer records where each token starts, and the encoder reads from
// there. Large shapes are mostly numbers, so
// the tokens are kept small and the blocks are written into a buffer sized
// ahead rather than appended byte by byte.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"
#include "document/document_messages.h"
#include "document/shape_form_common.h"

namespace lodsmith::shape_form {

namespace {

enum class Tk : std::uint8_t { Word, Quoted, Open, Close };

// The text as UTF-16LE bytes: its elements are code units.
class Utf16Source {
public:
  explicit Utf16Source(std::string_view bytes) {
    std::size_t from = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
      from = 2;
    p_ = reinterpret_cast<const unsigned char*>(bytes.data()) + from;
    n_ = (bytes.size() - from) / 2;
  }
  std::size_t size() const { return n_; }
  char16_t operator[](std::size_t i) const { return static_cast<char16_t>(ReadU16(p_ + 2 * i)); }
  // Appends the elements [start, start + n) as UTF-16 to `out`.
  void Append(std::u16string& out, std::size_t start, std::size_t n) const {
    for (std::size_t k = 0; k < n; ++k) out += (*this)[start + k];
  }
  // The UTF-16LE bytes of the elements [start, start + n), or nothing when
  // they are not at hand as such.
  std::string_view Wide(std::size_t start, std::size_t n) const {
    return {reinterpret_cast<const char*>(p_) + 2 * start, 2 * n};
  }
  static constexpr std::size_t kBytesPerElement = 2;

private:
  const unsigned char* p_;
  std::size_t n_;
};

// The text as UTF-8 (the lines of a document): its elements are bytes. The
// brackets, quotes, blanks and line ends are ASCII and never part of a
// longer character, so the tokens are those of the same text in UTF-16;
// a token's characters become UTF-16 as the text would have them
// (AppendUtf8AsUtf16).
class Utf8Source {
public:
  explicit Utf8Source(std::string_view bytes) : s_(bytes) {}
  std::size_t size() const { return s_.size(); }
  char16_t operator[](std::size_t i) const { return static_cast<unsigned char>(s_[i]); }
  void Append(std::u16string& out, std::size_t start, std::size_t n) const {
    AppendUtf8AsUtf16(out, s_.substr(start, n));
  }
  std::string_view Wide(std::size_t, std::size_t) const { return {}; }
  static constexpr std::size_t kBytesPerElement = 1;

private:
  std::string_view s_;
};

// A token of the text. Its kind is told by its first element: "(", ")", a
// quote, or anything else for a word.
struct TextToken {
  std::uint32_t start;   // its first element (for a quoted string: the opening quote)
  std::uint32_t length;  // elements (a quoted string's without quotes and escapes); for "(" its ")" token
};

// The tokens of a text, in room reserved for the most a text of its size
// usually has and grown when it has more; only the room used is touched.
class TokenList {
public:
  explicit TokenList(std::size_t expected)
      : data_(std::make_unique_for_overwrite<TextToken[]>(expected)), capacity_(expected) {}
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  TextToken& operator[](std::size_t i) { return data_[i]; }
  const TextToken& operator[](std::size_t i) const { return data_[i]; }
  void push_back(TextToken t) {
    if (size_ == capacity_) Grow();
    data_[size_++] = t;
  }

private:
  void Grow() {
    const std::size_t capacity = capacity_ * 2 + 16;
    auto data = std::make_unique_for_overwrite<TextToken[]>(capacity);
    std::copy_n(data_.get(), size_, data.get());
    data_ = std::move(data);
    capacity_ = capacity;
  }
  std::unique_ptr<TextToken[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

template <class Source>
class TextEncoder {
public:
  // A token and its separator take at least two units; most take more.
  explicit TextEncoder(const Source& text) : src_(text), units_(text.size()), tokens_(text.size() / 4 + 16) {
    Tokenize();
  }

  std::string Encode() {
    // The blocks take about a fifth of the text's bytes; the room is only
    // reserved, and made part of the buffer a slice at a time.
    out_.reserve(units_ * Source::kBytesPerElement / 4 + 4096);
    Bytes(kInflatedBinaryHeader.data(), kInflatedBinaryHeader.size());
    std::size_t i = first_;
    while (i < tokens_.size()) {
      if (KindOf(i) == Tk::Close) throw Error(DocumentMsg::TextUnbalanced, LineOf(i));
      Element e = ElementAt(i);
      if (!e.block) throw Error(DocumentMsg::TextUnexpected, Text(i), "", LineOf(i));
      i = Comment(e.token) ? After(e) : Block(e, 0);
    }
    out_.resize(used_);
    return std::move(out_);
  }

private:
  struct Element {
    std::uint32_t token = 0;  // the value, or the block's name
    std::int32_t id = -1;     // a block's token id; -1 when its name is none
    bool block = false;
    bool hasLabel = false;  // the label is the token after the name
    std::size_t Open() const { return token + (hasLabel ? 2u : 1u); }
  };

  char16_t Unit(std::size_t i) const { return src_[i]; }

  Tk KindOf(std::size_t i) const {
    switch (Unit(tokens_[i].start)) {
      case '(': return Tk::Open;
      case ')': return Tk::Close;
      case '"': return Tk::Quoted;
      default: return Tk::Word;
    }
  }

  // Every unit up to a blank (0x20) separates tokens; the line of a token
  // is counted only when a message names it (LineAt).
  void Tokenize() {
    const Source src = src_;  // a copy the loop can keep in registers
    const std::size_t n = units_;
    std::size_t i = 0;
    std::vector<std::size_t> opens;
    while (i < n) {
      const char16_t c = src[i];
      if (c <= 0x20) {
        ++i;
        continue;
      }
      if (c == '(') {
        opens.push_back(tokens_.size());
        tokens_.push_back({static_cast<std::uint32_t>(i), 0});
        ++i;
        continue;
      }
      if (c == ')') {
        if (opens.empty()) throw Error(DocumentMsg::TextUnbalanced, LineAt(i));
        tokens_[opens.back()].length = static_cast<std::uint32_t>(tokens_.size());
        opens.pop_back();
        tokens_.push_back({static_cast<std::uint32_t>(i), 1});
        ++i;
        continue;
      }
      if (c == '"') {
        std::size_t j = i + 1;
        std::uint32_t length = 0;
        for (; j < n && src[j] != '"'; ++j) {
          if (src[j] == '\\' && j + 1 < n && (src[j + 1] == '"' || src[j + 1] == '\\')) ++j;
          ++length;
        }
        if (j >= n) throw Error(DocumentMsg::TextUnbalanced, LineAt(i));
        tokens_.push_back({static_cast<std::uint32_t>(i), length});
        i = j + 1;
        continue;
      }
      std::size_t j = i + 1;
      while (j < n) {
        const char16_t u = src[j];
        if (u <= 0x20 || u == '(' || u == ')') break;
        ++j;
      }
      tokens_.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i)});
      i = j;
    }
    if (!opens.empty()) throw Error(DocumentMsg::TextUnbalanced, LineOf(opens.back()));
    // The header line names the form and carries no block; it is the first
    // line that holds text (some tools put empty lines before it).
    const std::uint32_t headerLine = tokens_.empty() ? 0 : LineOf(0);
    while (first_ < tokens_.size() && LineOf(first_) == headerLine && KindOf(first_) == Tk::Word &&
           Text(first_).rfind("SIMISA", 0) == 0)
      ++first_;
  }

  // The line (from 1) of the element at `at`: one more than the line ends
  // before it. Counted for messages only.
  std::uint32_t LineAt(std::size_t at) const {
    std::uint32_t line = 1;
    for (std::size_t k = 0; k < at; ++k)
      if (src_[k] == '\n') ++line;
    return line;
  }
  std::uint32_t LineOf(std::size_t token) const { return LineAt(tokens_[token].start); }

  // The elements of token i (tokens_[i].length of them): a word's as they
  // stand, a quoted string's without its quotes and with its escapes
  // resolved. The pointer is valid until the next call.
  const char16_t* Elements(std::size_t i) {
    const TextToken& t = tokens_[i];
    scratch_.clear();
    if (KindOf(i) != Tk::Quoted) {
      for (std::uint32_t k = 0; k < t.length; ++k) scratch_ += Unit(t.start + k);
      return scratch_.data();
    }
    for (std::size_t j = t.start + 1; scratch_.size() < t.length; ++j) {
      if (Unit(j) == '\\' && j + 1 < units_ && (Unit(j + 1) == '"' || Unit(j + 1) == '\\')) ++j;
      scratch_ += Unit(j);
    }
    return scratch_.data();
  }

  // The UTF-16 units of token i (resolved as Elements), valid until the
  // next call.
  const std::u16string& Units(std::size_t i) {
    const TextToken& t = tokens_[i];
    wide_.clear();
    if (KindOf(i) != Tk::Quoted) {
      src_.Append(wide_, t.start, t.length);
      return wide_;
    }
    // The escapes are ASCII: resolved element by element, the runs between
    // them converted whole.
    std::size_t run = t.start + 1, j = run;
    for (std::uint32_t k = 0; k < t.length; ++k, ++j) {
      if (Unit(j) == '\\' && j + 1 < units_ && (Unit(j + 1) == '"' || Unit(j + 1) == '\\')) {
        src_.Append(wide_, run, j - run);
        run = ++j;
      }
    }
    src_.Append(wide_, run, j - run);
    return wide_;
  }

  // Token i as UTF-8, for messages and the few words compared by text.
  std::string Text(std::size_t i) {
    const std::u16string& units = Units(i);
    const std::size_t length = units.size();
    const char16_t* u = units.data();
    std::string s;
    for (std::size_t k = 0; k < length; ++k) {
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
  // Whether token i is the word `ascii`.
  bool WordIs(std::size_t i, std::string_view ascii) const {
    const TextToken& t = tokens_[i];
    if (t.length != ascii.size() || KindOf(i) != Tk::Word) return false;
    for (std::uint32_t k = 0; k < t.length; ++k)
      if (Unit(t.start + k) != static_cast<unsigned char>(ascii[k])) return false;
    return true;
  }
  bool IsValue(std::size_t i) const {
    if (i >= tokens_.size()) return false;
    const Tk kind = KindOf(i);
    return kind == Tk::Word || kind == Tk::Quoted;
  }
  bool IsOpen(std::size_t i) const { return i < tokens_.size() && KindOf(i) == Tk::Open; }

  // A word followed by "(" names a block; so does a known block name
  // followed by a label and "(".
  Element ElementAt(std::size_t i) const {
    Element e;
    e.token = static_cast<std::uint32_t>(i);
    if (KindOf(i) != Tk::Word) return e;
    if (IsOpen(i + 1)) {
      e.block = true;
      e.id = NameId(i);
    } else if (IsValue(i + 1) && IsOpen(i + 2)) {
      e.id = NameId(i);
      e.block = e.hasLabel = e.id >= 0;
    }
    return e;
  }
  std::size_t After(const Element& e) const { return e.block ? tokens_[e.Open()].length + 1u : e.token + 1u; }

  // The token id a word names, -1 when it names none. Names are short and
  // ASCII; anything else is looked up no further.
  int NameId(std::size_t i) const {
    const TextToken& t = tokens_[i];
    char name[64];
    if (t.length > sizeof name) return -1;
    for (std::uint32_t k = 0; k < t.length; ++k) {
      const char16_t u = Unit(t.start + k);
      if (u >= 0x80) return -1;
      name[k] = static_cast<char>(u);
    }
    // A shape names the same few blocks over and over: the names looked up
    // last are kept by their length and ends.
    NameSlot* slot = nullptr;
    if (t.length > 0 && t.length <= sizeof slot->name) {
      slot = &names_[(t.length * 7u + static_cast<unsigned char>(name[0]) +
                      3u * static_cast<unsigned char>(name[t.length - 1])) %
                     names_.size()];
      if (slot->length == t.length && std::memcmp(slot->name, name, t.length) == 0) return slot->id;
    }
    const auto& names = Table().byName;
    auto it = names.find(std::string_view(name, t.length));
    const int id = it == names.end() ? -1 : it->second;
    if (slot) {
      slot->length = t.length;
      std::memcpy(slot->name, name, t.length);
      slot->id = id;
    }
    return id;
  }
  struct NameSlot {
    std::uint32_t length = 0;  // 0: empty
    char name[28];
    int id = -1;
  };
  mutable std::array<NameSlot, 32> names_{};

  bool Comment(std::size_t i) const { return WordIs(i, "comment") || WordIs(i, "skip") || WordIs(i, "_skip"); }

  // The flags word a comment "skip ( block_attr XXXX )" gives its block.
  std::optional<std::uint16_t> FlagsOf(const Element& comment) const {
    const std::size_t open = comment.Open(), word = open + 1, value = open + 2;
    if (!WordIs(comment.token, kFlagsComment) || tokens_[open].length != open + 3) return std::nullopt;
    if (KindOf(value) != Tk::Word || tokens_[value].length != 4 || !WordIs(word, kFlagsWord)) return std::nullopt;
    std::uint16_t v = 0;
    char hex[4];
    for (int k = 0; k < 4; ++k) {
      const char16_t u = Unit(tokens_[value].start + k);
      if (u >= 0x80) return std::nullopt;
      hex[k] = static_cast<char>(u);
    }
    auto r = std::from_chars(hex, hex + 4, v, 16);
    if (r.ec != std::errc() || r.ptr != hex + 4) return std::nullopt;
    return v;
  }

  // The blocks are written straight into out_, which is reserved ahead and
  // made part of the string a slice at a time (a string's size is
  // zero-filled, and filling all of the estimate would touch pages the
  // blocks never use).
  char* Room(std::size_t bytes) {
    if (used_ + bytes > out_.size()) [[unlikely]]
      out_.resize(used_ + bytes + kSlice);
    return out_.data() + used_;
  }
  static constexpr std::size_t kSlice = 64 * 1024;
  void Bytes(const void* data, std::size_t n) {
    std::memcpy(Room(n), data, n);
    used_ += n;
  }
  void PutU8(std::uint32_t v) {
    *Room(1) = static_cast<char>(v & 0xFF);
    ++used_;
  }
  void PutU16(std::uint32_t v) {
    char* p = Room(2);
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>((v >> 8) & 0xFF);
    used_ += 2;
  }
  void PutU32(std::uint32_t v) {
    char* p = Room(4);
    for (int k = 0; k < 4; ++k) p[k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    used_ += 4;
  }
  // The UTF-16 units of token i, `count` of them (a u8 count for a label,
  // a u16 count for a string) and then the units, or raises Error naming
  // the token as `what` when there are more than `most`. A word of UTF-16LE
  // text is copied as it stands.
  void PutCounted(std::size_t i, std::size_t most, const std::string& block, const char* what) {
    const TextToken& t = tokens_[i];
    if (KindOf(i) == Tk::Word) {
      if (const std::string_view wide = src_.Wide(t.start, t.length); !wide.empty()) {
        if (t.length > most) throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), what);
        most > 0xFF ? PutU16(t.length) : PutU8(t.length);
        return Bytes(wide.data(), wide.size());
      }
    }
    const std::u16string& units = Units(i);
    if (units.size() > most) throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), what);
    const std::size_t count = units.size();
    most > 0xFF ? PutU16(static_cast<std::uint32_t>(count)) : PutU8(static_cast<std::uint32_t>(count));
    char* p = Room(2 * count);
    for (std::size_t k = 0; k < count; ++k) {
      p[2 * k] = static_cast<char>(units[k] & 0xFF);
      p[2 * k + 1] = static_cast<char>(units[k] >> 8);
    }
    used_ += 2 * count;
  }

  // Writes the block and returns the token after its ")".
  std::size_t Block(const Element& e, int depth) {
    if (depth >= kMaxDepth) throw Error(DocumentMsg::TextTooDeep, LineOf(e.token), kMaxDepth);
    const Token* token = e.id >= 0 ? Table().Find(e.id) : nullptr;
    if (!token) throw Error(DocumentMsg::TextUnknownBlock, Text(e.token), LineOf(e.token));
    const std::string& name = token->name;
    const std::size_t close = tokens_[e.Open()].length;

    // The elements of this block; comments carry no data.
    if (elements_.size() <= static_cast<std::size_t>(depth)) elements_.resize(depth + 1);
    std::vector<Element>& list = elements_[depth];
    list.clear();
    std::uint16_t flags = 0;
    for (std::size_t i = e.Open() + 1; i < close;) {
      Element child = ElementAt(i);
      if (child.block && Comment(i)) {
        if (auto f = FlagsOf(child)) flags = *f;
        i = After(child);
        continue;
      }
      if (!child.block && KindOf(i) == Tk::Open) throw Error(DocumentMsg::TextUnexpected, "(", name, LineOf(i));
      list.push_back(child);
      i = After(child);
    }

    const std::size_t start = used_;
    PutU16(static_cast<std::uint32_t>(e.id));
    PutU16(flags);
    PutU32(0);  // filled in below
    if (e.hasLabel) {
      PutCounted(e.token + 1u, 0xFF, name, "label");
    } else {
      PutU8(0);
    }

    // The list belongs to this depth; children use the next one, so take
    // a copy of the element before recursing.
    std::size_t k = 0;
    const std::size_t count = list.size();
    for (const LayoutItem& item : token->items) {
      if (item.kind == Kind::Block) {
        auto matches = [&](std::size_t at) {
          const Element& el = elements_[depth][at];
          return el.block && token->Accepts(item, el.id);
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
        throw Error(DocumentMsg::TextMissingValue, name, LineOf(e.token));
      }
      if (item.repeat) {
        const std::size_t trailing = item.trailingScalars;
        while (k + trailing < count && !elements_[depth][k].block) Value(item.kind, elements_[depth][k++].token, name);
        continue;
      }
      if (k == count || elements_[depth][k].block) {
        if (item.optional) continue;
        if (k < count) Unexpected(elements_[depth][k], name);
        throw Error(DocumentMsg::TextMissingValue, name, LineOf(e.token));
      }
      Value(item.kind, elements_[depth][k++].token, name);
    }
    if (k < count) Unexpected(elements_[depth][k], name);
    const auto length = static_cast<std::uint32_t>(used_ - start - 8);
    for (int b = 0; b < 4; ++b) out_[start + 4 + b] = static_cast<char>((length >> (8 * b)) & 0xFF);
    return close + 1;
  }

  [[noreturn]] void Unexpected(const Element& e, const std::string& parent) {
    throw Error(DocumentMsg::TextUnexpected, Text(e.token), parent, LineOf(e.token));
  }

  void Value(Kind kind, std::size_t i, const std::string& block) {
    const TextToken& t = tokens_[i];
    if (kind == Kind::String) return PutCounted(i, 0xFFFF, block, "string");
    // Numbers are ASCII; anything else is no number.
    char buffer[64];
    const bool fits = t.length < sizeof buffer;
    std::size_t n = 0;
    if (fits) {
      if (KindOf(i) == Tk::Word) {
        for (; n < t.length; ++n) {
          const char16_t u = Unit(t.start + n);
          if (u >= 0x80) break;
          buffer[n] = static_cast<char>(u);
        }
      } else {
        const char16_t* u = Elements(i);
        for (; n < t.length; ++n) {
          if (u[n] >= 0x80) break;
          buffer[n] = static_cast<char>(u[n]);
        }
      }
    }
    const char* kindName = kind == Kind::Float ? "float" : kind == Kind::Dword ? "dword" : "integer";
    if (!fits || n != t.length || n == 0) throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), kindName);
    const char* b = buffer;
    const char* end = buffer + n;
    if (kind == Kind::Float) {
      if (*b == '+') ++b;
      float f;
      auto r = std::from_chars(b, end, f);
      if (r.ec != std::errc() || r.ptr != end) {
        // The utility's spellings of the values that are no numbers.
        const std::string_view s(buffer, n);
        if (s == "1.#QNAN" || s == "1.#IND" || s == "-1.#IND" || s == "-1.#QNAN")
          return PutU32(s[0] == '-' ? 0xFFC00000u : 0x7FC00000u);
        if (s == "1.#INF")
          f = std::numeric_limits<float>::infinity();
        else if (s == "-1.#INF")
          f = -std::numeric_limits<float>::infinity();
        else
          throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), kindName);
      }
      std::uint32_t bits;
      std::memcpy(&bits, &f, 4);
      PutU32(bits);
      return;
    }
    if (kind == Kind::Dword) {
      if (const auto v = ShortHex(b, end)) return PutU32(*v);
      std::uint64_t v = 0;
      auto r = std::from_chars(b, end, v, 16);
      if (r.ec != std::errc() || r.ptr != end || v > 0xFFFFFFFFu)
        throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), kindName);
      PutU32(static_cast<std::uint32_t>(v));
      return;
    }
    // uint and sint: either reading of 32 bits is accepted, as tools differ.
    if (*b == '+') ++b;
    if (const auto v = ShortDecimal(b, end)) return PutU32(static_cast<std::uint32_t>(*v));
    std::int64_t v = 0;
    auto r = std::from_chars(b, end, v);
    if (r.ec != std::errc() || r.ptr != end || v < std::numeric_limits<std::int32_t>::min() ||
        v > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
      throw Error(DocumentMsg::TextBadValue, Text(i), block, LineOf(i), kindName);
    PutU32(static_cast<std::uint32_t>(v));
  }

  // The values most numbers are, read without the general conversion: up
  // to 8 hexadecimal digits, and up to 9 decimal digits after an optional
  // "-". Anything else is nothing here and goes the general way, which
  // reads these the same.
  static std::optional<std::uint32_t> ShortHex(const char* b, const char* end) {
    if (b == end || end - b > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (; b != end; ++b) {
      const char c = *b;
      std::uint32_t d;
      if (c >= '0' && c <= '9')
        d = static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f')
        d = static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        d = static_cast<std::uint32_t>(c - 'A' + 10);
      else
        return std::nullopt;
      v = v << 4 | d;
    }
    return v;
  }
  static std::optional<std::int32_t> ShortDecimal(const char* b, const char* end) {
    const bool negative = b != end && *b == '-';
    if (negative) ++b;
    if (b == end || end - b > 9) return std::nullopt;
    std::int32_t v = 0;
    for (; b != end; ++b) {
      if (*b < '0' || *b > '9') return std::nullopt;
      v = v * 10 + (*b - '0');
    }
    return negative ? -v : v;
  }

  const Source& src_;
  std::size_t units_ = 0;  // elements of the text
  TokenList tokens_;
  std::vector<std::vector<Element>> elements_;
  std::u16string scratch_, wide_;
  std::size_t first_ = 0;
  std::string out_;  // reserved ahead; the blocks are its first used_ bytes
  std::size_t used_ = 0;
};

}  // namespace

std::string TextToBlocks(std::string_view unicodeText) {
  const Utf16Source text(unicodeText);
  return TextEncoder<Utf16Source>(text).Encode();
}

std::string LinesToBlocks(const Lines& lines, const std::function<void(int)>& progress) {
  // The lines joined as the text has them, each followed by CR LF.
  std::size_t total = 0;
  for (const std::string& l : lines) total += l.size() + 2;
  std::string joined;
  joined.reserve(total);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    joined += "\r\n";
    if (progress && i > 0 && i % 1000 == 0) progress(static_cast<int>(i));
  }
  const Utf8Source text(joined);
  return TextEncoder<Utf8Source>(text).Encode();
}

}  // namespace lodsmith::shape_form
