#include "print/truetype_font.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace lodsmith {

namespace {

// Big-endian reads of a byte string; 0 beyond its end (every caller checks
// the range it relies on before).
std::uint32_t U16(const std::string& s, std::size_t at) {
  if (at + 2 > s.size()) return 0;
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 8) | static_cast<unsigned char>(s[at + 1]);
}
int S16(const std::string& s, std::size_t at) { return static_cast<std::int16_t>(U16(s, at)); }
std::uint32_t U32(const std::string& s, std::size_t at) { return (U16(s, at) << 16) | U16(s, at + 2); }

void Put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>((v >> 8) & 0xFF);
  s[at + 1] = static_cast<char>(v & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  Put16(s, at, v >> 16);
  Put16(s, at + 2, v & 0xFFFF);
}
void Append16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
  s.push_back(static_cast<char>(v & 0xFF));
}
void Append32(std::string& s, std::uint32_t v) {
  Append16(s, v >> 16);
  Append16(s, v & 0xFFFF);
}
void PadTo4(std::string& s) {
  while (s.size() % 4 != 0) s.push_back('\0');
}

std::uint32_t CheckSum(const std::string& s) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < s.size(); i += 4) {
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k)
      word = (word << 8) | (i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u);
    sum += word;
  }
  return sum;
}

// Flags of a composite glyph's component record.
constexpr std::uint32_t kArgsAreWords = 0x0001;
constexpr std::uint32_t kHaveScale = 0x0008;
constexpr std::uint32_t kMoreComponents = 0x0020;
constexpr std::uint32_t kHaveXYScale = 0x0040;
constexpr std::uint32_t kHaveTwoByTwo = 0x0080;

// Calls `visit(position of the glyph number)` for each component of a
// composite glyph; nothing for a simple glyph.
template <typename Visit>
void ForEachComponent(const std::string& glyph, Visit visit) {
  if (glyph.size() < 10 || S16(glyph, 0) >= 0) return;
  std::size_t p = 10;
  while (p + 4 <= glyph.size()) {
    const std::uint32_t flags = U16(glyph, p);
    visit(p + 2);
    p += 4 + ((flags & kArgsAreWords) ? 4 : 2);
    if (flags & kHaveScale)
      p += 2;
    else if (flags & kHaveXYScale)
      p += 4;
    else if (flags & kHaveTwoByTwo)
      p += 8;
    if (!(flags & kMoreComponents)) break;
  }
}

// A font file of the given tables: the table directory, then the tables,
// each padded to four bytes, and the whole file's checksum in "head".
std::string FontFile(const std::map<std::string, std::string>& tables) {
  const std::uint32_t n = static_cast<std::uint32_t>(tables.size());
  std::uint32_t power = 1, log2 = 0;
  while (power * 2 <= n) {
    power *= 2;
    ++log2;
  }
  std::string out;
  Append32(out, 0x00010000);
  Append16(out, n);
  Append16(out, power * 16);
  Append16(out, log2);
  Append16(out, n * 16 - power * 16);
  std::string data;
  std::size_t headAt = 0;
  const std::size_t dataStart = 12 + 16 * tables.size();
  for (const auto& [tag, body] : tables) {
    out += tag;
    Append32(out, CheckSum(body));
    Append32(out, static_cast<std::uint32_t>(dataStart + data.size()));
    Append32(out, static_cast<std::uint32_t>(body.size()));
    if (tag == "head") headAt = dataStart + data.size();
    data += body;
    PadTo4(data);
  }
  out += data;
  Put32(out, headAt + 8, 0xB1B0AFBAu - CheckSum(out));
  return out;
}

}  // namespace

