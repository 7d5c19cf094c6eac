// The reading step of the structural check: one pass over the characters
// of the shape that finds its blocks, checks the brackets, names and counted
// lists, and keeps the blocks the structure checks read.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "document/shape_check_kinds.h"
#include "document/shape_check_parts.h"

namespace lodsmith::shape_check {

namespace {

// The class of every byte: the scan below looks at each character of the
// shape once, so it asks one table instead of four comparisons.
enum CharClass : unsigned char { kWordChar, kBlank, kOpen, kClose, kQuote };

struct CharClasses {
  CharClass of[256];
  constexpr CharClasses() : of() {
    for (auto& c : of) c = kWordChar;
    of[static_cast<unsigned char>(' ')] = kBlank;
    of[static_cast<unsigned char>('\t')] = kBlank;
    of[static_cast<unsigned char>('\r')] = kBlank;
    of[static_cast<unsigned char>('\n')] = kBlank;
    of[static_cast<unsigned char>('(')] = kOpen;
    of[static_cast<unsigned char>(')')] = kClose;
    of[static_cast<unsigned char>('"')] = kQuote;
  }
};
constexpr CharClasses kChars;

inline CharClass ClassOf(char c) { return kChars.of[static_cast<unsigned char>(c)]; }

// The first "(", ")" or quote at or after p, or `end`. Eight characters are
// looked at together where the machine stores the first of them lowest (the
// lowest matching byte is then the first match).
inline std::size_t NextBracketOrQuote(const std::string& s, std::size_t p) {
  const std::size_t end = s.size();
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    auto bytesEqual = [](uint64_t x, unsigned char c) {
      const uint64_t y = x ^ (kOnes * c);
      return (y - kOnes) & ~y & kHighs;
    };
    for (; p + 8 <= end; p += 8) {
      uint64_t x;
      std::memcpy(&x, s.data() + p, 8);
      const uint64_t m = bytesEqual(x, '(') | bytesEqual(x, ')') | bytesEqual(x, '"');
      if (m) return p + static_cast<std::size_t>(std::countr_zero(m) >> 3);
    }
  }
  while (p < end && ClassOf(s[p]) <= kBlank) ++p;
  return p;
}

// A vertex index: optional sign and digits, within 32 bits (as ParseInt32),
// read without a call for each of the many indices of a large shape.
inline bool ReadIndex(std::string_view s, int64_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    i = 1;
  }
  if (i >= s.size() || s.size() - i > 10) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = v;
  return true;
}

// A block open at the current position of the text.
struct Frame {
  std::string_view name;
  int line = 0;
  const BlockKind* kind = nullptr;  // nullptr: a block the checks do not know
  int node = -1;                    // its node when it is kept
  bool reads = true;                // false: nobody reads its values
  int valueCount = 0;
  std::string_view first;
  int entries = 0;
  int blocks = 0;
};

constexpr int64_t kNoValue = -999999;

class BlockReader {
public:
  explicit BlockReader(ProblemLog& log) : log_(log) {}

  BlockTree Read(const Lines& lines) {
    Parse(lines);
    return std::move(tree_);
  }

private:
  struct PendingWord {
    std::string_view text;
    int line = 0;
  };

  // ---- Parsing ------------------------------------------------------------------

  // One pass over the characters. A word followed by "(" opens a block; so
  // does a named block's keyword followed by its label and "(". Up to two
  // words wait for the next "(" before they count as values. Inside a block
  // whose values nobody reads (a vertex, a point, ...) the words are not
  // taken apart at all: only brackets and the names of blocks count there.
  void Parse(const Lines& lines) {
    lines_ = &lines;
    open_.reserve(32);
    for (std::size_t i = 1; i < lines.size(); ++i) ReadLine(lines[i], static_cast<int>(i));
    FlushWords();
    CloseUnclosed();
  }

  void ReadLine(const std::string& s, int line) {
    const std::size_t end = s.size();
    std::size_t p = 0;
    while (p < end) {
      if (InQuietBlock()) {
        p = SkipQuiet(s, line, p);
        continue;
      }
      while (p < end && ClassOf(s[p]) == kBlank) ++p;
      if (p == end) break;
      switch (ClassOf(s[p])) {
        case kBlank: break;
        case kOpen:
          OpenParen(line);
          Mark(line, ++p);
          break;
        case kClose:
          FlushWords();
          if (open_.empty())
            AddStray(")", line);
          else
            Close();
          Mark(line, ++p);
          break;
        case kQuote:
        case kWordChar: p = ReadToken(s, line, p); break;
      }
    }
  }

