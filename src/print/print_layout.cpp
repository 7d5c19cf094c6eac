#include "print/print_layout.h"

#include <algorithm>
#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/grid_columns.h"
#include "core/text.h"
#include "print/print_messages.h"

namespace lodsmith {

namespace {

// printf's "%-Ns" and "%Ns": padded with blanks, never cut.
// The width counts characters: a name in any script takes one column per
// character.
std::string Left(const std::string& s, std::size_t width) {
  const std::size_t n = CharCount(s);
  return n >= width ? s : s + std::string(width - n, ' ');
}
std::string Right(const std::string& s, std::size_t width) {
  const std::size_t n = CharCount(s);
  return n >= width ? s : std::string(width - n, ' ') + s;
}

std::string LodHeadings(int lodCount) {
  std::string r;
  for (int k = 1; k <= lodCount; ++k) r += Right("L " + std::to_string(k), 5);
  return r;
}

class PageWriter {
public:
  std::vector<PrintPage> pages;
  int linesPerPage;

  PageWriter(const SettingsListing& listing, int p) : linesPerPage(p), listing_(listing) { pages.emplace_back(); }

  void NewPage() { pages.emplace_back(); }

  void Draw(int line, bool bold, std::string text) {
    PrintTextLine t;
    t.x = kListingLeft;
    t.y = kListingPitch * line;
    t.bold = bold;
    t.text = std::move(text);
    pages.back().lines.push_back(std::move(t));
  }

  void DrawPageHeader() {
    Draw(
        0, true,
        listing_.fileName + " " + listing_.dateTime + " " + listing_.text(Message(PrintMsg::PageNumber, pages.size())));
  }

  // One data row: a new page when the line counter reaches the page's end,
  // and at the top of a page the header, the section title and its columns.
  void Row(int& L, const std::string& title, const std::string& columns, const std::string& data) {
    L = L + 1;
    if (L >= linesPerPage) {
      NewPage();
      L = 1;
    }
    if (L == 1) {
      DrawPageHeader();
      Draw(2, true, title);
      Draw(3, false, columns);
      L = 4;
    }
    Draw(L, false, data);
  }

