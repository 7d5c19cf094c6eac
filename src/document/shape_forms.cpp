#include "document/shape_forms.h"

#include <zlib.h>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/message.h"
#include "document/document_messages.h"
#include "document/float_text.h"

namespace lodsmith {

namespace {

// ---- the token table ---------------------------------------------------------

struct TokenRow {
  int id;
  const char* name;
  const char* layout;
};

constexpr TokenRow kTokenRows[] = {
#include "document/shape_tokens.inc"
};

enum class Kind : std::uint8_t { Uint, Sint, Dword, Float, String, Block };

// One item of a block's layout. A Block item lists the tokens it accepts;
// `any` accepts every token whose layout is known.
struct LayoutItem {
  Kind kind = Kind::Uint;
  bool repeat = false;
  bool optional = false;
  bool any = false;
  std::vector<int> blocks;
  // For a repeat: the plain scalars after it, which take the last values.
  int trailingScalars = 0;
};

struct Token {
  std::string name;
  std::string wideName;  // the name as UTF-16LE bytes, as the text writes it
  bool known = false;    // a layout is known
  std::vector<LayoutItem> items;
  bool Accepts(const LayoutItem& item, int id) const;
};

struct TokenTable {
  std::vector<Token> byId;  // indexed by id; unknown ids have known == false
  std::unordered_map<std::string, int> byName;

  const Token* Find(int id) const {
    if (id < 0 || id >= static_cast<int>(byId.size()) || !byId[id].known) return nullptr;
    return &byId[id];
  }
  std::string Name(int id) const {
    if (id >= 0 && id < static_cast<int>(byId.size()) && !byId[id].name.empty()) return byId[id].name;
    return std::to_string(id);
  }
};

std::vector<std::string> SplitWords(std::string_view text, char separator) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

int ScalarSize(Kind kind) { return kind == Kind::String || kind == Kind::Block ? 0 : 4; }

// The table is built once from the generated rows; a layout word that cannot
// be read is a fault of the generated file, caught by the first test that
// runs.
TokenTable BuildTable() {
  TokenTable table;
  int maxId = 0;
  for (const TokenRow& row : kTokenRows) maxId = std::max(maxId, row.id);
  table.byId.resize(maxId + 1);
  for (const TokenRow& row : kTokenRows) {
    table.byId[row.id].name = row.name;
    for (const char* c = row.name; *c; ++c) table.byId[row.id].wideName += {*c, '\0'};
    table.byName.emplace(row.name, row.id);
  }
  for (const TokenRow& row : kTokenRows) {
    Token& token = table.byId[row.id];
    if (std::string_view(row.layout) == "-") continue;
    token.known = true;
    for (std::string word : SplitWords(row.layout, ' ')) {
      LayoutItem item;
      if (word.size() >= 2 && word.front() == '[' && word.back() == ']') {
        item.optional = true;
        word = word.substr(1, word.size() - 2);
      }
      if (word.size() >= 2 && word.front() == '{' && word.back() == '}') {
        item.repeat = true;
        word = word.substr(1, word.size() - 2);
      }
      if (word.size() >= 2 && word.front() == '<' && word.back() == '>') {
        item.kind = Kind::Block;
        for (const std::string& name : SplitWords(std::string_view(word).substr(1, word.size() - 2), '|')) {
          if (name == "*") {
            item.any = true;
          } else if (auto it = table.byName.find(name); it != table.byName.end()) {
            item.blocks.push_back(it->second);
          }
        }
      } else if (word == "uint") {
        item.kind = Kind::Uint;
      } else if (word == "sint") {
        item.kind = Kind::Sint;
      } else if (word == "dword") {
        item.kind = Kind::Dword;
      } else if (word == "float") {
        item.kind = Kind::Float;
      } else if (word == "string") {
        item.kind = Kind::String;
      }
      token.items.push_back(std::move(item));
    }
    for (std::size_t i = 0; i < token.items.size(); ++i) {
      if (!token.items[i].repeat) continue;
      int trailing = 0;
      for (std::size_t j = i + 1; j < token.items.size(); ++j)
        if (!token.items[j].repeat && !token.items[j].optional && ScalarSize(token.items[j].kind) == 4) ++trailing;
      token.items[i].trailingScalars = trailing;
    }
  }
  return table;
}

const TokenTable& Table() {
  static const TokenTable table = BuildTable();
  return table;
}

bool Token::Accepts(const LayoutItem& item, int id) const {
  if (item.any) return Table().Find(id) != nullptr;
  for (int b : item.blocks)
    if (b == id) return true;
  return false;
}

// Real shapes nest about ten blocks deep; anything far deeper is damage, and
// the limit keeps the recursion of both directions bounded.
constexpr int kMaxDepth = 64;

constexpr std::string_view kTextHeader = "SIMISA@@@@@@@@@@JINX0s1t______";
constexpr std::string_view kBinaryHeader = "SIMISA@@@@@@@@@@JINX0s1b______\r\n";
constexpr std::string_view kInflatedBinaryHeader = "JINX0s1b______\r\n";
constexpr std::string_view kCompressedMagic = "SIMISA@F";
constexpr std::size_t kCompressedHeaderSize = 16;
// The comment that carries a block's flags word in text: "skip ( block_attr
// 0001 )", four hex digits. Readers that do not know it skip it as any
// comment; words the analysis searches for ("flags") stay out of it.
constexpr std::string_view kFlagsComment = "skip";
constexpr std::string_view kFlagsWord = "block_attr";

std::uint32_t ReadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t ReadU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// ---- binary blocks -> text -----------------------------------------------------

// The utility wraps a line of values when it would pass this many characters.
constexpr int kLineWidth = 987;

class TextWriter {
public:
  TextWriter(FloatText floats, std::size_t expected) : floats_(floats) {
    out_.reserve(expected);
    char* p = Room(1);
    p[0] = '\xFF';
    p[1] = '\xFE';
    Done(p + 2);
    Ascii(kTextHeader);
    NewLine();
  }

