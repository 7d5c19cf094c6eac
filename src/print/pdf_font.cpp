#include "print/pdf_font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/file_io.h"
#include "core/native_file.h"
#include "platform/system_info.h"

namespace lodsmith {

namespace {

// The whole file, or nothing when it cannot be read. The native file
// functions on purpose: a substituted file system (tests) must not decide
// which fonts the process keeps for its whole life.
std::string ReadWholeFile(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return {};
  std::string bytes;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  return failed ? std::string() : bytes;
}

TrueTypeFont FindFace(const std::vector<std::string>& folders, const char* file) {
  for (std::string folder : folders) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    TrueTypeFont font(ReadWholeFile(folder + file));
    if (font.Valid()) return font;
  }
  return {};
}

std::string Hex4(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFFu);
  return buf;
}

// The character in UTF-16 as hex digits (a surrogate pair beyond U+FFFF).
std::string Utf16Hex(char32_t c) {
  if (c < 0x10000) return Hex4(c);
  const char32_t v = c - 0x10000;
  return Hex4(0xD800 + (v >> 10)) + Hex4(0xDC00 + (v & 0x3FF));
}

std::string StreamObject(const std::string& data, const std::string& extra = "") {
  return "<< /Length " + std::to_string(data.size()) + extra + " >>\nstream\n" + data + "\nendstream";
}

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

// Six capitals naming this subset (the same characters give the same name,
// so a listing is the same file every time it is made).
std::string SubsetTag(const std::vector<char32_t>& chars, const std::string& name) {
  std::uint32_t h = 2166136261u;
  auto mix = [&](std::uint32_t v) {
    h ^= v;
    h *= 16777619u;
  };
  for (char c : name) mix(static_cast<unsigned char>(c));
  for (char32_t c : chars) mix(static_cast<std::uint32_t>(c));
  std::string tag;
  for (int i = 0; i < 6; ++i) {
    tag.push_back(static_cast<char>('A' + h % 26));
    h /= 26;
  }
  return tag;
}

std::string ToUnicodeMap(const std::vector<char32_t>& chars) {
  std::string m =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  // At most 100 entries per block.
  for (std::size_t from = 0; from < chars.size(); from += 100) {
    const std::size_t to = std::min(chars.size(), from + 100);
    m += std::to_string(to - from) + " beginbfchar\n";
    for (std::size_t k = from; k < to; ++k)
      m += "<" + Hex4(static_cast<unsigned>(k + 1)) + "> <" + Utf16Hex(chars[k]) + ">\n";
    m += "endbfchar\n";
  }
  m += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend";
  return m;
}

}  // namespace

ListingFonts LoadListingFonts(const std::vector<std::string>& folders) {
  ListingFonts fonts;
  fonts.regular = FindFace(folders, kListingFontFile);
  fonts.bold = FindFace(folders, kListingBoldFontFile);
  return fonts;
}

std::vector<std::string> ListingFontFolders() {
  std::vector<std::string> folders = {ExtractFileDir(ResolveLinks(RunningExecutablePath()))};
#ifndef _WIN32
  folders.push_back("/usr/share/fonts/truetype/dejavu/");
#endif
  return folders;
}

const ListingFonts& InstalledListingFonts() {
  static const ListingFonts fonts = LoadListingFonts(ListingFontFolders());
  return fonts;
}

bool PdfEmbeddedFace::Draws(char32_t c) const {
  if (codes_.count(c)) return true;
  return order_.size() < 0xFFFF && font_.GlyphOf(c) != 0;
}

std::string PdfEmbeddedFace::Code(char32_t c) {
  auto [it, added] = codes_.emplace(c, static_cast<unsigned>(order_.size() + 1));
  if (added) order_.push_back(c);
  return Hex4(it->second);
}

std::array<std::string, PdfEmbeddedFace::kObjectCount> PdfEmbeddedFace::Objects(
    const std::array<int, kObjectCount>& n) const {
  std::vector<std::uint16_t> glyphs, newIds;
  for (char32_t c : order_) glyphs.push_back(font_.GlyphOf(c));
  const std::string file = font_.Subset(glyphs, newIds);
  // Code 0 is unused and draws the missing glyph.
  std::string codeToGlyph(2, '\0');
  for (std::uint16_t g : newIds) {
    codeToGlyph.push_back(static_cast<char>(g >> 8));
    codeToGlyph.push_back(static_cast<char>(g & 0xFF));
  }
  const auto& m = font_.measures();
  auto em = [&](int v) { return std::to_string(static_cast<int>(std::lround(v * 1000.0 / m.unitsPerEm))); };
  const std::string base = "/" + SubsetTag(order_, name_) + "+" + name_;
  std::array<std::string, kObjectCount> objects;
  objects[0] = "<< /Type /Font /Subtype /Type0 /BaseFont " + base + " /Encoding /Identity-H /DescendantFonts [" +
               Ref(n[1]) + "] /ToUnicode " + Ref(n[4]) + " >>";
  objects[1] = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + base +
               " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
               Ref(n[2]) + " /DW 600 /CIDToGIDMap " + Ref(n[5]) + " >>";
  // Flags: fixed pitch (1) and symbolic (4), as a subset without the
  // standard Latin character set is.
  objects[2] = "<< /Type /FontDescriptor /FontName " + base + " /Flags 5 /FontBBox [" + em(m.xMin) + " " + em(m.yMin) +
               " " + em(m.xMax) + " " + em(m.yMax) + "] /ItalicAngle 0 /Ascent " + em(m.ascent) + " /Descent " +
               em(m.descent) + " /CapHeight " + em(m.capHeight) + " /StemV 80 /FontFile2 " + Ref(n[3]) + " >>";
  objects[3] = StreamObject(file, " /Length1 " + std::to_string(file.size()));
  objects[4] = StreamObject(ToUnicodeMap(order_));
  objects[5] = StreamObject(codeToGlyph);
  return objects;
}

}  // namespace lodsmith
