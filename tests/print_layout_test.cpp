// The printed settings listing: page geometry, section flow, column formats,
// the PDF writer, and the print button's questions and fallbacks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

#include "print/pdf_writer.h"
#include "print/print_layout.h"
#include "test_env.h"

namespace lodsmith {
namespace {

using test::FormFixture;
using test::TempDir;

// Grids filled by hand: `rows` data rows below the header row.
StringGrid ElementGrid(int rows, int lods) {
  StringGrid g(3 + lods, rows + 1);
  for (int r = 1; r <= rows; ++r) {
    g.SetCell(0, r, "Element" + std::to_string(r));
    g.SetCell(1, r, "tex" + std::to_string(r) + ".ace");
    g.SetCell(2, r, std::to_string(10 * r));
    for (int k = 1; k <= lods; ++k) g.SetCell(k + 2, r, std::to_string(k));
  }
  return g;
}

StringGrid SubObjectGrid(int rows, int lods) {
  StringGrid g(2 + lods, rows + 1);
  for (int r = 1; r <= rows; ++r) {
    g.SetCell(0, r, std::to_string(r));
    g.SetCell(1, r, std::to_string(100 * r));
    for (int k = 1; k <= lods; ++k) g.SetCell(k + 1, r, (r + k) % 2 ? "x" : "");
  }
  return g;
}

StringGrid ThreeColumnGrid(int rows, const std::string& stem) {
  StringGrid g(3, rows + 1);
  for (int r = 1; r <= rows; ++r) {
    g.SetCell(0, r, stem + std::to_string(r));
    g.SetCell(1, r, std::to_string(200 * r));
    g.SetCell(2, r, std::to_string(3 * r));
  }
  return g;
}

struct Grids {
  StringGrid elements, subObjects, lods, matrices;
  SettingsListing listing;
  Grids(int e, int s, int l, int m, int lodCount = 1)
      : elements(ElementGrid(e, lodCount)),
        subObjects(SubObjectGrid(s, lodCount)),
        lods(ThreeColumnGrid(l, "")),
        matrices(ThreeColumnGrid(m, "MAIN_")) {
    listing.fileName = "lok.s";
    listing.dateTime = "01.02.2024 10:11:12";
    listing.elements = &elements;
    listing.subObjects = &subObjects;
    listing.lods = &lods;
    listing.matrices = &matrices;
    listing.lodCount = lodCount;
    listing.pointTolerance = 0.001L;
    listing.normalTolerance = 0;
    listing.decimalSeparator = ',';
    listing.text = test::German;
  }
};

// The lines of a page by line number (y / pitch).
std::map<int, PrintTextLine> ByLine(const PrintPage& page) {
  std::map<int, PrintTextLine> m;
  for (const auto& l : page.lines) {
    EXPECT_EQ(l.y % kListingPitch, 0);
    EXPECT_TRUE(m.emplace(l.y / kListingPitch, l).second) << "two texts on line " << l.y / kListingPitch;
  }
  return m;
}

std::string PageHeader(int n) { return "lok.s 01.02.2024 10:11:12 Seite " + std::to_string(n); }

TEST(PrintLayout, LinesPerPageFromPrintableHeight) {
  EXPECT_EQ(LinesPerPage(277), 59);  // (2770 - 200) div 43
  EXPECT_EQ(LinesPerPage(190), 39);  // 1700 / 43 = 39.5, rounded down
  EXPECT_EQ(LinesPerPage(20), 0);
}

TEST(PrintLayout, FiftyFiveElementsFillPageOneAndSubObjectsStartPageTwo) {
  Grids g(55, 2, 1, 1);
  auto pages = LayoutSettingsListing(g.listing, LinesPerPage(277));
  ASSERT_GE(pages.size(), 2u);
  auto p1 = ByLine(pages[0]);
  EXPECT_EQ(p1.at(0).text, PageHeader(1));
  EXPECT_TRUE(p1.at(0).bold);
  EXPECT_EQ(p1.at(2).text, "Elemente");
  EXPECT_TRUE(p1.at(2).bold);
  EXPECT_EQ(p1.at(3).text, ElementHeaderLine(1));
  EXPECT_FALSE(p1.at(3).bold);
  EXPECT_FALSE(p1.count(1));
  for (int r = 1; r <= 55; ++r) EXPECT_EQ(p1.at(3 + r).text, ElementDataLine(g.elements, r, 1)) << r;
  EXPECT_EQ(p1.rbegin()->first, 58);  // nothing of the next section squeezed below

  auto p2 = ByLine(pages[1]);
  EXPECT_EQ(p2.at(0).text, PageHeader(2));
  EXPECT_EQ(p2.at(2).text, "Subobjekte");
  EXPECT_TRUE(p2.at(2).bold);
  EXPECT_EQ(p2.at(3).text, SubObjectHeaderLine(1, test::German));
  EXPECT_EQ(p2.at(4).text, SubObjectDataLine(g.subObjects, 1, 1));
  for (const auto& l : pages[0].lines) EXPECT_EQ(l.x, kListingLeft);
}

TEST(PrintLayout, SectionsFollowAfterOneEmptyLineWhenThereIsRoom) {
  Grids g(3, 2, 2, 1);
  auto pages = LayoutSettingsListing(g.listing, 59);
  ASSERT_EQ(pages.size(), 1u);
  auto p = ByLine(pages[0]);
  // Elements on 4..6; each later section: empty line, title, columns, rows.
  EXPECT_FALSE(p.count(7));
  EXPECT_EQ(p.at(8).text, "Subobjekte");
  EXPECT_EQ(p.at(9).text, SubObjectHeaderLine(1, test::German));
  EXPECT_EQ(p.at(11).text, SubObjectDataLine(g.subObjects, 2, 1));
  EXPECT_EQ(p.at(13).text, "LOD's");
  EXPECT_EQ(p.at(14).text, LodHeaderLine(test::German));
  EXPECT_EQ(p.at(16).text, LodDataLine(g.lods, 2));
  EXPECT_EQ(p.at(18).text, "Matrizen");
  EXPECT_EQ(p.at(19).text, MatrixHeaderLine());
  EXPECT_EQ(p.at(20).text, MatrixDataLine(g.matrices, 1));
  EXPECT_FALSE(p.count(21));
  EXPECT_EQ(p.at(22).text, "Toleranz Punkte: 0,001; Toleranz Normalen: 0");
  EXPECT_FALSE(p.at(22).bold);
}

TEST(PrintLayout, RowsOfALaterSectionContinueWithHeaderTitleAndColumns) {
  Grids g(1, 1, 1, 70);
  auto pages = LayoutSettingsListing(g.listing, 59);
  ASSERT_EQ(pages.size(), 2u);
  auto p2 = ByLine(pages[1]);
  EXPECT_EQ(p2.at(0).text, PageHeader(2));
  EXPECT_EQ(p2.at(2).text, "Matrizen");
  EXPECT_EQ(p2.at(3).text, MatrixHeaderLine());
  // Page 1: element on 4; sub-object title 6, columns 7, row 8; LOD title
  // 10, columns 11, row 12; matrix title 14, columns 15, rows 16 to 58.
  const int onPageOne = 58 - 16 + 1;
  EXPECT_EQ(p2.at(4).text, MatrixDataLine(g.matrices, onPageOne + 1));
}

TEST(PrintLayout, ClosingLineAfterAFullPageStandsAloneOnANewPage) {
  // 54 rows end on line 57: no later section has room, and the closing line
  // (two lines further) falls beyond the page.
  Grids full(54, 0, 0, 0);
  auto pages = LayoutSettingsListing(full.listing, 59);
  ASSERT_EQ(pages.size(), 2u);
  auto p2 = ByLine(pages[1]);
  ASSERT_EQ(p2.size(), 2u);
  EXPECT_EQ(p2.at(0).text, PageHeader(2));
  EXPECT_EQ(p2.at(4).text, ToleranceLine(0.001L, 0, ',', test::German));

  // With room left, the closing line stays on the page two lines below.
  Grids room(40, 0, 0, 0);
  pages = LayoutSettingsListing(room.listing, 59);
  ASSERT_EQ(pages.size(), 1u);
  auto p1 = ByLine(pages[0]);
  // Rows end on 43; each empty section takes title and columns: 45/46, 48/49, 51/52.
  EXPECT_EQ(p1.at(51).text, "Matrizen");
  EXPECT_EQ(p1.at(54).text, ToleranceLine(0.001L, 0, ',', test::German));
}

TEST(PrintLayout, ColumnFormats) {
  const std::string threeLods = std::string("Name") + std::string(31, ' ') + " " + "Image" + std::string(11, ' ') +
                                " " + "   Faces" + "  L 1" + "  L 2" + "  L 3";
  EXPECT_EQ(ElementHeaderLine(3), threeLods);
  EXPECT_EQ(ElementHeaderLine(10).substr(threeLods.size() + 5 * 6), " L 10");

  // The sub-object header always names LOD 1.
  EXPECT_EQ(SubObjectHeaderLine(2, test::German), "  Nr.   Vert. L 1  L 1  L 2");
  EXPECT_EQ(LodHeaderLine(test::German), "  Nr.   Entfernung    Faces");
  EXPECT_EQ(MatrixHeaderLine(), std::string("Name") + std::string(31, ' ') + "    Faces   Anim.");

  StringGrid e(6, 2);
  const std::string longName(40, 'N');
  e.SetCell(0, 1, longName);
  e.SetCell(1, 1, "a.ace");
  e.SetCell(2, 1, "1234");
  e.SetCell(3, 1, "1");
  e.SetCell(4, 1, "999");
  e.SetCell(5, 1, "0");
  // Nothing is cut: the long name pushes the other columns right.
  EXPECT_EQ(ElementDataLine(e, 1, 3),
            longName + " a.ace" + std::string(11, ' ') + " " + "    1234" + "    1  999    0");

  StringGrid s(4, 2);
  s.SetCell(0, 1, "3");
  s.SetCell(1, 1, "14000");
  s.SetCell(3, 1, "x");
  EXPECT_EQ(SubObjectDataLine(s, 1, 2), "    3       14000         x");

  StringGrid m(3, 2);
  m.SetCell(0, 1, "WHEELS11");
  m.SetCell(1, 1, "96");
  m.SetCell(2, 1, "x");
  EXPECT_EQ(MatrixDataLine(m, 1), "WHEELS11" + std::string(27, ' ') + "       96       x");

  EXPECT_EQ(ToleranceLine(0.0015L, 0.25L, '.', test::German), "Toleranz Punkte: 0.0015; Toleranz Normalen: 0.25");
  EXPECT_EQ(ToleranceLine(0.001L, 0, ',', test::German), "Toleranz Punkte: 0,001; Toleranz Normalen: 0");
}

TEST(PrintLayout, CellsArePaddedByCharacterNotByte) {
  Grids g(1, 0, 0, 0);
  g.elements.SetCell(0, 1, "Tr\xC3\xA4ger");
  auto pages = LayoutSettingsListing(g.listing, 59);
  const std::string line = ByLine(pages[0]).at(4).text;
  EXPECT_EQ(line.substr(0, 8), "Tr\xC3\xA4ger ");
  EXPECT_EQ(line.substr(36, 1), " ");  // 35 characters + the blank = 36 bytes + 1 for the two-byte ä
  EXPECT_EQ(line.substr(37, 4), "tex1");
}

// Every row of every grid appears once, in order, on a line inside its page;
// each page starts with its own bold header.
TEST(PrintLayout, PropertyEveryRowOnceInsideItsPage) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    int e = 1 + static_cast<int>(rng() % 120), s = static_cast<int>(rng() % 30), l = static_cast<int>(rng() % 12),
        m = static_cast<int>(rng() % 60), lodCount = 1 + static_cast<int>(rng() % 5);
    int P = 5 + static_cast<int>(rng() % 70);
    Grids g(e, s, l, m, lodCount);
    auto pages = LayoutSettingsListing(g.listing, P);
    std::vector<std::string> expected;
    for (int r = 1; r <= e; ++r) expected.push_back(ElementDataLine(g.elements, r, lodCount));
    for (int r = 1; r <= s; ++r) expected.push_back(SubObjectDataLine(g.subObjects, r, lodCount));
    for (int r = 1; r <= l; ++r) expected.push_back(LodDataLine(g.lods, r));
    for (int r = 1; r <= m; ++r) expected.push_back(MatrixDataLine(g.matrices, r));
    expected.push_back(ToleranceLine(0.001L, 0, ',', test::German));
    std::vector<std::string> seen;
    for (std::size_t n = 0; n < pages.size(); ++n) {
      auto lines = ByLine(pages[n]);
      ASSERT_TRUE(lines.count(0));
      EXPECT_EQ(lines.at(0).text, PageHeader(static_cast<int>(n) + 1));
      EXPECT_TRUE(lines.at(0).bold);
      for (const auto& [no, line] : lines) {
        EXPECT_LT(no, std::max(P, 5)) << "P=" << P;
        if (no >= 4 && !line.bold && line.text.find("  Nr. ") != 0 && line.text.rfind("Name ", 0) != 0)
          seen.push_back(line.text);
      }
    }
    ASSERT_EQ(seen, expected) << "e=" << e << " s=" << s << " l=" << l << " m=" << m << " P=" << P;
  }
}

