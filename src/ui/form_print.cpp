// Print-out of the settings: the four grids and the tolerances on the
// default printer, or as a PDF file when there is no printer.
#include <ctime>

#include "core/file_io.h"
#include "print/pdf_writer.h"
#include "print/print_layout.h"
#include "ui/tlsform.h"

namespace lodsmith {

namespace {
const char* const kPrintQuestion = "Einstellungen auf Standarddrucker ausgeben?";
const char* const kLandscapeQuestion = "Querformat (empfohlen ab 4 LOD's)?";
const char* const kNoPrinterText = "Zur Zeit ist kein Standarddrucker gewählt";
}  // namespace

std::vector<PrintPage> TLSForm::SettingsListingPages(int printableHeightMm) {
  SettingsListing listing;
  listing.fileName = ExtractFileName(FileName);
  listing.dateTime = PrintDateTimeText(std::time(nullptr));
  listing.elements = &StringGrid1;
  listing.subObjects = &StringGrid2;
  listing.lods = &StringGrid5;
  listing.matrices = &StringGrid3;
  listing.lodCount = LodCount;
  listing.pointTolerance = PointTolerance;
  listing.normalTolerance = NormalTolerance;
  listing.decimalSeparator = platform_.DecimalSeparator();
  return LayoutSettingsListing(listing, LinesPerPage(printableHeightMm));
}

void TLSForm::E_DruckenButtonClick() {
  if (ShapeLines.empty() || StringGrid1.Cell(0, 1).empty()) return;
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, kPrintQuestion) != MsgResult::Yes) return;

  if (!platform_.DefaultPrinter(false).available) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, kNoPrinterText);
    // Without a printer the same listing can still go into a PDF file (A4).
    FileDialogRequest request;
    request.initialDir = ExtractFileDir(FileName);
    request.fileName = ChangeExtension(ExtractFileName(FileName), ".pdf");
    request.filter = "PDF-Dateien (*.pdf)|*.pdf";
    request.overwritePrompt = true;
    auto path = platform_.SaveDialog(request);
    if (!path) return;
    bool landscape = ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, kLandscapeQuestion) == MsgResult::Yes;
    const int height = PrintableHeightMm(ListingPageSetup(210, 297, landscape));
    if (!platform_.PrintPagesToPdf(SettingsListingPages(height), landscape, *path))
      ShowMessage(MsgKind::Error, MsgButtons::Ok, "Die Datei " + *path + " konnte nicht geschrieben werden.");
    return;
  }

  // The orientation is asked afresh for every print-out.
  bool landscape = ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, kLandscapeQuestion) == MsgResult::Yes;
  PrinterInfo printer = platform_.DefaultPrinter(landscape);
  if (!printer.available) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, kNoPrinterText);
    return;
  }
  if (!platform_.PrintPages(SettingsListingPages(printer.printableHeightMm), landscape, ExtractFileName(FileName)))
    ShowMessage(MsgKind::Error, MsgButtons::Ok, "Der Ausdruck konnte nicht an den Drucker übergeben werden.");
}

}  // namespace lodsmith