  // The word or quoted text at p; returns where it ends. In an open list of
  // indices or counts, the run of values from p on is read in one go.
  std::size_t ReadToken(const std::string& s, int line, std::size_t p) {
    if (!open_.empty() && open_.back().node >= 0 &&
        (open_.back().kind->values == Values::Indices || open_.back().kind->values == Values::Count)) {
      // A waiting word followed by a word is a value, unless it is a
      // named block's keyword (the word may be its label).
      if (waiting_ == 1 && !IsNamedBlock(words_[0].text)) {
        AddValue(words_[0]);
        waiting_ = 0;
      }
      if (waiting_ == 0) {
        const std::size_t q = ReadWords(s, line, p);
        if (q != p) return q;
      }
    }
    const std::size_t e = TokenEnd(s, p);
    OnWord(std::string_view(s).substr(p, e - p), line);
    return e;
  }

  // Every block still open at the end: the innermost first.
  void CloseUnclosed() {
    while (!open_.empty()) {
      const Frame& f = open_.back();
      if (log_.Room(ShapeFault::UnclosedBlock, f.name))
        log_.AddSyntax(ShapeFault::UnclosedBlock, f.name, f.line,
                       Message(DocumentMsg::CheckUnclosedBlock, f.name, LineNo(f.line)));
      Close();
    }
  }

  // The end of the token that starts at p: a quoted text runs to its closing
  // quote (or the end of the line); a word runs to a blank or bracket, a
  // quote inside it belonging to it.
  static std::size_t TokenEnd(const std::string& s, std::size_t p) {
    const std::size_t end = s.size();
    std::size_t e = p + 1;
    if (s[p] == '"') {
      // Inside the quotes \\ and \" stand for a backslash and a quote.
      for (; e < end && s[e] != '"'; ++e)
        if (s[e] == '\\' && e + 1 < end && (s[e + 1] == '"' || s[e + 1] == '\\')) ++e;
      return e < end ? e + 1 : end;
    }
    while (e < end && (ClassOf(s[e]) == kWordChar || ClassOf(s[e]) == kQuote)) ++e;
    return e;
  }

  // The words of an open list of indices, normals or flags from p on, read
  // without the word-by-word bookkeeping where it is not needed: a word
  // followed on its line by another word is a value whatever comes after
  // (only the word right before a "(" names a block), so runs of them are
  // read here in one go. The word before a bracket, the last word of the
  // line and a named block's keyword wait as in OnWord. Returns where it
  // stopped; p itself at a word with a quote in it, which is left to the
  // tokenizer.
  std::size_t ReadWords(const std::string& s, int line, std::size_t p) {
    const std::size_t end = s.size();
    Frame& f = open_.back();
    Node& n = tree_.nodes[f.node];
    const bool indices = f.kind->values == Values::Indices;
    int64_t lo = n.minIndex, hi = n.maxIndex;
    while (p < end && ClassOf(s[p]) == kWordChar) {
      // The word, read as a plain decimal number on the way (digits only,
      // at most nine of them: anything else goes through ReadIndex).
      std::size_t e = p;
      int64_t number = 0;
      bool plainNumber = true;
      for (; e < end && ClassOf(s[e]) == kWordChar; ++e) {
        const unsigned digit = static_cast<unsigned char>(s[e]) - unsigned{'0'};
        plainNumber &= digit < 10;
        if (plainNumber && e - p < 10) number = number * 10 + digit;  // longer words go through ReadIndex
      }
      if (e < end && ClassOf(s[e]) == kQuote) break;
      const std::string_view w(s.data() + p, e - p);
      std::size_t next = e;
      while (next < end && ClassOf(s[next]) == kBlank) ++next;
      if (next == end || ClassOf(s[next]) != kWordChar || IsNamedBlock(w)) {
        OnWord(w, line);
        p = e;
        break;
      }
      if (f.valueCount++ == 0) {
        f.first = w;
      } else if (indices) {
        if (plainNumber && e - p <= 9) {
          lo = std::min(lo, number);
          hi = std::max(hi, number);
        } else {
          n.minIndex = lo;
          n.maxIndex = hi;
          AddIndex(n, w);
          lo = n.minIndex;
          hi = n.maxIndex;
        }
      }
      p = next;
    }
    n.minIndex = lo;
    n.maxIndex = hi;
    return p;
  }

  static void AddIndex(Node& n, std::string_view w) {
    int64_t x;
    if (!ReadIndex(w, x)) {
      if (!n.badIndex) n.firstBad = w;
      n.badIndex = true;
    } else {
      n.minIndex = std::min(n.minIndex, x);
      n.maxIndex = std::max(n.maxIndex, x);
    }
  }

  void Mark(int line, std::size_t pos) {
    markLine_ = line;
    markPos_ = pos;
  }