  // Opens a block on a line of its own; `wideName` is the name's UTF-16LE
  // bytes, copied as they are.
  void Open(std::string_view wideName, const char16_t* label, std::size_t labelUnits, int depth) {
    NewLine();
    Tabs(depth);
    char* p = Room(wideName.size() / 2);
    std::memcpy(p, wideName.data(), wideName.size());
    Done(p + wideName.size());
    int chars = static_cast<int>(wideName.size() / 2);
    if (labelUnits > 0) {
      Ascii(" ");
      chars += 1 + Word(label, labelUnits);
    }
    Ascii(" (");
    // The first line of a block counts each leading tab as four more characters.
    pos_ = 4 * depth + chars + 3;
    depth_ = depth;
  }

  // A block's flags word is not part of the utility's text; a block whose
  // flags are not zero carries them in a comment of its own at its end
  // (kFlagsComment), which the text reader gives back to the block.
  void Close(bool hadChildren, int depth, std::uint16_t flags) {
    if (flags != 0) FlagsComment(flags, hadChildren, depth);
    if (hadChildren) {
      NewLine();
      Tabs(depth);
      Ascii(")");
      pos_ = 2;
    } else {
      Value(")", 1, depth);
    }
  }

  void End() { NewLine(); }

  void FlagsComment(std::uint16_t flags, bool ownLine, int depth) {
    static constexpr char kHex[] = "0123456789abcdef";
    char hex[4];
    for (int i = 3; i >= 0; --i, flags = static_cast<std::uint16_t>(flags >> 4)) hex[i] = kHex[flags & 15];
    if (ownLine) {
      NewLine();
      Tabs(depth + 1);
      Ascii(kFlagsComment);
      Ascii(" ( ");
      Ascii(kFlagsWord);
      Ascii(" ");
      Ascii(std::string_view(hex, 4));
      Ascii(" )");
      pos_ = 0;
      return;
    }
    Value(kFlagsComment.data(), static_cast<int>(kFlagsComment.size()), depth);
    Value("(", 1, depth);
    Value(kFlagsWord.data(), static_cast<int>(kFlagsWord.size()), depth);
    Value(hex, 4, depth);
    Value(")", 1, depth);
  }