TEST(PrintLayout, TinyPrintableAreaStillStartsWithAFilledPage) {
  Grids g(3, 0, 0, 0);
  auto pages = LayoutSettingsListing(g.listing, LinesPerPage(25));  // 1 line by the formula
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(ByLine(pages[0]).at(0).text, PageHeader(1));
  EXPECT_EQ(ByLine(pages[0]).at(4).text, ElementDataLine(g.elements, 1, 1));
}

// ---- PDF writer --------------------------------------------------------------

TEST(PdfWriter, CrossReferenceOffsetsPointAtTheirObjects) {
  Grids g(80, 3, 2, 4, 2);
  auto pages = LayoutSettingsListing(g.listing, 59);
  std::string pdf = MakePdf(pages, ListingPageSetup(210, 297, false), "lok (1).s");
  ASSERT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
  auto xref = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  std::size_t count = std::stoul(pdf.substr(xref + 7));
  EXPECT_EQ(count, 6 + 2 * pages.size());
  for (std::size_t n = 1; n < count; ++n) {
    const std::size_t entries = xref + 5 + 2 + std::to_string(count).size() + 1;
    std::size_t off = std::stoul(pdf.substr(entries + 20 * n, 10));
    EXPECT_EQ(pdf.compare(off, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
  }
  EXPECT_NE(pdf.find("/Count " + std::to_string(pages.size()) + " "), std::string::npos);
  EXPECT_NE(pdf.find("/Title (lok \\(1\\).s)"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Courier-Bold"), std::string::npos);
}

TEST(PdfWriter, TextReadsBackThroughPdftotext) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  TempDir dir;
  Grids g(60, 2, 1, 1);
  g.elements.SetCell(0, 7,
                     "Br\xC3\xBC"
                     "cke (alt)");
  g.elements.SetCell(0, 8,
                     "Ko\xC4\x8Dka \xC5\x81\xC3\xB3"
                     "d\xC5\xBA");  // Kočka Łódź
  auto pages = LayoutSettingsListing(g.listing, 59);
  const std::string pdf = dir.File("listing.pdf");
  WritePdfFile(pdf, pages, ListingPageSetup(210, 297, true), "lok.s");
  const std::string txt = dir.File("listing.txt");
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
  const std::string text = test::ReadBytes(txt);
  EXPECT_NE(text.find(PageHeader(1)), std::string::npos);
  EXPECT_NE(text.find(PageHeader(2)), std::string::npos);
  EXPECT_NE(text.find("Br\xC3\xBC"
                      "cke (alt)"),
            std::string::npos);
  EXPECT_NE(text.find("Ko\xC4\x8Dka \xC5\x81\xC3\xB3"
                      "d\xC5\xBA"),
            std::string::npos);
  EXPECT_NE(text.find("Toleranz Punkte: 0,001; Toleranz Normalen: 0"), std::string::npos);
  // A data line reads back in one piece (pdftotext's layout may shift a
  // column by a blank, so runs of blanks count as one).
  auto squeeze = [](const std::string& s) {
    std::string r;
    for (char c : s)
      if (c != ' ' || r.empty() || r.back() != ' ') r.push_back(c);
    return r;
  };
  EXPECT_NE(squeeze(text).find(squeeze(ElementDataLine(g.elements, 12, 1))), std::string::npos);
}

TEST(PdfWriter, PageSetupTurnsTheSheet) {
  EXPECT_EQ(PrintableHeightMm(ListingPageSetup(210, 297, false)), 277);
  EXPECT_EQ(PrintableHeightMm(ListingPageSetup(210, 297, true)), 190);
  EXPECT_EQ(PrintableHeightMm(ListingPageSetup(215.9, 279.4, false)), 259);
}

// ---- The print button ----------------------------------------------------------

struct PrintFixture : FormFixture {
  PrintFixture() {
    form->ShapeLines = {"SIMISA@@@@@@@@@@JINX0s1t______", "shape ("};
    form->FileName = dir.File("lok.s");
    form->StringGrid1 = ElementGrid(3, 2);
    form->StringGrid2 = SubObjectGrid(2, 2);
    form->StringGrid5 = ThreeColumnGrid(2, "");
    form->StringGrid3 = ThreeColumnGrid(1, "MAIN_");
    form->LodCount = 2;
    form->PointTolerance = 0.5L;
    platform.printer = {true, 277};
  }
  void Click() {
    form->Dispatch([&] { form->E_DruckenButtonClick(); });
  }
};

TEST(PrintButton, NothingOpenOrNoElementsPrintsNothingSilently) {
  PrintFixture f;
  f.form->ShapeLines.clear();
  f.Click();
  f.form->ShapeLines = {"x"};
  f.form->StringGrid1.SetCell(0, 1, "");
  f.Click();
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_TRUE(f.platform.printed.empty());
}

TEST(PrintButton, QuestionsThenTheListingOnTheDefaultPrinter) {
  PrintFixture f;
  f.platform.answers = {MsgResult::No};
  f.Click();
  EXPECT_EQ(f.platform.Texts(), std::vector<std::string>{"Einstellungen auf Standarddrucker ausgeben?"});
  EXPECT_TRUE(f.platform.printed.empty());

  f.platform.Clear();
  f.platform.answers = {MsgResult::Yes, MsgResult::No};
  f.Click();
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(f.platform.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(f.platform.messages[1].text, "Querformat (empfohlen ab 4 LOD's)?");
  EXPECT_EQ(f.platform.messages[1].buttons, MsgButtons::YesNo);
  ASSERT_EQ(f.platform.printed.size(), 1u);
  const auto& page = f.platform.printed[0].at(0);
  auto lines = ByLine(page);
  EXPECT_EQ(lines.at(0).text.rfind("lok.s ", 0), 0u);
  EXPECT_EQ(lines.at(0).text.substr(lines.at(0).text.size() - 8), " Seite 1");
  EXPECT_EQ(lines.at(3).text, ElementHeaderLine(2));
  EXPECT_EQ(lines.at(4).text, ElementDataLine(f.form->StringGrid1, 1, 2));
  EXPECT_EQ(lines.rbegin()->second.text, "Toleranz Punkte: 0,5; Toleranz Normalen: 0");
  EXPECT_TRUE(f.platform.pdfsWritten.empty());
}

TEST(PrintButton, TheListingSpeaksTheFormsLanguage) {
  PrintFixture f;
  f.form->LanguageName = "English";
  f.platform.answers = {MsgResult::Yes, MsgResult::No};
  f.Click();
  ASSERT_EQ(f.platform.printed.size(), 1u);
  auto lines = ByLine(f.platform.printed[0].at(0));
  EXPECT_EQ(lines.at(0).text.substr(lines.at(0).text.size() - 7), " Page 1");
  EXPECT_EQ(lines.at(2).text.rfind("Elements", 0), 0u);
  EXPECT_EQ(lines.rbegin()->second.text, "Tolerance points: 0,5; tolerance normals: 0");
}

TEST(PrintButton, WithoutAPrinterTheMessageThenAnOfferToSaveAPdf) {
  PrintFixture f;
  f.platform.printer = {};
  f.Click();  // the save dialog is cancelled
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[1].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[1].buttons, MsgButtons::Ok);
  EXPECT_EQ(f.platform.messages[1].text, "Zur Zeit ist kein Standarddrucker gewählt");
  ASSERT_EQ(f.platform.saveRequests.size(), 1u);
  EXPECT_EQ(f.platform.saveRequests[0].fileName, "lok.pdf");
  EXPECT_TRUE(f.platform.saveRequests[0].overwritePrompt);
  EXPECT_TRUE(f.platform.pdfsWritten.empty());
  EXPECT_TRUE(f.platform.printed.empty());

  f.platform.Clear();
  f.platform.saveResults = {f.dir.File("listing.pdf")};
  f.Click();
  EXPECT_EQ(f.platform.pdfsWritten, std::vector<std::string>{f.dir.File("listing.pdf")});
  EXPECT_EQ(f.platform.Texts().back(), "Querformat (empfohlen ab 4 LOD's)?");
  EXPECT_TRUE(f.platform.printed.empty());
}

TEST(PrintButton, AFailedPrintIsReportedOnce) {
  PrintFixture f;
  f.platform.printSucceeds = false;
  f.platform.answers = {MsgResult::Yes, MsgResult::Yes};
  f.Click();
  ASSERT_EQ(f.platform.messages.size(), 3u);
  EXPECT_EQ(f.platform.messages[2].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[2].text, "Der Ausdruck konnte nicht an den Drucker übergeben werden.");
  // The window is left as it was.
  EXPECT_FALSE(f.form->Changed);
}

TEST(PrintButton, APdfThatCannotBeWrittenIsReportedOnce) {
  PrintFixture f;
  f.platform.printer = {};
  f.platform.pdfSucceeds = false;
  const std::string pdf = f.dir.File("listing.pdf");
  f.platform.saveResults = {pdf};
  f.Click();
  // The question, no printer, the orientation, then the one message of the
  // failure.
  ASSERT_EQ(f.platform.messages.size(), 4u);
  EXPECT_EQ(f.platform.messages[3].kind, MsgKind::Error);
  EXPECT_EQ(f.platform.messages[3].text, "Die Datei " + pdf + " konnte nicht geschrieben werden.");
  EXPECT_TRUE(f.platform.pdfsWritten.empty());
}

}  // namespace
}  // namespace lodsmith
