// A small PDF writer for the printed listing: pages of positioned text lines
// in the standard fonts Courier and Courier-Bold, with an embedded face for
// other scripts (no toolkit), so that the batch program and machines without a printer can
// still produce the listing.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "print/pdf_font.h"

namespace lodsmith {

struct PdfPageSetup {
  double pageWidthMm = 210;  // as the sheet lies (landscape: the wider side)
  double pageHeightMm = 297;
  double originXMm = 10;  // top left corner of the printable area
  double originYMm = 10;
  double fontHeightMm = 4.0;  // character cell height (ascent + descent)
};

// A sheet of the given size (portrait measures) with 10 mm margins on every
// side, turned when `landscape`.
PdfPageSetup ListingPageSetup(double widthMm, double heightMm, bool landscape);
// The height of its printable area in whole millimetres.
int PrintableHeightMm(const PdfPageSetup& setup);

// The PDF file's bytes. Line texts are UTF-8 and are written in the
// Windows-1252 encoding of the standard fonts; the Latin Extended-A letters
// (Czech, Polish, ...) through a second encoding of the same fonts; every
// other character that the listing's embedded face (print/pdf_font.h) has,
// in a subset of that face embedded in the file; the rest become "?". A
// listing in Windows-1252 alone embeds nothing.
// A line's (x, y) is its top left corner in 0.1 mm from the printable
// area's corner. The first form uses the faces installed for this program
// (InstalledListingFonts).
std::string MakePdf(const std::vector<PrintPage>& pages, const PdfPageSetup& setup, const std::string& title);
std::string MakePdf(const std::vector<PrintPage>& pages, const PdfPageSetup& setup, const std::string& title,
                    const ListingFonts& fonts);

// Writes MakePdf's bytes to `path` (replacing it); raises Error as
// WriteFileAtomic does (document/shape_file.h).
void WritePdfFile(const std::string& path, const std::vector<PrintPage>& pages, const PdfPageSetup& setup,
                  const std::string& title);

}  // namespace lodsmith