  void Uint(std::uint32_t v, int depth) {
    char buffer[kFloatTextMax];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    Number(buffer, static_cast<int>(r.ptr - buffer), depth);
  }
  void Sint(std::int32_t v, int depth) {
    char buffer[kFloatTextMax];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    Number(buffer, static_cast<int>(r.ptr - buffer), depth);
  }
  void Dword(std::uint32_t v, int depth) {
    static constexpr char kHex[] = "0123456789abcdef";
    char buffer[kFloatTextMax];
    for (int i = 7; i >= 0; --i, v >>= 4) buffer[i] = kHex[v & 15];
    Number(buffer, 8, depth);
  }
  void Float(float v, int depth) {
    char buffer[kFloatTextMax];
    const int n = floats_ == FloatText::Lossless ? FormatLosslessFloat(v, buffer) : FormatUtilityFloat(v, buffer);
    Number(buffer, n, depth);
  }
  void String(const unsigned char* units, std::size_t count, int depth) {
    scratch_.resize(count);
    for (std::size_t i = 0; i < count; ++i) scratch_[i] = static_cast<char16_t>(ReadU16(units + 2 * i));
    int length = QuotedLength(scratch_.data(), count);
    Wrap(length, depth);
    Ascii(" ");
    Word(scratch_.data(), count);
    pos_ += length + 1;
  }

  std::string Take() {
    out_.resize(used_);
    return std::move(out_);
  }

private:
  // The text is written straight into the buffer, two bytes a character,
  // rather than appended byte by byte: appending was most of the cost of
  // reading a large shape. Room() makes space for `units` more characters
  // and returns where they go; Done() takes what was written.
  //
  // The buffer's room is reserved ahead but made part of the string a
  // slice at a time: a string's size is zero-filled, and filling all of a
  // generous estimate touched (and faulted in) pages the text never used.
  // The slice is zero-filled while it is in the cache, just before the text
  // overwrites it.
  char* Room(std::size_t units) {
    const std::size_t need = used_ + 2 * units;
    if (need > out_.size()) out_.resize(need + kSlice);
    return out_.data() + used_;
  }
  static constexpr std::size_t kSlice = 64 * 1024;
  void Done(const char* end) { used_ = static_cast<std::size_t>(end - out_.data()); }
  static char* Put(char* p, char c) {
    p[0] = c;
    p[1] = '\0';
    return p + 2;
  }
  static char* PutUnit(char* p, char16_t u) {
    p[0] = static_cast<char>(u & 0xFF);
    p[1] = static_cast<char>(u >> 8);
    return p + 2;
  }
  void Ascii(std::string_view s) {
    char* p = Room(s.size());
    for (char c : s) p = Put(p, c);
    Done(p);
  }
  void NewLine() { Ascii("\r\n"); }
  void Tabs(int depth) {
    char* p = Room(depth);
    for (int i = 0; i < depth; ++i) p = Put(p, '\t');
    Done(p);
  }

  // A value on the current line while it fits, else on a new line at the
  // block's depth, the old line ending with its blank.
  void Wrap(int length, int depth) {
    if (pos_ + length + 1 <= kLineWidth) return;
    Ascii(" ");
    NewLine();
    Tabs(depth);
    pos_ = 0;
    wrapped_ = true;
  }
  // Value() for a number in a buffer of kFloatTextMax bytes: its characters
  // are widened sixteen at a time, whatever their count, which is cheaper
  // than a loop of the number's length (numbers are most of a large text).
  void Number(const char* buffer, int length, int depth) {
    if (length > 16) return Value(buffer, length, depth);
    Wrap(length, depth);
    char* p = Room(17);
    if (wrapped_)
      wrapped_ = false;
    else
      p = Put(p, ' ');
    Widen16(buffer, p);
    Done(p + 2 * length);
    pos_ += length + 1;
  }
  static void Widen16(const char* in, char* out) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(bytes, zero));
#else
    for (int i = 0; i < 16; ++i) out = Put(out, in[i]);
#endif
  }
  void Value(const char* text, int length, int depth) {
    Wrap(length, depth);
    char* p = Room(length + 1);
    if (wrapped_)
      wrapped_ = false;
    else
      p = Put(p, ' ');
    for (int i = 0; i < length; ++i) p = Put(p, text[i]);
    Done(p);
    pos_ += length + 1;
  }