TrueTypeFont::TrueTypeFont(std::string bytes) : bytes_(std::move(bytes)) {
  const std::uint32_t version = U32(bytes_, 0);
  if (bytes_.size() < 12 || (version != 0x00010000 && version != 0x74727565)) return;  // 'true'
  head_ = Find("head");
  hhea_ = Find("hhea");
  maxp_ = Find("maxp");
  loca_ = Find("loca");
  glyf_ = Find("glyf");
  hmtx_ = Find("hmtx");
  const Table cmap = Find("cmap");
  if (!head_.found || head_.length < 54 || !hhea_.found || hhea_.length < 36 || !maxp_.found || maxp_.length < 6 ||
      !loca_.found || !glyf_.found || !hmtx_.found || !cmap.found || cmap.length < 4)
    return;
  const std::size_t h = head_.offset;
  measures_.unitsPerEm = static_cast<int>(U16(bytes_, h + 18));
  measures_.xMin = S16(bytes_, h + 36);
  measures_.yMin = S16(bytes_, h + 38);
  measures_.xMax = S16(bytes_, h + 40);
  measures_.yMax = S16(bytes_, h + 42);
  const int locaFormat = S16(bytes_, h + 50);
  longLoca_ = locaFormat == 1;
  measures_.ascent = S16(bytes_, hhea_.offset + 4);
  measures_.descent = S16(bytes_, hhea_.offset + 6);
  hMetricCount_ = static_cast<int>(U16(bytes_, hhea_.offset + 34));
  glyphCount_ = static_cast<int>(U16(bytes_, maxp_.offset + 4));
  measures_.capHeight = measures_.ascent;
  const Table os2 = Find("OS/2");
  if (os2.found && os2.length >= 90 && U16(bytes_, os2.offset) >= 2) measures_.capHeight = S16(bytes_, os2.offset + 88);
  if (measures_.unitsPerEm < 16 || (locaFormat != 0 && locaFormat != 1) || glyphCount_ == 0 || hMetricCount_ == 0 ||
      hMetricCount_ > glyphCount_ || loca_.length < static_cast<std::size_t>(glyphCount_ + 1) * (longLoca_ ? 4 : 2) ||
      hmtx_.length < static_cast<std::size_t>(hMetricCount_) * 4)
    return;

  // The Unicode character maps: format 12 reaches beyond the first 65536
  // characters, format 4 covers them.
  const std::size_t subtables = U16(bytes_, cmap.offset + 2);
  for (std::size_t i = 0; i < subtables && 4 + 8 * (i + 1) <= cmap.length; ++i) {
    const std::size_t record = cmap.offset + 4 + 8 * i;
    const std::uint32_t platform = U16(bytes_, record), encoding = U16(bytes_, record + 2);
    const std::size_t at = cmap.offset + U32(bytes_, record + 4);
    const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
    if (!unicode || at + 16 > cmap.offset + cmap.length) continue;
    const std::uint32_t format = U16(bytes_, at);
    if (format == 4) {
      const std::size_t segments2 = U16(bytes_, at + 6);
      if (at + 16 + 4 * segments2 <= bytes_.size() && cmapFormat4_ == 0) cmapFormat4_ = at;
    } else if (format == 12) {
      const std::size_t groups = U32(bytes_, at + 12);
      if (groups <= (bytes_.size() - at - 16) / 12 && cmapFormat12_ == 0) cmapFormat12_ = at;
    }
  }
  valid_ = cmapFormat4_ != 0 || cmapFormat12_ != 0;
}

TrueTypeFont::Table TrueTypeFont::Find(const char* tag) const {
  const std::size_t count = U16(bytes_, 4);
  for (std::size_t i = 0; i < count && 12 + 16 * (i + 1) <= bytes_.size(); ++i) {
    const std::size_t entry = 12 + 16 * i;
    if (bytes_.compare(entry, 4, tag) != 0) continue;
    Table t;
    t.offset = U32(bytes_, entry + 8);
    t.length = U32(bytes_, entry + 12);
    t.found = t.offset <= bytes_.size() && t.length <= bytes_.size() - t.offset;
    return t;
  }
  return {};
}

std::uint16_t TrueTypeFont::LookUpFormat4(std::size_t t, char32_t c) const {
  const std::size_t segments = U16(bytes_, t + 6) / 2;
  const std::size_t ends = t + 14, starts = ends + 2 * segments + 2;
  const std::size_t deltas = starts + 2 * segments, rangeOffsets = deltas + 2 * segments;
  for (std::size_t i = 0; i < segments; ++i) {
    if (c > U16(bytes_, ends + 2 * i)) continue;
    const std::uint32_t start = U16(bytes_, starts + 2 * i);
    if (c < start) return 0;
    const std::uint32_t delta = U16(bytes_, deltas + 2 * i);
    const std::uint32_t rangeOffset = U16(bytes_, rangeOffsets + 2 * i);
    if (rangeOffset == 0) return static_cast<std::uint16_t>((c + delta) & 0xFFFF);
    const std::size_t at = rangeOffsets + 2 * i + rangeOffset + 2 * (c - start);
    const std::uint32_t glyph = U16(bytes_, at);
    return glyph == 0 ? 0 : static_cast<std::uint16_t>((glyph + delta) & 0xFFFF);
  }
  return 0;
}

