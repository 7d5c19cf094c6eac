// The listing's embedded face: names in any script print in the PDF and read
// back, a Windows-1252 listing stays as it was, and the TrueType reader
// survives damaged files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "core/file_io.h"
#include "core/string_grid.h"
#include "print/pdf_font.h"
#include "print/pdf_writer.h"
#include "print/print_layout.h"
#include "test_env.h"

namespace lodsmith {
namespace {

using test::ReadBytes;
using test::TempDir;

#define REQUIRE_FACE()                                                                   \
  if (!InstalledListingFonts().regular.Valid() || !InstalledListingFonts().bold.Valid()) \
  GTEST_SKIP() << "DejaVu Sans Mono is not installed beside the program or in the system (fonts-dejavu-core)"

// The bytes of a face file from the first folder the program looks in that
// has it.
std::string FaceBytes(const char* file) {
  for (std::string folder : ListingFontFolders()) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    if (FileExists(folder + file)) return ReadBytes(folder + file);
  }
  return {};
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// Runs of blanks count as one: pdftotext's layout may shift a column.
std::string Squeeze(const std::string& s) {
  std::string r;
  for (char c : s)
    if (c != ' ' || r.empty() || r.back() != ' ') r.push_back(c);
  return r;
}

// One page: a bold header naming the shape, then an element line per name.
std::vector<PrintPage> ListingOf(const std::string& shapeName, const std::vector<std::string>& names) {
  StringGrid grid(4, static_cast<int>(names.size()) + 1);
  PrintPage page;
  page.lines.push_back({kListingLeft, 0, true, shapeName + " 01.02.2024 10:11:12 Seite 1"});
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    grid.SetCell(0, row, names[i]);
    grid.SetCell(1, row, "tex.ace");
    grid.SetCell(2, row, std::to_string(12 * row));
    grid.SetCell(3, row, "1");
    page.lines.push_back({kListingLeft, kListingPitch * (row + 3), false, ElementDataLine(grid, row, 1)});
  }
  return {page};
}

// Cyrillic (Russian, Ukrainian), Polish, Czech, Greek and a mix with German.
const std::vector<std::string> kNames = {
    "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xB2\xD0\xBE\xD0\xB7 \xD0\xA2\xD0\xAD\xD0\x97",  // Паровоз ТЭЗ
    "\xD0\x87\xD0\xB6\xD0\xB0\xD0\xBA \xD0\x99",                                          // Їжак Й
    "\xC5\x81\xC3\xB3\x64\xC5\xBA Kaliska",                                               // Łódź Kaliska
    "Ko\xC4\x8D\x6B\x61 \xC5\xA1\x6B\x6F\x64\x61",                                        // Kočka škoda
    "\xCE\x93\xCE\xAD\xCF\x86\xCF\x85\xCF\x81\xCE\xB1",                                   // Γέφυρα
    "Br\xC3\xBC\x63ke \xD0\x9C\xD0\xBE\xD1\x81\xD1\x82 (alt)",                            // Brücke Мост (alt)
};
const std::string kShapeName = "\xD0\x92\xD0\xB0\xD0\xB3\xD0\xBE\xD0\xBD.s";  // Вагон.s

TEST(PdfFont, NamesInAnyScriptReadBackThroughPdftotext) {
  REQUIRE_FACE();
  if (!Shell("command -v pdftotext >/dev/null 2>&1")) GTEST_SKIP() << "pdftotext is not installed";
  TempDir dir;
  const auto pages = ListingOf(kShapeName, kNames);
  const std::string pdf = dir.File("listing.pdf"), txt = dir.File("listing.txt");
  WritePdfFile(pdf, pages, ListingPageSetup(210, 297, false), kShapeName);
  ASSERT_TRUE(Shell("pdftotext -layout '" + pdf + "' '" + txt + "'"));
  const std::string text = Squeeze(ReadBytes(txt));
  EXPECT_NE(text.find(pages[0].lines[0].text), std::string::npos) << text;  // the bold header
  for (std::size_t i = 1; i < pages[0].lines.size(); ++i)
    EXPECT_NE(text.find(Squeeze(pages[0].lines[i].text)), std::string::npos) << kNames[i - 1] << "\n" << text;
  EXPECT_EQ(text.find('?'), std::string::npos) << text;
}

TEST(PdfFont, EmbeddedSubsetsDrawWithoutComplaint) {
  REQUIRE_FACE();
  if (!Shell("command -v pdffonts >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1"))
    GTEST_SKIP() << "pdffonts or pdftoppm is not installed";
  TempDir dir;
  // Only Cyrillic on the page: every mark on it comes from the subsets.
  PrintPage page;
  page.lines.push_back({kListingLeft, 0, true, "\xD0\x96\xD0\x96\xD0\x96\xD0\x96"});               // ЖЖЖЖ
  page.lines.push_back({kListingLeft, kListingPitch, false, "\xD0\xA9\xD0\xA9\xD0\xA9\xD0\xA9"});  // ЩЩЩЩ
  const std::string pdf = dir.File("cyrillic.pdf");
  WritePdfFile(pdf, {page}, ListingPageSetup(210, 297, false), "x");
  const std::string fonts = dir.File("fonts.txt"), errors = dir.File("errors.txt");
  ASSERT_TRUE(Shell("pdffonts '" + pdf + "' >'" + fonts + "' 2>'" + errors + "'"));
  const std::string listed = ReadBytes(fonts);
  EXPECT_NE(listed.find("+DejaVuSansMono "), std::string::npos) << listed;
  EXPECT_NE(listed.find("+DejaVuSansMono-Bold "), std::string::npos) << listed;
  EXPECT_NE(listed.find("CID TrueType"), std::string::npos) << listed;
  ASSERT_TRUE(Shell("pdftoppm -r 72 -gray -f 1 -l 1 '" + pdf + "' '" + dir.File("page") + "' 2>'" + errors + "'"));
  EXPECT_EQ(ReadBytes(errors), "");
  // A binary PGM: header "P5\n<w> <h>\n255\n", then one byte per pixel.
  const std::string pgm = ReadBytes(dir.File("page-1.pgm"));
  ASSERT_EQ(pgm.rfind("P5", 0), 0u);
  std::size_t at = 0;
  for (int fields = 0; fields < 4; ++fields) at = pgm.find_first_of(" \n", at) + 1;
  int ink = 0;
  for (std::size_t i = at; i < pgm.size(); ++i) ink += static_cast<unsigned char>(pgm[i]) < 128;
  EXPECT_GT(ink, 100);  // eight letters of 4 mm at 72 dpi
}

TEST(PdfFont, Windows1252AndLatinExtendedAListingsEmbedNothing) {
  const ListingFonts none;
  for (const auto& pages : {ListingOf("lok.s", {"Br\xC3\xBC\x63ke", "Lok (alt)", "\xE2\x82\xAC-Wagen"}),
                            ListingOf("\xC5\x81\xC3\xB3\x64\xC5\xBA.s", {"Ko\xC4\x8D\x6B\x61", "Zug"})}) {
    const std::string withFace = MakePdf(pages, ListingPageSetup(210, 297, false), "lok.s");
    EXPECT_EQ(withFace, MakePdf(pages, ListingPageSetup(210, 297, false), "lok.s", none));
    EXPECT_EQ(withFace.find("/FontFile2"), std::string::npos);
  }
}

TEST(PdfFont, WithoutTheFaceOtherScriptsPrintAsQuestionMarks) {
  const ListingFonts none;
  const std::string pdf = MakePdf(ListingOf("lok.s", {kNames[0]}), ListingPageSetup(210, 297, false), "lok.s", none);
  EXPECT_NE(pdf.find("(\?\?\?\?\?\?\? \?\?\?"), std::string::npos);
  EXPECT_EQ(pdf.find("/FontFile2"), std::string::npos);
}

TEST(PdfFont, FacesAreLookedForInTheGivenFoldersInTurn) {
  REQUIRE_FACE();
  const ListingFonts& installed = InstalledListingFonts();
  ASSERT_NE(installed.regular.measures().xMax, installed.bold.measures().xMax);
  // The first folder holds the bold face under the regular one's name.
  TempDir dir;
  test::WriteBytes(dir.File(kListingFontFile), FaceBytes(kListingBoldFontFile));
  std::vector<std::string> folders = ListingFontFolders();
  folders.insert(folders.begin(), dir.path());
  const ListingFonts first = LoadListingFonts(folders);
  EXPECT_EQ(first.regular.measures().xMax, installed.bold.measures().xMax);  // from the first folder
  EXPECT_TRUE(first.bold.Valid());                                           // from a later one
  const ListingFonts only = LoadListingFonts({dir.path() + "/"});
  EXPECT_TRUE(only.regular.Valid());
  EXPECT_FALSE(only.bold.Valid());
  // Bold lines then use the regular face.
  const std::string pdf = MakePdf(ListingOf(kShapeName, {}), ListingPageSetup(210, 297, false), "x", only);
  EXPECT_NE(pdf.find("+DejaVuSansMono "), std::string::npos);
  EXPECT_EQ(pdf.find("DejaVuSansMono-Bold"), std::string::npos);
  EXPECT_FALSE(LoadListingFonts({dir.File("missing")}).regular.Valid());
}

// ---- The TrueType reader ---------------------------------------------------------

std::uint32_t Be(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
  return v;
}

// The offset of a table of a font file (0 when absent).
std::size_t TableAt(const std::string& font, const char* tag) {
  for (std::uint32_t i = 0; i < Be(font, 4, 2); ++i)
    if (font.compare(12 + 16 * i, 4, tag) == 0) return Be(font, 12 + 16 * i + 8, 4);
  return 0;
}

TEST(TrueTypeFont, SubsetHoldsTheGlyphsAndWhatTheyAreBuiltFrom) {
  REQUIRE_FACE();
  const TrueTypeFont& font = InstalledListingFonts().regular;
  // Й is И with a breve in DejaVu Sans Mono: a composite glyph.
  const std::uint16_t shortI = font.GlyphOf(U'\u0419'), zhe = font.GlyphOf(U'\u0416');
  ASSERT_NE(shortI, 0);
  ASSERT_NE(zhe, 0);
  EXPECT_EQ(font.GlyphOf(U'\u4E00'), 0);  // no CJK in this face
  std::vector<std::uint16_t> ids;
  const std::string subset = font.Subset({zhe, shortI, zhe}, ids);
  EXPECT_EQ(ids, (std::vector<std::uint16_t>{1, 2, 1}));
  const std::size_t maxp = TableAt(subset, "maxp"), head = TableAt(subset, "head");
  const std::size_t loca = TableAt(subset, "loca"), glyf = TableAt(subset, "glyf");
  ASSERT_NE(maxp * head * loca * glyf, 0u);
  const std::uint32_t glyphs = Be(subset, maxp + 4, 2);
  EXPECT_GT(glyphs, 3u);  // .notdef, Ж, Й and Й's parts
  EXPECT_LT(glyphs, 8u);
  EXPECT_EQ(Be(subset, head + 50, 2), 1u);  // long offsets
  const std::size_t shortIAt = glyf + Be(subset, loca + 4 * 2, 4);
  ASSERT_EQ(static_cast<std::int16_t>(Be(subset, shortIAt, 2)), -1);  // composite
  // Its first component is renumbered into the subset.
  EXPECT_LT(Be(subset, shortIAt + 12, 2), glyphs);
  EXPECT_GE(Be(subset, shortIAt + 12, 2), 3u);
  // The whole file sums to the font format's magic number.
  const std::string padded = subset + std::string(4, '\0');
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < subset.size(); i += 4) sum += Be(padded, i, 4);
  EXPECT_EQ(sum, 0xB1B0AFBAu);
}