  static bool NeedsQuotes(const char16_t* s, std::size_t n) {
    if (n == 0) return true;
    for (std::size_t i = 0; i < n; ++i) {
      char16_t c = s[i];
      // Control characters too: the reader takes them for blanks.
      if (c <= ' ' || c == '(' || c == ')' || c == '"') return true;
    }
    return false;
  }
  // Inside quotes a backslash is doubled where a reader would otherwise
  // take it with the character after it: before a quote, before another
  // backslash and at the end. Every other backslash (a path's) stays single,
  // as the utility writes it.
  static bool Escaped(const char16_t* s, std::size_t n, std::size_t i) {
    return s[i] == '"' || (s[i] == '\\' && (i + 1 == n || s[i + 1] == '"' || s[i + 1] == '\\'));
  }
  static int QuotedLength(const char16_t* s, std::size_t n) {
    if (!NeedsQuotes(s, n)) return static_cast<int>(n);
    int length = static_cast<int>(n) + 2;
    for (std::size_t i = 0; i < n; ++i)
      if (Escaped(s, n, i)) ++length;
    return length;
  }
  // Writes a string or label, quoted where a bare word would not read back.
  int Word(const char16_t* s, std::size_t n) {
    const int length = QuotedLength(s, n);
    char* p = Room(length);
    if (length == static_cast<int>(n)) {
      for (std::size_t i = 0; i < n; ++i) p = PutUnit(p, s[i]);
    } else {
      p = Put(p, '"');
      for (std::size_t i = 0; i < n; ++i) {
        if (Escaped(s, n, i)) p = Put(p, '\\');
        p = PutUnit(p, s[i]);
      }
      p = Put(p, '"');
    }
    Done(p);
    return length;
  }

  FloatText floats_;
  std::string out_;  // sized ahead; the text is its first used_ bytes
  std::size_t used_ = 0;
  std::u16string scratch_;
  int pos_ = 0;
  int depth_ = 0;
  bool wrapped_ = false;
};

class BinaryReader {
public:
  // `data` is the whole uncompressed form; `base` is added to offsets in
  // messages so that they count from the start of the blocks' file.
  BinaryReader(std::string_view data, std::size_t base, TextWriter& writer)
      : data_(reinterpret_cast<const unsigned char*>(data.data())), size_(data.size()), base_(base), out_(writer) {}

  void ReadAll(std::size_t from) {
    std::size_t p = from;
    while (p < size_) p = Block(p, size_, 0, nullptr);
  }

private:
  std::size_t Offset(std::size_t p) const { return base_ + p; }

