// Binary blocks -> the utility's Unicode text.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "core/message.h"
#include "document/document_messages.h"
#include "document/float_text.h"
#include "document/shape_form_common.h"

namespace lodsmith::shape_form {

namespace {

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

}  // namespace

std::string BlocksToText(std::string_view data, std::size_t from, std::size_t base, FloatText floats) {
  // The text takes about five times the bytes of the blocks.
  TextWriter writer(floats, data.size() * 4 + 256);
  BinaryReader reader(data, base, writer);
  reader.ReadAll(from);
  writer.End();
  return writer.Take();
}

}  // namespace lodsmith::shape_form