TEST(TrueTypeFont, DamagedFilesAreRefusedOrReadWithinTheirBytes) {
  REQUIRE_FACE();
  const std::string good = FaceBytes(kListingFontFile);
  for (std::size_t length : {std::size_t{0}, std::size_t{4}, std::size_t{12}, std::size_t{200}, good.size() / 2})
    EXPECT_FALSE(TrueTypeFont(good.substr(0, length)).Valid()) << length;
  // Changed bytes anywhere: the reader may accept the file, but never reads
  // beyond it (the sanitized build watches) and a subset stays possible.
  std::mt19937 random(7);
  for (int run = 0; run < 300; ++run) {
    std::string bad = good.substr(0, run % 2 ? good.size() : 20000);
    for (int k = 0; k < 8; ++k) bad[random() % bad.size()] = static_cast<char>(random());
    TrueTypeFont font(bad);
    std::vector<std::uint16_t> glyphs;
    for (char32_t c : {U'A', U'\u0416', U'\u0419', U'\u03A9'}) glyphs.push_back(font.GlyphOf(c));
    std::vector<std::uint16_t> ids;
    const std::string subset = font.Subset(glyphs, ids);
    EXPECT_EQ(subset.empty(), !font.Valid());
  }
}

}  // namespace
}  // namespace lodsmith