  // Reads the block at p, which must end by `end`; returns the offset after it.
  std::size_t Block(std::size_t p, std::size_t end, int depth, const Token* parent) {
    if (depth >= kMaxDepth) throw Error(DocumentMsg::FormTooDeep, Offset(p), kMaxDepth);
    if (end - p < 9) throw Error(DocumentMsg::FormTruncated, Offset(end));
    const int id = ReadU16(data_ + p);
    const std::uint16_t flags = ReadU16(data_ + p + 2);
    const std::uint32_t length = ReadU32(data_ + p + 4);
    const Token* token = Table().Find(id);
    if (!token) throw Error(DocumentMsg::FormUnknownToken, id, Offset(p));
    (void)parent;
    const std::size_t room = end - (p + 8);
    if (length > room) throw Error(DocumentMsg::FormBlockPastParent, token->name, Offset(p), length, room);
    const std::size_t blockEnd = p + 8 + length;
    std::size_t q = p + 8;
    if (q >= blockEnd) throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
    const std::size_t labelUnits = data_[q++];
    if (labelUnits * 2 > blockEnd - q) throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
    label_.resize(labelUnits);
    for (std::size_t i = 0; i < labelUnits; ++i) label_[i] = static_cast<char16_t>(ReadU16(data_ + q + 2 * i));
    q += 2 * labelUnits;
    out_.Open(token->wideName, label_.data(), labelUnits, depth);

    bool hadChildren = false;
    std::uint32_t lastCount = 0;
    bool countSeen = false;
    std::size_t entries = 0;
    bool repeated = false;
    for (const LayoutItem& item : token->items) {
      if (item.kind == Kind::Block) {
        if (item.repeat) {
          repeated = true;
          const std::size_t trailing = 4u * item.trailingScalars;
          while (blockEnd - q > trailing && blockEnd - q >= 2 && token->Accepts(item, ReadU16(data_ + q))) {
            q = Block(q, blockEnd, depth + 1, token);
            hadChildren = true;
            ++entries;
          }
          continue;
        }
        const bool present = q < blockEnd && blockEnd - q >= 2 && token->Accepts(item, ReadU16(data_ + q));
        if (!present) {
          if (item.optional) continue;
          if (q < blockEnd && blockEnd - q >= 2) {
            const int found = ReadU16(data_ + q);
            if (!Table().Find(found)) throw Error(DocumentMsg::FormUnknownToken, found, Offset(q));
            throw Error(DocumentMsg::FormUnexpectedBlock, Table().Name(found), token->name, Offset(q));
          }
          throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
        }
        q = Block(q, blockEnd, depth + 1, token);
        hadChildren = true;
        continue;
      }
      if (item.repeat) {
        repeated = true;
        const std::size_t trailing = 4u * item.trailingScalars;
        if (blockEnd - q < trailing || (blockEnd - q - trailing) % 4 != 0)
          throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
        const std::size_t n = (blockEnd - q - trailing) / 4;
        Scalars(item.kind, q, n, depth);
        q += 4 * n;
        entries += n;
        continue;
      }
      if (item.optional && q == blockEnd) continue;
      if (item.kind == Kind::String) {
        if (blockEnd - q < 2) throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
        const std::size_t units = ReadU16(data_ + q);
        if (units * 2 > blockEnd - q - 2) throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
        out_.String(data_ + q + 2, units, depth);
        q += 2 + units * 2;
        continue;
      }
      if (blockEnd - q < 4) throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
      if (item.kind == Kind::Uint && !countSeen) {
        lastCount = ReadU32(data_ + q);
        countSeen = true;
      }
      Scalar(item.kind, q, depth);
      q += 4;
    }
    if (q != blockEnd) {
      if (blockEnd - q >= 2) {
        const int found = ReadU16(data_ + q);
        if (Table().Find(found) && blockEnd - q >= 9)
          throw Error(DocumentMsg::FormUnexpectedBlock, Table().Name(found), token->name, Offset(q));
      }
      throw Error(DocumentMsg::FormValuesDoNotFit, token->name, Offset(p));
    }
    // The leading count may count pairs (normal_idxs) but never more than
    // the entries there are.
    if (repeated && countSeen && lastCount > entries)
      throw Error(DocumentMsg::FormCountExceedsBlock, token->name, Offset(p), lastCount, entries);
    out_.Close(hadChildren, depth, flags);
    return blockEnd;
  }

  // n values of one kind from q: the kind is decided once for the run
  // rather than for each value, as lists of thousands are common.
  void Scalars(Kind kind, std::size_t q, std::size_t n, int depth) {
    const unsigned char* v = data_ + q;
    const unsigned char* end = v + 4 * n;
    switch (kind) {
      case Kind::Float:
        for (; v != end; v += 4) {
          const std::uint32_t bits = ReadU32(v);
          float f;
          std::memcpy(&f, &bits, 4);
          out_.Float(f, depth);
        }
        break;
      case Kind::Uint:
        for (; v != end; v += 4) out_.Uint(ReadU32(v), depth);
        break;
      default:
        for (std::size_t i = 0; i < n; ++i) Scalar(kind, q + 4 * i, depth);
        break;
    }
  }

