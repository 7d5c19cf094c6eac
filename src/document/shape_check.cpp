#include "document/shape_check.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>
#include <utility>

#include "document/document_messages.h"

namespace lodsmith {

namespace {

// ---- Blocks ------------------------------------------------------------------

// How the values of a kept block are kept.
enum class Values {
  First,    // only the first value and the number of values
  All,      // every value (small blocks the checks read)
  Count,    // as First, for long lists of values (normals, flags)
  Indices,  // the first value, the number of values and the range of the rest
};

// The blocks the checks know. Only the kept ones become nodes of the tree;
// every other block is counted by its parent and, when it is a counted list,
// checked as it closes. So the tree grows with the sub-objects and
// primitives, not with the points and vertices.
struct BlockKind {
  std::string_view name;
  std::string_view entryName;  // counted list: the name of its entries
  bool keep;
  Values values;
  const BlockKind* entry = nullptr;  // the kind named entryName
};

struct KindTable {
  static constexpr std::size_t kLongest = 24;
  std::vector<BlockKind> kinds;
  std::vector<const BlockKind*> bySize[kLongest + 1];

  KindTable() {
    kinds = {
        {"shape", "", true, Values::First},
        {"volumes", "vol_sphere", true, Values::First},
        {"sort_vectors", "vector", true, Values::First},
        {"matrices", "matrix", true, Values::First},
        {"images", "image", false, Values::First},
        {"textures", "texture", false, Values::First},
        {"vtx_states", "vtx_state", true, Values::First},
        {"vtx_state", "", true, Values::All},
        {"prim_states", "prim_state", true, Values::First},
        {"prim_state", "", true, Values::All},
        {"points", "point", false, Values::First},
        {"normals", "vector", false, Values::First},
        {"uv_points", "uv_point", false, Values::First},
        {"shader_names", "named_shader", false, Values::First},
        {"lod_controls", "lod_control", true, Values::First},
        {"lod_control", "", true, Values::First},
        {"distance_levels", "distance_level", true, Values::First},
        {"distance_level", "", true, Values::First},
        {"distance_level_header", "", true, Values::First},
        {"dlevel_selection", "", true, Values::First},
        {"sub_objects", "sub_object", true, Values::First},
        {"sub_object", "", true, Values::First},
        {"sub_object_header", "", true, Values::All},
        {"geometry_info", "", true, Values::All},
        {"geometry_nodes", "geometry_node", true, Values::First},
        {"geometry_node", "", true, Values::First},
        {"cullable_prims", "", true, Values::All},
        {"geometry_node_map", "", true, Values::All},
        {"vertices", "vertex", true, Values::First},
        {"vertex_sets", "vertex_set", true, Values::First},
        {"vertex_set", "", true, Values::All},
        {"primitives", "", true, Values::First},
        {"prim_state_idx", "", true, Values::First},
        {"indexed_trilist", "", true, Values::First},
        {"vertex_idxs", "", true, Values::Indices},
        {"normal_idxs", "", true, Values::Count},
        {"flags", "", true, Values::Count},
        // Entries of the lists that are no kept blocks themselves.
        {"vol_sphere", "", false, Values::First},
        {"vector", "", false, Values::First},
        {"matrix", "", false, Values::First},
        {"image", "", false, Values::First},
        {"texture", "", false, Values::First},
        {"point", "", false, Values::First},
        {"uv_point", "", false, Values::First},
        {"named_shader", "", false, Values::First},
        {"vertex", "", false, Values::First},
    };
    for (BlockKind& k : kinds) {
      bySize[k.name.size()].push_back(&k);
      if (!k.entryName.empty())
        for (const BlockKind& e : kinds)
          if (e.name == k.entryName) k.entry = &e;
    }
  }

