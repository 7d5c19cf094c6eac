// The listing's face for characters that the PDF standard fonts cannot show
// (Cyrillic, Greek and every other script beyond Windows-1252 and Latin
// Extended-A): DejaVu Sans Mono and DejaVu Sans Mono Bold, embedded in the
// PDF as subsets of the characters the listing uses.
//
// The font files are looked for beside the running program (the Windows
// zip ships them there) and then in the system's font folder (Debian's
// fonts-dejavu-core). Without them those characters print as "?".
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "print/truetype_font.h"

namespace lodsmith {

inline constexpr const char* kListingFontFile = "DejaVuSansMono.ttf";
inline constexpr const char* kListingBoldFontFile = "DejaVuSansMono-Bold.ttf";

struct ListingFonts {
  TrueTypeFont regular;
  TrueTypeFont bold;  // not Valid(): bold lines use the regular face
};

// The faces found in `folders` (each with or without final separator; the
// first folder holding a face's file gives it).
ListingFonts LoadListingFonts(const std::vector<std::string>& folders);
// The folders searched at run time: the running program's, then (not on
// Windows) the system's DejaVu folder.
std::vector<std::string> ListingFontFolders();
// LoadListingFonts(ListingFontFolders()), read once per process.
const ListingFonts& InstalledListingFonts();

// One embedded face of a PDF (a Type 0 font with Identity-H codes): each
// character it draws gets the next two-byte code on its first use, so the
// text reads back exactly (a ToUnicode map per code) whatever glyphs the
// characters share.
class PdfEmbeddedFace {
public:
  // `font` must outlive the face; `name` is the PostScript name.
  PdfEmbeddedFace(const TrueTypeFont& font, std::string name) : font_(font), name_(std::move(name)) {}

  // Whether the face has a glyph for `c` (and a code is still free).
  bool Draws(char32_t c) const;
  // The code of `c` as four hex digits; Draws(c) must hold.
  std::string Code(char32_t c);
  bool Used() const { return !order_.empty(); }

  // The PDF objects of the face: the font the pages name (Type 0), its
  // CID font, descriptor, font file, ToUnicode map and code-to-glyph map,
  // written under `numbers` in that order. Every glyph is as wide as a
  // Courier character (600 / 1000 em), so a line keeps its columns across
  // faces.
  static constexpr std::size_t kObjectCount = 6;
  std::array<std::string, kObjectCount> Objects(const std::array<int, kObjectCount>& numbers) const;

private:
  const TrueTypeFont& font_;
  std::string name_;
  std::map<char32_t, unsigned> codes_;
  std::vector<char32_t> order_;  // the character of code k + 1
};

}  // namespace lodsmith