  void Scalar(Kind kind, std::size_t q, int depth) {
    const std::uint32_t v = ReadU32(data_ + q);
    switch (kind) {
      case Kind::Uint: out_.Uint(v, depth); break;
      case Kind::Sint: out_.Sint(static_cast<std::int32_t>(v), depth); break;
      case Kind::Dword: out_.Dword(v, depth); break;
      case Kind::Float: {
        float f;
        std::memcpy(&f, &v, 4);
        out_.Float(f, depth);
        break;
      }
      default: break;
    }
  }

  const unsigned char* data_;
  std::size_t size_;
  std::size_t base_;
  TextWriter& out_;
  std::u16string label_;
};

std::string BlocksToText(std::string_view data, std::size_t from, std::size_t base, FloatText floats) {
  // The text takes about five times the bytes of the blocks.
  TextWriter writer(floats, data.size() * 4 + 256);
  BinaryReader reader(data, base, writer);
  reader.ReadAll(from);
  writer.End();
  return writer.Take();
}

std::string WidenBytes(std::string_view bytes) {
  std::string out;
  out.reserve(2 + bytes.size() * 2);
  out += "\xFF\xFE";
  for (char c : bytes) {
    out += c;
    out += '\0';
  }
  return out;
}

// Inflates a zlib stream that announces `announced` bytes. The buffer grows
// with what the stream really gives, so a false length costs no memory.
std::string Inflate(std::string_view stream, std::uint32_t announced) {
  // The room is reserved and then zero-filled a slice at a time just ahead
  // of inflate, whose writes then find it in the cache.
  constexpr std::size_t kSlice = 256 * 1024;
  std::string out;
  out.reserve(std::min<std::size_t>(announced, stream.size() * 8 + 4096));
  out.resize(std::min<std::size_t>(announced, kSlice));
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw Error(DocumentMsg::FormBadStream, "init");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  std::size_t inLeft = stream.size();
  std::size_t produced = 0;
  int rc = Z_OK;
  while (true) {
    if (produced == out.size()) {
      if (out.size() >= announced) {
        // Full: one more byte would prove the length too small.
        char probe;
        z.next_out = reinterpret_cast<Bytef*>(&probe);
        z.avail_out = 1;
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(inLeft, 1u << 30));
        z.avail_in = chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        inLeft -= chunk - z.avail_in;
        if (z.avail_out == 0) {
          inflateEnd(&z);
          throw Error(DocumentMsg::FormLengthMismatch, announced, std::to_string(announced) + "+");
        }
        break;
      }
      // Past the reserved room the string grows by doubling, so a false
      // length still costs no more than the data gives.
      out.resize(std::min<std::size_t>(announced, out.size() + kSlice));
    }
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, 1u << 30));
    const uInt chunk = static_cast<uInt>(std::min<std::size_t>(inLeft, 1u << 30));
    z.avail_in = chunk;
    const uInt before = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    produced += before - z.avail_out;
    inLeft -= chunk - z.avail_in;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && inLeft == 0 && z.avail_out > 0) break;  // the stream ends early
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      const std::string why = z.msg ? z.msg : std::to_string(rc);
      inflateEnd(&z);
      throw Error(DocumentMsg::FormBadStream, why);
    }
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) throw Error(DocumentMsg::FormTruncated, kCompressedHeaderSize + stream.size());
  if (produced != announced) throw Error(DocumentMsg::FormLengthMismatch, announced, produced);
  out.resize(produced);
  return out;
}

std::string Deflate(std::string_view data) {
  std::string out;
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  out.resize(kCompressedHeaderSize + size);
  if (compress2(reinterpret_cast<Bytef*>(out.data() + kCompressedHeaderSize), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw Error(DocumentMsg::FormBadStream, "compress");
  out.resize(kCompressedHeaderSize + size);
  std::memcpy(out.data(), kCompressedMagic.data(), 8);
  const auto n = static_cast<std::uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<char>(n >> (8 * i));
  std::memcpy(out.data() + 12, "@@@@", 4);
  return out;
}

// ---- text -> binary blocks ----------------------------------------------------------

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

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// 8-bit text from the first line that holds text on: the empty lines (CR,
// blanks and tabs only) some tools write before the header are dropped.
std::string_view FromFirstTextLine(std::string_view bytes) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n')
      start = i + 1;
    else if (c != '\r' && c != ' ' && c != '\t')
      break;
  }
  return bytes.substr(start);
}

