// The settings listing of a model as printed pages: the element, sub-object,
// LOD and matrix grids as monospaced columns, a header line with file name,
// date/time and page number on every page, and a closing line with the two
// merge tolerances. The result is a list of pages of positioned text lines
// (0.1 mm units from the top left corner of the printable area); the
// platform draws them.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/string_grid.h"
#include "platform/platform.h"

namespace lodsmith {

inline constexpr int kListingLeft = 200;       // 20 mm from the left edge
inline constexpr int kListingPitch = 43;       // 4.3 mm per line
inline constexpr int kListingFontHeight = 40;  // 4.0 mm characters

// Lines per page for a printable height in millimetres:
// (10 * height - 200) div 43.
int LinesPerPage(int printableHeightMm);

// Turns one of the listing's words (a PrintMsg) into the text printed.
using ListingText = std::function<std::string(const Message&)>;

struct SettingsListing {
  std::string fileName;  // the shape's name without folder (UTF-8)
  std::string dateTime;  // date and time of printing (UTF-8)
  // Grid cells are Latin-1 bytes, as the grids hold them.
  // The grids' columns are those of core/grid_columns.h.
  const StringGrid* elements = nullptr;    // name, image, faces, then the sub-object of each LOD
  const StringGrid* subObjects = nullptr;  // number, vertices, then the sort mark of each LOD
  const StringGrid* lods = nullptr;        // the LOD overview: number, distance, faces
  const StringGrid* matrices = nullptr;    // name, faces, animation mark
  // The detail of each LOD (number, detail) and the screen error, listed
  // after the LODs; null while every LOD keeps its elements as they are.
  const StringGrid* details = nullptr;
  std::string screenError;  // pixels, as written
  int lodCount = 1;         // LOD columns of the element and sub-object grids
  long double pointTolerance = 0;
  long double normalTolerance = 0;
  char decimalSeparator = '.';
  ListingText text;  // the titles, column names, page number and tolerances
};

// The column header lines and data lines of the four sections, as Latin-1
// text ("%-35s" pads to 35 characters, longer texts are not cut).
std::string ElementHeaderLine(int lodCount);
std::string ElementDataLine(const StringGrid& grid, int row, int lodCount);
std::string SubObjectHeaderLine(int lodCount, const ListingText& text);
std::string SubObjectDataLine(const StringGrid& grid, int row, int lodCount);
std::string LodHeaderLine(const ListingText& text);
std::string LodDataLine(const StringGrid& grid, int row);
// The detail section's title (with the screen error), columns and rows.
std::string DetailHeaderLine(const ListingText& text);
std::string DetailDataLine(const StringGrid& grid, int row);
std::string MatrixHeaderLine();
std::string MatrixDataLine(const StringGrid& grid, int row);
// The tolerances line (PrintMsg::Tolerances), both in the general format.
std::string ToleranceLine(long double pointTolerance, long double normalTolerance, char decimalSeparator,
                          const ListingText& text);

// Lays the listing out on pages of `linesPerPage` lines (line 0 holds the
// page header; a page needs room for the header, a title, a column header
// and one row, so fewer than 5 lines count as 5). Every grid contributes its
// data rows 1 to RowCount() - 1. Texts of the result are UTF-8.
std::vector<PrintPage> LayoutSettingsListing(const SettingsListing& listing, int linesPerPage);

// The local date in the user's short date format and the time in the long
// time format, separated by a blank (regional settings from LC_ALL, LC_TIME
// or LANG; the C library's when none is usable).
std::string PrintDateTimeText(std::time_t when);

}  // namespace lodsmith