  bool InQuietBlock() const { return !open_.empty() && !open_.back().reads; }

  // Inside a block whose values nobody reads: skips to the next bracket
  // outside a quoted text and handles it. Returns where it stopped: the end
  // of the line, or just after a bracket that leaves such blocks.
  std::size_t SkipQuiet(const std::string& s, int line, std::size_t p) {
    const std::size_t end = s.size();
    std::size_t quotedEnd = std::string::npos;  // just after the last quoted text
    while (p < end) {
      p = NextBracketOrQuote(s, p);
      if (p == end) break;
      const char c = s[p];
      if (c == '"') {
        // A quote opens a quoted text only where a token starts (inside a
        // word it belongs to the word).
        const bool starts = p == 0 || p == quotedEnd || ClassOf(s[p - 1]) == kBlank || ClassOf(s[p - 1]) == kOpen ||
                            ClassOf(s[p - 1]) == kClose;
        if (starts) {
          p = TokenEnd(s, p);
          quotedEnd = p;
        } else {
          ++p;
        }
        continue;
      }
      if (c == ')') {
        Close();
      } else {
        OpenQuiet(line, p);
      }
      Mark(line, ++p);
      if (!InQuietBlock()) break;
    }
    return p;
  }

  // A "(" inside a quiet block: its name is the word before it, or the
  // named block's keyword before that word. The words are found walking back
  // from the bracket (over line ends, never past the last bracket read);
  // anything unusual on the way (a quote, a bracket inside a quoted text) is
  // left to the tokenizer, reading forward from the last bracket.
  void OpenQuiet(int line, std::size_t paren) {
    PendingWord found[2];
    int n = 0;
    bool plain = true;
    int l = line;
    std::size_t q = paren;
    while (n < 2) {
      const std::string& s = (*lines_)[l];
      const std::size_t lo = l == markLine_ ? markPos_ : 0;
      while (q > lo && ClassOf(s[q - 1]) == kBlank) --q;
      if (q == lo) {
        if (l == markLine_) break;
        --l;
        q = (*lines_)[l].size();
        continue;
      }
      const std::size_t e = q;
      while (q > lo && ClassOf(s[q - 1]) == kWordChar) --q;
      if (e == q || (q > lo && ClassOf(s[q - 1]) != kBlank)) {
        plain = false;
        break;
      }
      found[n++] = {std::string_view(s).substr(q, e - q), l};
    }
    if (!plain) {
      n = WordsByTokens(line, paren, found);
    } else if (n == 2) {
      std::swap(found[0], found[1]);  // in reading order
    }
    if (n == 0) {
      if (log_.Room(ShapeFault::UnnamedBlock, open_.back().name))
        log_.AddSyntax(ShapeFault::UnnamedBlock, open_.back().name, line,
                       Message(DocumentMsg::CheckUnnamedBlock, LineNo(line)));
      return;
    }
    const PendingWord& name = n == 2 && IsNamedBlock(found[0].text) ? found[0] : found[n - 1];
    Open(name.text, name.line);
  }

  // The words waiting for the "(" at (line, paren), read forward from the
  // last bracket as the full scan reads them. Returns how many (0 to 2).
  int WordsByTokens(int line, std::size_t paren, PendingWord (&words)[2]) const {
    int waiting = 0;
    for (int l = markLine_; l <= line; ++l) {
      const std::string& s = (*lines_)[l];
      std::size_t p = l == markLine_ ? markPos_ : 0;
      const std::size_t end = l == line ? paren : s.size();
      while (p < end) {
        if (ClassOf(s[p]) == kBlank) {
          ++p;
          continue;
        }
        const std::size_t e = std::min(TokenEnd(s, p), end);
        const PendingWord w{std::string_view(s).substr(p, e - p), l};
        p = e;
        if (waiting == 2) {
          words[0] = words[1];
          waiting = 1;
        }
        if (waiting == 1 && IsNamedBlock(words[0].text)) {
          words[1] = w;
          waiting = 2;
        } else {
          words[0] = w;
          waiting = 1;
        }
      }
    }
    return waiting;
  }

  void OnWord(std::string_view w, int line) {
    if (waiting_ == 2) {
      // A named block's keyword and a word that was not its label.
      AddValue(words_[0]);
      words_[0] = words_[1];
      waiting_ = 1;
    }
    if (waiting_ == 1) {
      if (IsNamedBlock(words_[0].text)) {
        words_[1] = {w, line};
        waiting_ = 2;
        return;
      }
      AddValue(words_[0]);
    }
    words_[0] = {w, line};
    waiting_ = 1;
  }