// The inflated body of a compressed file, its header checked.
std::string InflateFile(std::string_view bytes) {
  if (!StartsWith(bytes, kCompressedMagic)) throw Error(DocumentMsg::FormNotThisForm);
  if (bytes.size() < kCompressedHeaderSize) throw Error(DocumentMsg::FormTruncated, bytes.size());
  if (bytes.substr(12, 4) != "@@@@") throw Error(DocumentMsg::FormNotThisForm);
  const std::uint32_t announced = ReadU32(reinterpret_cast<const unsigned char*>(bytes.data()) + 8);
  return Inflate(bytes.substr(kCompressedHeaderSize), announced);
}

}  // namespace

std::optional<ShapeForm> DetectShapeForm(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return ShapeForm::UnicodeText;
  if (StartsWith(bytes, std::string_view("S\0I\0M\0I\0S\0A\0", 12))) return ShapeForm::UnicodeTextNoBom;
  if (StartsWith(bytes, kCompressedMagic)) return ShapeForm::Compressed;
  if (StartsWith(bytes, kBinaryHeader.substr(0, 24))) return ShapeForm::Binary;
  if (StartsWith(FromFirstTextLine(bytes), "SIMISA@@")) return ShapeForm::EightBitText;
  return std::nullopt;
}

std::string ShapeFormToUnicodeText(std::string_view bytes, ShapeForm form, FloatText floats) {
  switch (form) {
    case ShapeForm::UnicodeText: return std::string(bytes);
    case ShapeForm::UnicodeTextNoBom: return "\xFF\xFE" + std::string(bytes);
    case ShapeForm::EightBitText: return WidenBytes(FromFirstTextLine(bytes));
    case ShapeForm::Binary:
      if (!StartsWith(bytes, kBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
      return BlocksToText(bytes, kBinaryHeader.size(), 0, floats);
    case ShapeForm::Compressed: {
      const std::string inflated = InflateFile(bytes);
      if (StartsWith(inflated, kInflatedBinaryHeader))
        return BlocksToText(inflated, kInflatedBinaryHeader.size(), 0, floats);
      // A compressed text body reads as the text form it is in.
      if (StartsWith(inflated, std::string_view("J\0I\0N\0X\0", 8)))
        return WidenBytes(kTextHeader.substr(0, 16)) + inflated;
      if (StartsWith(inflated, "JINX0s1t")) return WidenBytes(std::string(kTextHeader.substr(0, 16)) + inflated);
      throw Error(DocumentMsg::FormNotThisForm);
    }
  }
  throw Error(DocumentMsg::FormNotThisForm);
}

std::string ShapeFormBlocks(std::string_view bytes, ShapeForm form) {
  if (form == ShapeForm::Binary) {
    if (!StartsWith(bytes, kBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
    return std::string(bytes.substr(kBinaryHeader.size()));
  }
  if (form != ShapeForm::Compressed) throw Error(DocumentMsg::FormNotThisForm);
  std::string inflated = InflateFile(bytes);
  if (!StartsWith(inflated, kInflatedBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
  return inflated.substr(kInflatedBinaryHeader.size());
}

std::string UnicodeTextToShapeForm(std::string_view unicodeText, ShapeForm form) {
  if (form == ShapeForm::UnicodeText) return std::string(unicodeText);
  TextEncoder encoder(unicodeText);
  std::string blocks = encoder.Encode();
  if (form == ShapeForm::Compressed) return Deflate(blocks);
  if (form == ShapeForm::Binary) return std::string(kBinaryHeader.substr(0, 16)) + blocks;
  // The text forms are the window's own business; this program writes
  // Unicode text for them.
  return std::string(unicodeText);
}

}  // namespace lodsmith
