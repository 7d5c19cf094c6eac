// The parts the shape forms share: the table of block tokens and their
// layouts (generated into shape_tokens.inc), the headers of the forms, and
// the conversions each form's own file provides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text.h"
#include "document/shape_forms.h"

namespace lodsmith::shape_form {

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

// Names are looked up by view, without building a string for each.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct TokenTable {
  std::vector<Token> byId;  // indexed by id; unknown ids have known == false
  std::unordered_map<std::string, int, NameHash, std::equal_to<>> byName;

  const Token* Find(int id) const {
    if (id < 0 || id >= static_cast<int>(byId.size()) || !byId[id].known) return nullptr;
    return &byId[id];
  }
  std::string Name(int id) const {
    if (id >= 0 && id < static_cast<int>(byId.size()) && !byId[id].name.empty()) return byId[id].name;
    return std::to_string(id);
  }
};

// The token table, built once from the generated rows.
const TokenTable& Table();

inline int ScalarSize(Kind kind) { return kind == Kind::String || kind == Kind::Block ? 0 : 4; }

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

inline std::uint32_t ReadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint16_t ReadU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

inline bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Binary blocks (`data` from `from` on; offsets in messages count from
// `base`) as the utility's Unicode text, header and mark included
// (shape_form_binary_read.cpp).
std::string BlocksToText(std::string_view data, std::size_t from, std::size_t base, FloatText floats);

// Unicode text bytes of a shape as binary blocks, without a header
// (shape_form_binary_write.cpp). Raises Error naming the line that cannot
// be encoded.
std::string TextToBlocks(std::string_view unicodeText);
// The same for a document's lines (UTF-8, as DecodeShape gives them), as
// if they were written as Unicode text first; `progress` as EncodeShape
// calls it.
std::string LinesToBlocks(const Lines& lines, const std::function<void(int)>& progress);

// The compressed form (shape_form_compressed.cpp): the inflated body of a
// compressed file, its header checked; and binary blocks deflated behind
// the compressed header.
std::string InflateFile(std::string_view bytes);
std::string Deflate(std::string_view data);

}  // namespace lodsmith::shape_form