  void OpenParen(int line) {
    if (waiting_ == 0) {
      if (open_.empty())
        AddStray("(", line);
      else if (log_.Room(ShapeFault::UnnamedBlock, open_.back().name))
        log_.AddSyntax(ShapeFault::UnnamedBlock, open_.back().name, line,
                       Message(DocumentMsg::CheckUnnamedBlock, LineNo(line)));
      return;
    }
    waiting_ = 0;
    Open(words_[0].text, words_[0].line);
  }

  void FlushWords() {
    for (int k = 0; k < waiting_; ++k) AddValue(words_[k]);
    waiting_ = 0;
  }

  void AddStray(std::string_view text, int line) {
    // Stray text is one kind of fault; a stray bracket names itself.
    const std::string_view key = text == ")" || text == "(" ? text : std::string_view();
    if (log_.Room(ShapeFault::StrayToken, key))
      log_.AddSyntax(ShapeFault::StrayToken, key, line, Message(DocumentMsg::CheckStrayToken, LineNo(line), text));
  }

  void AddValue(const PendingWord& w) {
    if (open_.empty()) return AddStray(w.text, w.line);
    Frame& f = open_.back();
    if (f.valueCount++ == 0) f.first = w.text;
    if (f.node < 0) return;
    Node& n = tree_.nodes[f.node];
    if (f.kind->values == Values::All) {
      n.values.push_back(w.text);
    } else if (f.kind->values == Values::Indices && f.valueCount > 1) {
      AddIndex(n, w.text);
    }
  }

  void Open(std::string_view name, int line) {
    const BlockKind* kind = FindBlockKind(name);
    int node = -1;
    // A kept block becomes a node when its parent is one (or it is the
    // shape itself), so that the tree hangs together.
    if (kind && kind->keep) {
      if (open_.empty()) {
        if (tree_.topCount == 0 && name == "shape") node = tree_.topShape = NewNode(name, line, kind);
      } else if (const int parent = open_.back().node; parent >= 0) {
        node = NewNode(name, line, kind);
        tree_.nodes[parent].kids.push_back(node);
      }
    }
    if (open_.empty()) ++tree_.topCount;
    // The values of the blocks the checks know are read (a counted list's
    // first one, every one of a kept block); those of any other are not.
    const bool reads = kind && (kind->keep || kind->entry);
    open_.push_back({name, line, kind, node, reads, 0, {}, 0, 0});
  }

  int NewNode(std::string_view name, int line, const BlockKind* kind) {
    Node& n = tree_.nodes.emplace_back();
    n.name = name;
    n.line = line;
    n.kind = kind;
    return static_cast<int>(tree_.nodes.size()) - 1;
  }

  void Close() {
    const Frame& f = open_.back();
    if (f.kind) {
      CheckCount(f);
      if (f.node >= 0) {
        Node& n = tree_.nodes[f.node];
        n.valueCount = f.valueCount;
        n.first = f.first;
        n.entries = f.entries;
        n.blocks = f.blocks;
      }
    }
    const BlockKind* kind = f.kind;
    open_.pop_back();
    if (open_.empty()) return;
    Frame& parent = open_.back();
    ++parent.blocks;
    if (parent.kind && kind && parent.kind->entry == kind) ++parent.entries;
  }

  // A counted list holds as many entries as its first value says;
  // primitives counts every block in it.
  void CheckCount(const Frame& f) {
    const bool list = f.kind->entry != nullptr, primitives = f.name == "primitives";
    if (!list && !primitives) return;
    const int entries = list ? f.entries : f.blocks;
    const auto count = f.valueCount ? ParseInt32(f.first) : std::nullopt;
    if (count && *count == entries) return;
    if (!log_.Room(ShapeFault::ListCount, f.name)) return;
    const std::string_view written = f.valueCount ? f.first : std::string_view("?");
    log_.AddStructure(
        ShapeFault::ListCount, f.name, f.line,
        list ? Message(DocumentMsg::CheckListCount, f.name, LineNo(f.line), written, entries, f.kind->entryName)
             : Message(DocumentMsg::CheckBlockCount, f.name, LineNo(f.line), written, entries));
  }

  ProblemLog& log_;
  std::vector<Frame> open_;  // the blocks open at the current position, outermost first
  BlockTree tree_;           // the kept blocks
  PendingWord words_[2];     // words waiting for a "(" (a named block's keyword and label)
  int waiting_ = 0;
  const Lines* lines_ = nullptr;
  int markLine_ = 1;  // just after the last bracket read
  std::size_t markPos_ = 0;
};

}  // namespace

BlockTree ReadBlocks(const Lines& lines, ProblemLog& log) { return BlockReader(log).Read(lines); }

}  // namespace lodsmith::shape_check
