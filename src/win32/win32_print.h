// The settings listing on the default printer through GDI. The pages come
// laid out in 0.1 mm from the printable area's top left corner; a page's
// mapping turns those units into the printer's dots, and the listing font
// ("Courier New", a character cell of kListingFontHeight units) is made for
// that mapping.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace lodsmith {

// The device point of a listing position (0.1 mm units) on a device of the
// given resolution (dots per inch), measured from the printable area.
POINT ListingToDevice(int x, int y, int dpiX, int dpiY);
// Sets `dc` up so that logical units are 0.1 mm (MM_ANISOTROPIC) for its
// resolution; returns false when the device refuses.
bool SetListingMapping(HDC dc);
// Draws the lines of one page on a dc set up by SetListingMapping.
void DrawListingPage(HDC dc, const PrintPage& page);

// The default printer (nothing available when there is none) and the
// height of its printable area in millimetres for the orientation.
PrinterInfo GdiDefaultPrinter(bool landscape);
// Prints the pages as one job on the default printer; false when there is
// none or a step failed.
bool GdiPrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName);

}  // namespace lodsmith