  // A later section: its title after one empty line when there is room for
  // the title, the columns and at least one row; else it starts a new page
  // with its first row.
  void SectionStart(int& L, const std::string& title, const std::string& columns) {
    if (L < linesPerPage - 4) {
      Draw(L + 2, true, title);
      Draw(L + 3, false, columns);
      L = L + 3;
    } else {
      L = linesPerPage;
    }
  }

private:
  const SettingsListing& listing_;
};

int DataRows(const StringGrid* grid) { return grid ? grid->RowCount() - 1 : 0; }

}  // namespace

int LinesPerPage(int printableHeightMm) { return (10 * printableHeightMm - 200) / kListingPitch; }

std::string ElementHeaderLine(int lodCount) {
  return Left("Name", 35) + " " + Left("Image", 16) + " " + Right("Faces", 8) + LodHeadings(lodCount);
}

std::string ElementDataLine(const StringGrid& grid, int row, int lodCount) {
  std::string r = Left(grid.Cell(grid::kElementName, row), 35) + " " + Left(grid.Cell(grid::kElementImage, row), 16) +
                  " " + Right(grid.Cell(grid::kElementFaces, row), 8);
  for (int k = 1; k <= lodCount; ++k) r += Right(grid.Cell(grid::ElementLodColumn(k), row), 5);
  return r;
}

std::string SubObjectHeaderLine(int lodCount, const ListingText& text) {
  // Always of LOD 1, whatever LOD the window shows.
  return Right(text(Message(PrintMsg::NumberColumn)), 5) + " " + Right(text(Message(PrintMsg::VerticesColumn)), 11) +
         LodHeadings(lodCount);
}

std::string SubObjectDataLine(const StringGrid& grid, int row, int lodCount) {
  std::string r =
      Right(grid.Cell(grid::kSubObjectNumber, row), 5) + " " + Right(grid.Cell(grid::kSubObjectVertices, row), 11);
  for (int k = 1; k <= lodCount; ++k) r += Right(grid.Cell(grid::SubObjectSortColumn(k), row), 5);
  return r;
}

std::string LodHeaderLine(const ListingText& text) {
  return Right(text(Message(PrintMsg::NumberColumn)), 5) + " " + Right(text(Message(PrintMsg::DistanceColumn)), 12) +
         " " + Right("Faces", 8);
}

std::string LodDataLine(const StringGrid& grid, int row) {
  return Right(grid.Cell(grid::kOverviewLod, row), 5) + " " + Right(grid.Cell(grid::kOverviewDistance, row), 12) + " " +
         Right(grid.Cell(grid::kOverviewFaces, row), 8);
}

std::string DetailHeaderLine(const ListingText& text) {
  return Right(text(Message(PrintMsg::NumberColumn)), 5) + " " + Right(text(Message(PrintMsg::DetailColumn)), 12);
}

std::string DetailDataLine(const StringGrid& grid, int row) {
  return Right(grid.Cell(0, row), 5) + " " + Right(grid.Cell(1, row), 12);
}

std::string MatrixHeaderLine() { return Left("Name", 35) + " " + Right("Faces", 8) + " " + Right("Anim.", 7); }

std::string MatrixDataLine(const StringGrid& grid, int row) {
  return Left(grid.Cell(grid::kMatrixName, row), 35) + " " + Right(grid.Cell(grid::kMatrixFaces, row), 8) + " " +
         Right(grid.Cell(grid::kMatrixAnimated, row), 7);
}

std::string ToleranceLine(long double pointTolerance, long double normalTolerance, char decimalSeparator,
                          const ListingText& text) {
  return text(Message(PrintMsg::Tolerances, FormatGeneral(pointTolerance, decimalSeparator),
                      FormatGeneral(normalTolerance, decimalSeparator)));
}

std::vector<PrintPage> LayoutSettingsListing(const SettingsListing& listing, int linesPerPage) {
  // Below 5 lines no page could hold its header, title, columns and a row;
  // without this floor a tiny printable area would give an empty first page.
  PageWriter w(listing, std::max(linesPerPage, 5));
  const int lods = std::max(listing.lodCount, 0);
  int L = 0;

  const ListingText& text = listing.text;
  const std::string elementColumns = ElementHeaderLine(lods);
  const std::string elements = text(Message(PrintMsg::ElementsTitle));
  for (int r = 1; r <= DataRows(listing.elements); ++r)
    w.Row(L, elements, elementColumns, ElementDataLine(*listing.elements, r, lods));

  const std::string subObjectColumns = SubObjectHeaderLine(lods, text);
  const std::string subObjects = text(Message(PrintMsg::SubObjectsTitle));
  w.SectionStart(L, subObjects, subObjectColumns);
  for (int r = 1; r <= DataRows(listing.subObjects); ++r)
    w.Row(L, subObjects, subObjectColumns, SubObjectDataLine(*listing.subObjects, r, lods));

  const std::string lodColumns = LodHeaderLine(text);
  const std::string lodsTitle = text(Message(PrintMsg::LodsTitle));
  w.SectionStart(L, lodsTitle, lodColumns);
  for (int r = 1; r <= DataRows(listing.lods); ++r) w.Row(L, lodsTitle, lodColumns, LodDataLine(*listing.lods, r));

  if (listing.details) {
    const std::string detailColumns = DetailHeaderLine(text);
    const std::string detailTitle = text(Message(PrintMsg::DetailTitle, listing.screenError));
    w.SectionStart(L, detailTitle, detailColumns);
    // One row per LOD: the grid may keep rows of LODs beyond the count.
    const int rows = std::min(DataRows(listing.details), lods);
    for (int r = 1; r <= rows; ++r) w.Row(L, detailTitle, detailColumns, DetailDataLine(*listing.details, r));
  }

  const std::string matrixColumns = MatrixHeaderLine();
  const std::string matrices = text(Message(PrintMsg::MatricesTitle));
  w.SectionStart(L, matrices, matrixColumns);
  for (int r = 1; r <= DataRows(listing.matrices); ++r)
    w.Row(L, matrices, matrixColumns, MatrixDataLine(*listing.matrices, r));

  L = L + 2;
  if (L >= w.linesPerPage) {
    w.NewPage();
    L = 1;
  }
  if (L == 1) {
    w.DrawPageHeader();
    L = 4;
  }
  w.Draw(L, false, ToleranceLine(listing.pointTolerance, listing.normalTolerance, listing.decimalSeparator, text));
  return std::move(w.pages);
}

std::string PrintDateTimeText(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  std::ostringstream out;
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* name = std::getenv(var);
    if (!name || !*name) continue;
    try {
      out.imbue(std::locale(name));
    } catch (const std::exception&) {
      // A locale that is not installed: the C library's formats below.
    }
    break;
  }
  out << std::put_time(&local, "%x %X");
  return out.str();
}

}  // namespace lodsmith