  const BlockKind* Find(std::string_view name) const {
    if (name.size() > kLongest) return nullptr;
    // Most names differ from the others of their length in the first or the
    // last letter already.
    for (const BlockKind* k : bySize[name.size()])
      if (k->name[0] == name[0] && k->name.back() == name.back() && k->name == name) return k;
    return nullptr;
  }
};

const KindTable& Kinds() {
  static const KindTable table;
  return table;
}

inline bool IsNamedBlock(std::string_view name) {
  // Asked for every value of the long lists: the first letter rules out
  // numbers before any comparison.
  if (name.empty() || (name[0] != 'm' && name[0] != 'a' && name[0] != 'p')) return false;
  switch (name.size()) {
    case 6: return name == "matrix";
    case 9: return name == "anim_node";
    case 10: return name == "prim_state";
    default: return false;
  }
}

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

// A kept block.
struct Node {
  std::string_view name;
  int line = 0;
  const BlockKind* kind = nullptr;
  int valueCount = 0;
  std::string_view first;
  std::vector<std::string_view> values;  // Values::All
  int entries = 0;                       // child blocks named as the list's entries
  int blocks = 0;                        // every child block
  std::vector<int> kids;                 // kept child blocks (indices into the tree)
  // Values::Indices: the values after the first.
  bool badIndex = false;
  std::string_view firstBad;
  int64_t minIndex = INT64_MAX;
  int64_t maxIndex = INT64_MIN;
};

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

// Lines are counted from 1 for the user.
int LineNo(int line) { return line + 1; }

// A problem of a block: the block's keyword and line come first in each of
// these messages.
template <typename... Args>
Message At(DocumentMsg id, const Node& n, Args&&... args) {
  return Message(id, n.name, LineNo(n.line), std::forward<Args>(args)...);
}

// ---- The checker ---------------------------------------------------------------

struct Tables {
  int64_t matrices = 0, volumes = 0, sortVectors = 0;
  std::vector<int64_t> vtxStateMatrix;     // per vtx_state
  std::vector<int64_t> primStateVtxState;  // per prim_state
};

class Checker {
public:
  std::vector<ShapeProblem> Run(const Lines& lines) {
    Parse(lines);
    if (topCount_ != 1 || topShape_ < 0) {
      Add(syntax_, ShapeFault::NotOneShape, "shape", -1, Message(DocumentMsg::CheckNotOneShape));
    } else {
      CheckShapeBlock(tree_[topShape_]);
    }
    std::vector<ShapeProblem> all = std::move(syntax_);
    all.insert(all.end(), std::make_move_iterator(structure_.begin()), std::make_move_iterator(structure_.end()));
    return all;
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
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& s = lines[i];
      const int line = static_cast<int>(i);
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
          case kWordChar: {
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
                if (q != p) {
                  p = q;
                  break;
                }
              }
            }
            const std::size_t e = TokenEnd(s, p);
            OnWord(std::string_view(s).substr(p, e - p), line);
            p = e;
            break;
          }
        }
      }
    }
    FlushWords();
    // Every block still open at the end: the innermost first.
    while (!open_.empty()) {
      const Frame& f = open_.back();
      if (Room(ShapeFault::UnclosedBlock, f.name))
        Add(syntax_, ShapeFault::UnclosedBlock, f.name, f.line,
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
    Node& n = tree_[f.node];
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
      if (Room(ShapeFault::UnnamedBlock, open_.back().name))
        Add(syntax_, ShapeFault::UnnamedBlock, open_.back().name, line,
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
      else if (Room(ShapeFault::UnnamedBlock, open_.back().name))
        Add(syntax_, ShapeFault::UnnamedBlock, open_.back().name, line,
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
    if (Room(ShapeFault::StrayToken, key))
      Add(syntax_, ShapeFault::StrayToken, key, line, Message(DocumentMsg::CheckStrayToken, LineNo(line), text));
  }

  void AddValue(const PendingWord& w) {
    if (open_.empty()) return AddStray(w.text, w.line);
    Frame& f = open_.back();
    if (f.valueCount++ == 0) f.first = w.text;
    if (f.node < 0) return;
    Node& n = tree_[f.node];
    if (f.kind->values == Values::All) {
      n.values.push_back(w.text);
    } else if (f.kind->values == Values::Indices && f.valueCount > 1) {
      AddIndex(n, w.text);
    }
  }

  void Open(std::string_view name, int line) {
    const BlockKind* kind = Kinds().Find(name);
    int node = -1;
    // A kept block becomes a node when its parent is one (or it is the
    // shape itself), so that the tree hangs together.
    if (kind && kind->keep) {
      if (open_.empty()) {
        if (topCount_ == 0 && name == "shape") node = topShape_ = NewNode(name, line, kind);
      } else if (const int parent = open_.back().node; parent >= 0) {
        node = NewNode(name, line, kind);
        tree_[parent].kids.push_back(node);
      }
    }
    if (open_.empty()) ++topCount_;
    // The values of the blocks the checks know are read (a counted list's
    // first one, every one of a kept block); those of any other are not.
    const bool reads = kind && (kind->keep || kind->entry);
    open_.push_back({name, line, kind, node, reads, 0, {}, 0, 0});
  }

  int NewNode(std::string_view name, int line, const BlockKind* kind) {
    Node& n = tree_.emplace_back();
    n.name = name;
    n.line = line;
    n.kind = kind;
    return static_cast<int>(tree_.size()) - 1;
  }

  void Close() {
    const Frame& f = open_.back();
    if (f.kind) {
      CheckCount(f);
      if (f.node >= 0) {
        Node& n = tree_[f.node];
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
    if (!Room(ShapeFault::ListCount, f.name)) return;
    const std::string_view written = f.valueCount ? f.first : std::string_view("?");
    Add(structure_, ShapeFault::ListCount, f.name, f.line,
        list ? Message(DocumentMsg::CheckListCount, f.name, LineNo(f.line), written, entries, f.kind->entryName)
             : Message(DocumentMsg::CheckBlockCount, f.name, LineNo(f.line), written, entries));
  }

  // ---- Problems ------------------------------------------------------------------

  // A broken file can repeat one fault countless times; a few of each kind
  // tell as much.
  bool Room(ShapeFault fault, std::string_view block) {
    int& seen = perKind_[{fault, std::string(block)}];
    return seen++ < kPerKind;
  }

  static void Add(std::vector<ShapeProblem>& to, ShapeFault fault, std::string_view block, int line, Message message) {
    to.push_back({fault, std::string(block), line, std::move(message)});
  }

  void Problem(ShapeFault fault, std::string_view block, int line, Message message) {
    if (Room(fault, block)) Add(structure_, fault, block, line, std::move(message));
  }

  // ---- Reading the tree ------------------------------------------------------------

  static std::optional<std::string_view> ValueText(const Node& n, std::size_t k) {
    if (k == 0 && n.valueCount > 0) return n.first;
    if (k < n.values.size()) return n.values[k];
    return std::nullopt;
  }
  static int64_t Value(const Node& n, std::size_t k, int64_t fallback = kNoValue) {
    auto text = ValueText(n, k);
    if (!text) return fallback;
    auto v = ParseInt32(*text);
    return v ? *v : fallback;
  }
  static int64_t Value(const Node* n, std::size_t k, int64_t fallback = kNoValue) {
    return n ? Value(*n, k, fallback) : fallback;
  }

  const Node* Child(const Node& n, std::string_view name) const {
    for (int k : n.kids)
      if (tree_[k].name == name) return &tree_[k];
    return nullptr;
  }
  std::vector<const Node*> Children(const Node& n, std::string_view name) const {
    std::vector<const Node*> r;
    for (int k : n.kids)
      if (tree_[k].name == name) r.push_back(&tree_[k]);
    return r;
  }

  // ---- The checks of the tree ---------------------------------------------------------

  Tables ReadTables(const Node& shape) const {
    Tables t;
    if (const Node* m = Child(shape, "matrices")) t.matrices = m->entries;
    if (const Node* v = Child(shape, "volumes")) t.volumes = v->entries;
    if (const Node* s = Child(shape, "sort_vectors")) t.sortVectors = s->entries;
    if (const Node* vs = Child(shape, "vtx_states"))
      for (const Node* v : Children(*vs, "vtx_state")) t.vtxStateMatrix.push_back(Value(*v, 1));
    if (const Node* ps = Child(shape, "prim_states"))
      for (const Node* p : Children(*ps, "prim_state")) t.primStateVtxState.push_back(Value(*p, 3));
    return t;
  }

  void CheckShapeBlock(const Node& shape) {
    const Tables t = ReadTables(shape);
    if (const Node* vs = Child(shape, "vtx_states")) {
      const auto states = Children(*vs, "vtx_state");
      for (std::size_t v = 0; v < states.size(); ++v)
        if (t.vtxStateMatrix[v] < 0 || t.vtxStateMatrix[v] >= t.matrices)
          Problem(ShapeFault::MatrixIndex, "vtx_state", states[v]->line,
                  Message(DocumentMsg::CheckMatrixIndex, v, LineNo(states[v]->line), t.vtxStateMatrix[v]));
    }
    const Node* lc = Child(shape, "lod_controls");
    if (!lc) {
      Problem(ShapeFault::MissingBlock, "lod_controls", shape.line, Message(DocumentMsg::CheckLodControlsMissing));
      return;
    }
    for (const Node* control : Children(*lc, "lod_control")) {
      const Node* levels = Child(*control, "distance_levels");
      if (!levels) {
        Problem(ShapeFault::MissingBlock, "distance_levels", control->line,
                At(DocumentMsg::CheckBlockMissing, *control, "distance_levels"));
        continue;
      }
      for (const Node* level : Children(*levels, "distance_level")) {
        const Node* lh = Child(*level, "distance_level_header");
        const Node* sel = lh ? Child(*lh, "dlevel_selection") : nullptr;
        if (!sel || sel->valueCount != 1)
          Problem(ShapeFault::DistanceSelection, "distance_level", level->line,
                  At(DocumentMsg::CheckDistanceSelection, *level));
        const Node* subs = Child(*level, "sub_objects");
        if (!subs || subs->blocks == 0) {
          Problem(ShapeFault::NoSubObjects, "distance_level", level->line, At(DocumentMsg::CheckNoSubObjects, *level));
          continue;
        }
        for (const Node* so : Children(*subs, "sub_object")) CheckSubObject(*so, t);
      }
    }
  }

  // The triangle lists drawn with a matrix, their faces, and the
  // prim_state_idx entries that open them (one per entry, however many
  // lists follow it).
  struct MatrixUse {
    int64_t primitives = 0, faces = 0, states = 0;
  };

  void CheckSubObject(const Node& so, const Tables& t) {
    const Node* header = Child(so, "sub_object_header");
    const Node* vertices = Child(so, "vertices");
    const Node* sets = Child(so, "vertex_sets");
    const Node* prims = Child(so, "primitives");
    if (!header || !vertices || !sets || !prims) {
      Problem(ShapeFault::MissingBlock, "sub_object", so.line, At(DocumentMsg::CheckSubObjectIncomplete, so));
      return;
    }
    const int64_t vertexCount = vertices->entries;

    // Sort vector and volume of the header.
    const int64_t sortIdx = Value(*header, 1), volIdx = Value(*header, 2);
    if (sortIdx < -1 || sortIdx >= t.sortVectors)
      Problem(ShapeFault::SortVectorIndex, "sub_object_header", header->line,
              At(DocumentMsg::CheckSortVectorIndex, so, sortIdx));
    if (volIdx < -1 || volIdx >= t.volumes)
      Problem(ShapeFault::VolumeIndex, "sub_object_header", header->line,
              At(DocumentMsg::CheckVolumeIndex, so, volIdx));

    // vertex_sets: one after the other, covering the vertices; the range of
    // each vtx_state.
    std::map<int64_t, std::pair<int64_t, int64_t>> setOfState;
    int64_t next = 0;
    for (const Node* vs : Children(*sets, "vertex_set")) {
      const int64_t state = Value(*vs, 0), start = Value(*vs, 1), count = Value(*vs, 2);
      if (start != next)
        Problem(ShapeFault::VertexSetStart, "vertex_set", vs->line,
                At(DocumentMsg::CheckVertexSetStart, *vs, start, next));
      if (state < 0 || state >= static_cast<int64_t>(t.vtxStateMatrix.size()))
        Problem(ShapeFault::VertexSetState, "vertex_set", vs->line, At(DocumentMsg::CheckVertexSetState, *vs, state));
      setOfState[state] = {start, start + count};
      next = start + count;
    }
    if (next != vertexCount)
      Problem(ShapeFault::VertexSetCoverage, "vertex_sets", sets->line,
              At(DocumentMsg::CheckVertexSetCoverage, so, next, vertexCount));

    // Primitives: indices inside the vertices and inside their vertex set;
    // the counts of the index lists; faces per matrix.
    int64_t faces = 0, primitives = 0, states = 0;
    std::map<int64_t, MatrixUse> perMatrix;
    const Node* lastState = nullptr;
    bool opened = false;  // the last prim_state_idx has a list already
    for (int k : prims->kids) {
      const Node& c = tree_[k];
      if (c.name == "prim_state_idx") {
        lastState = &c;
        opened = false;
        continue;
      }
      if (c.name != "indexed_trilist") continue;
      ++primitives;
      const bool firstList = !opened;
      opened = true;
      const int64_t ps = Value(lastState, 0);
      if (!lastState || ps < 0 || ps >= static_cast<int64_t>(t.primStateVtxState.size())) {
        Problem(ShapeFault::PrimStateIndex, "indexed_trilist", c.line, At(DocumentMsg::CheckPrimStateIndex, c));
        continue;
      }
      const int64_t state = t.primStateVtxState[ps];
      const int64_t matrix =
          state >= 0 && state < static_cast<int64_t>(t.vtxStateMatrix.size()) ? t.vtxStateMatrix[state] : -1;
      const Node* vi = Child(c, "vertex_idxs");
      const Node* ni = Child(c, "normal_idxs");
      const Node* fl = Child(c, "flags");
      if (!vi || !ni || !fl) {
        Problem(ShapeFault::MissingBlock, "indexed_trilist", c.line, At(DocumentMsg::CheckTrilistIncomplete, c));
        continue;
      }
      const int64_t n = Value(*vi, 0);
      if (n != vi->valueCount - 1)
        Problem(ShapeFault::IndexCount, "vertex_idxs", vi->line,
                At(DocumentMsg::CheckIndexCount, *vi, n, vi->valueCount - 1));
      CheckIndexRange(*vi, vertexCount, setOfState, state);
      const int64_t nf = Value(*ni, 0), ff = Value(*fl, 0);
      if (2 * nf != ni->valueCount - 1)
        Problem(ShapeFault::IndexCount, "normal_idxs", ni->line, At(DocumentMsg::CheckCountMismatch, *ni));
      if (ff != fl->valueCount - 1)
        Problem(ShapeFault::IndexCount, "flags", fl->line, At(DocumentMsg::CheckCountMismatch, *fl));
      if (n != 3 * nf || nf != ff)
        Problem(ShapeFault::FaceCounts, "indexed_trilist", c.line, At(DocumentMsg::CheckFaceCounts, c));
      faces += n / 3;
      perMatrix[matrix].primitives += 1;
      perMatrix[matrix].faces += n / 3;
      if (firstList) {
        ++states;
        perMatrix[matrix].states += 1;
      }
    }

    CheckNodes(so, *header, t, MatrixUse{primitives, faces, states}, perMatrix);
  }

  void CheckIndexRange(const Node& vi, int64_t vertexCount,
                       const std::map<int64_t, std::pair<int64_t, int64_t>>& setOfState, int64_t state) {
    if (vi.badIndex) {
      Problem(ShapeFault::VertexIndex, "vertex_idxs", vi.line, At(DocumentMsg::CheckIndexNotANumber, vi, vi.firstBad));
      return;
    }
    if (vi.valueCount < 2) return;
    auto outside = [&](int64_t idx) {
      Problem(ShapeFault::VertexIndex, "vertex_idxs", vi.line,
              At(DocumentMsg::CheckIndexOutside, vi, idx, vertexCount));
    };
    if (vi.minIndex < 0) return outside(vi.minIndex);
    if (vi.maxIndex >= vertexCount) return outside(vi.maxIndex);
    auto range = setOfState.find(state);
    const int64_t bad = range == setOfState.end() || vi.minIndex < range->second.first ? vi.minIndex
                        : vi.maxIndex >= range->second.second                          ? vi.maxIndex
                                                                                       : -1;
    if (bad >= 0)
      Problem(ShapeFault::VertexIndexOutsideSet, "vertex_idxs", vi.line,
              At(DocumentMsg::CheckIndexOutsideSet, vi, bad, state));
  }

  // geometry_info, its nodes and the node map against the primitives. The
  // second value of geometry_info and the first of a geometry_node count
  // the prim_state_idx entries; with one list under each entry (what most
  // exporters write) that is the number of lists, which is accepted too.
  void CheckNodes(const Node& so, const Node& header, const Tables& t, const MatrixUse& all,
                  const std::map<int64_t, MatrixUse>& perMatrix) {
    const int64_t faces = all.faces, primitives = all.primitives;
    auto countsEntries = [](int64_t value, const MatrixUse& use) {
      return value == use.primitives || value == use.states;
    };
    const Node* info = Child(header, "geometry_info");
    if (!info) {
      Problem(ShapeFault::MissingBlock, "geometry_info", header.line,
              At(DocumentMsg::CheckBlockMissing, so, "geometry_info"));
      return;
    }
    if (Value(*info, 0) != faces || !countsEntries(Value(*info, 1), all) || Value(*info, 3) != 3 * faces ||
        Value(*info, 6) != primitives)
      Problem(ShapeFault::GeometryInfo, "geometry_info", info->line,
              At(DocumentMsg::CheckGeometryInfo, *info, faces, primitives));
    const Node* nodes = Child(*info, "geometry_nodes");
    const Node* map = Child(*info, "geometry_node_map");
    if (!nodes || !map) {
      Problem(ShapeFault::MissingBlock, "geometry_info", info->line, At(DocumentMsg::CheckNodesMissing, *info));
      return;
    }
    const auto nodeList = Children(*nodes, "geometry_node");
    const int64_t nodeCount = static_cast<int64_t>(nodeList.size());
    const int64_t entries = static_cast<int64_t>(map->values.size()) - 1;
    const int64_t mapCount = Value(*map, 0);
    if (mapCount != entries)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map->line, At(DocumentMsg::CheckCountMismatch, *map));
    if (mapCount > t.matrices)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map->line, At(DocumentMsg::CheckMapTooLong, *map));
    std::vector<int64_t> nodeMatrix(nodeList.size(), -1);
    int64_t expectNode = 0;
    for (int64_t j = 0; j < entries; ++j) {
      const int64_t node = Value(*map, static_cast<std::size_t>(j + 1));
      if (node == -1) continue;
      if (node != expectNode || node >= nodeCount) {
        Problem(ShapeFault::NodeMap, "geometry_node_map", map->line, At(DocumentMsg::CheckMapEntry, *map, node, j));
        break;
      }
      nodeMatrix[node] = j;
      ++expectNode;
    }
    if (expectNode != nodeCount)
      Problem(ShapeFault::NodeMap, "geometry_node_map", map->line,
              At(DocumentMsg::CheckMapNodes, *map, expectNode, nodeCount));
    for (std::size_t k = 0; k < nodeList.size(); ++k) {
      const Node* cp = Child(*nodeList[k], "cullable_prims");
      auto it = perMatrix.find(nodeMatrix[k]);
      const MatrixUse use = it == perMatrix.end() ? MatrixUse{} : it->second;
      if (!cp || Value(*cp, 0) != use.primitives || Value(*cp, 1) != use.faces || Value(*cp, 2) != 3 * use.faces ||
          !countsEntries(Value(*nodeList[k], 0), use))
        Problem(ShapeFault::NodeCounts, "geometry_node", nodeList[k]->line,
                At(DocumentMsg::CheckNodeCounts, *nodeList[k], nodeMatrix[k]));
    }
    for (const auto& [matrix, use] : perMatrix) {
      const bool mapped = matrix >= 0 && matrix < entries && Value(*map, static_cast<std::size_t>(matrix + 1)) >= 0;
      if (!mapped)
        Problem(ShapeFault::PrimitivesWithoutNode, "sub_object", so.line,
                At(DocumentMsg::CheckPrimitivesWithoutNode, so, matrix));
    }
  }

  static constexpr int kPerKind = 50;

  std::vector<Frame> open_;  // the blocks open at the current position, outermost first
  std::vector<Node> tree_;   // the kept blocks, parents before their children
  PendingWord words_[2];     // words waiting for a "(" (a named block's keyword and label)
  int waiting_ = 0;
  const Lines* lines_ = nullptr;
  int markLine_ = 1;  // just after the last bracket read
  std::size_t markPos_ = 0;
  int topCount_ = 0;
  int topShape_ = -1;
  std::vector<ShapeProblem> syntax_, structure_;
  std::map<std::pair<ShapeFault, std::string>, int> perKind_;
};

}  // namespace

std::vector<ShapeProblem> CheckShape(const Lines& lines) { return Checker().Run(lines); }

std::optional<ShapeProblem> FirstNewProblem(const std::vector<ShapeProblem>& before,
                                            const std::vector<ShapeProblem>& after) {
  for (const ShapeProblem& p : after) {
    bool known = false;
    for (const ShapeProblem& q : before)
      if (p.SameKind(q)) {
        known = true;
        break;
      }
    if (!known) return p;
  }
  return std::nullopt;
}

Message RefusedRewriteMessage(const ShapeProblem& problem) {
  return problem.message.WrappedIn(DocumentMsg::RefusedRewrite);
}

Message StructureNoteMessage(const ShapeProblem& problem) {
  return problem.message.WrappedIn(DocumentMsg::StructureNote);
}

}  // namespace lodsmith
