// A TrueType font file read from its bytes, as far as a PDF needs it: which
// glyph draws a character, the face's measures, and a smaller font file
// holding only the glyphs a document uses (a subset), so that a listing
// carries a few kilobytes of the face instead of all of it.
//
// The reader checks every offset against the file's size: a damaged or
// foreign file gives a font that is not Valid(), never a read beyond it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lodsmith {

class TrueTypeFont {
public:
  TrueTypeFont() = default;
  // Reads the file's tables; Valid() tells whether the glyph outlines
  // ("glyf" with "loca"), the measures and a Unicode character map were
  // found.
  explicit TrueTypeFont(std::string bytes);

  bool Valid() const { return valid_; }

  // The glyph that draws `c`, 0 (the "missing" glyph) when the font has
  // none or is not valid.
  std::uint16_t GlyphOf(char32_t c) const;

  // In font units (UnitsPerEm to the em); descent is negative.
  struct Measures {
    int unitsPerEm = 1000;
    int ascent = 0, descent = 0, capHeight = 0;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  };
  const Measures& measures() const { return measures_; }

  // A font file with glyph 0 as glyph 0, `glyphs` as glyphs 1, 2, ... in the
  // order given (repeats count once), then the glyphs they are built from.
  // `newIds[i]` receives the new number of `glyphs[i]`. The file keeps the
  // hinting tables and each glyph's advance; it has no character map (the
  // PDF maps its codes to glyphs itself). Empty when the font is not valid.
  std::string Subset(const std::vector<std::uint16_t>& glyphs, std::vector<std::uint16_t>& newIds) const;

private:
  struct Table {
    std::size_t offset = 0, length = 0;
    bool found = false;
  };
  Table Find(const char* tag) const;
  std::string TableBytes(const Table& t) const { return bytes_.substr(t.offset, t.length); }
  // The glyph's outline bytes (empty for a glyph without contours).
  std::string GlyphBytes(std::uint16_t glyph) const;
  // The glyphs a composite glyph is built from (none for a simple one).
  std::vector<std::uint16_t> Components(const std::string& glyph) const;
  std::uint16_t LookUpFormat4(std::size_t table, char32_t c) const;
  std::uint16_t LookUpFormat12(std::size_t table, char32_t c) const;

  std::string bytes_;
  bool valid_ = false;
  Measures measures_;
  Table head_, hhea_, maxp_, loca_, glyf_, hmtx_;
  std::size_t cmapFormat4_ = 0, cmapFormat12_ = 0;  // offsets of the subtables, 0 when absent
  int glyphCount_ = 0, hMetricCount_ = 0;
  bool longLoca_ = false;
};

}  // namespace lodsmith