std::uint16_t TrueTypeFont::LookUpFormat12(std::size_t t, char32_t c) const {
  const std::size_t groups = U32(bytes_, t + 12);
  for (std::size_t i = 0; i < groups; ++i) {
    const std::size_t g = t + 16 + 12 * i;
    const std::uint32_t first = U32(bytes_, g), last = U32(bytes_, g + 4);
    if (c >= first && c <= last) return static_cast<std::uint16_t>(U32(bytes_, g + 8) + (c - first));
  }
  return 0;
}

std::uint16_t TrueTypeFont::GlyphOf(char32_t c) const {
  if (!valid_) return 0;
  std::uint16_t glyph = 0;
  if (cmapFormat12_ != 0)
    glyph = LookUpFormat12(cmapFormat12_, c);
  else if (c <= 0xFFFF)
    glyph = LookUpFormat4(cmapFormat4_, c);
  return glyph < glyphCount_ ? glyph : 0;
}

std::string TrueTypeFont::GlyphBytes(std::uint16_t glyph) const {
  if (glyph >= glyphCount_) return {};
  auto offset = [&](std::size_t g) -> std::size_t {
    return longLoca_ ? U32(bytes_, loca_.offset + 4 * g) : 2 * U16(bytes_, loca_.offset + 2 * g);
  };
  const std::size_t from = offset(glyph), to = offset(glyph + 1u);
  if (to <= from || to > glyf_.length) return {};
  return bytes_.substr(glyf_.offset + from, to - from);
}

std::vector<std::uint16_t> TrueTypeFont::Components(const std::string& glyph) const {
  std::vector<std::uint16_t> parts;
  ForEachComponent(glyph, [&](std::size_t at) { parts.push_back(static_cast<std::uint16_t>(U16(glyph, at))); });
  return parts;
}

std::string TrueTypeFont::Subset(const std::vector<std::uint16_t>& glyphs, std::vector<std::uint16_t>& newIds) const {
  newIds.clear();
  if (!valid_) return {};
  // The old numbers in their new order, and the new number of each.
  std::vector<std::uint16_t> kept;
  std::map<std::uint16_t, std::uint16_t> newOf;
  auto keep = [&](std::uint16_t old) -> std::uint16_t {
    if (old >= glyphCount_) old = 0;
    auto [it, added] = newOf.emplace(old, static_cast<std::uint16_t>(kept.size()));
    if (added) kept.push_back(old);
    return it->second;
  };
  keep(0);
  for (std::uint16_t g : glyphs) newIds.push_back(keep(g));
  for (std::size_t i = 0; i < kept.size(); ++i)
    for (std::uint16_t part : Components(GlyphBytes(kept[i]))) keep(part);

  std::string glyf, loca, hmtx;
  for (std::uint16_t old : kept) {
    Append32(loca, static_cast<std::uint32_t>(glyf.size()));
    std::string glyph = GlyphBytes(old);
    ForEachComponent(glyph, [&](std::size_t at) {
      const auto part = static_cast<std::uint16_t>(U16(glyph, at));
      Put16(glyph, at, part < glyphCount_ ? newOf.at(part) : 0);
    });
    glyf += glyph;
    PadTo4(glyf);
    const std::size_t metric = old < hMetricCount_ ? old : hMetricCount_ - 1u;
    Append16(hmtx, U16(bytes_, hmtx_.offset + 4 * metric));
    const std::size_t lsb = old < hMetricCount_ ? hmtx_.offset + 4 * metric + 2
                                                : hmtx_.offset + 4 * hMetricCount_ + 2 * (old - hMetricCount_);
    Append16(hmtx, lsb + 2 <= hmtx_.offset + hmtx_.length ? U16(bytes_, lsb) : 0);
  }
  Append32(loca, static_cast<std::uint32_t>(glyf.size()));

  const std::uint32_t count = static_cast<std::uint32_t>(kept.size());
  std::string head = TableBytes(head_), hhea = TableBytes(hhea_), maxp = TableBytes(maxp_);
  Put32(head, 8, 0);   // checkSumAdjustment, set by FontFile
  Put16(head, 50, 1);  // long "loca" offsets
  Put16(hhea, 34, count);
  Put16(maxp, 4, count);
  std::map<std::string, std::string> tables = {{"glyf", glyf}, {"head", head}, {"hhea", hhea},
                                               {"hmtx", hmtx}, {"loca", loca}, {"maxp", maxp}};
  for (const char* hinting : {"cvt ", "fpgm", "prep"})
    if (const Table t = Find(hinting); t.found) tables[hinting] = TableBytes(t);

  return FontFile(tables);
}

}  // namespace lodsmith
