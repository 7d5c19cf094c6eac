// Print-out of the settings: the four grids and the tolerances on the
// default printer, or as a PDF file when there is no printer.
#include "core/file_io.h"
#include "print/pdf_writer.h"
#include "print/print_layout.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith {

void TLSForm::E_DruckenButtonClick() {
  if (!session.CanListSettings()) return;
  if (ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(UiMsg::PrintQuestion)) != MsgResult::Yes) return;
  auto askLandscape = [this] {
    return ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(UiMsg::LandscapeQuestion)) == MsgResult::Yes;
  };
  // The listing's words follow the language of the messages.
  auto pages = [this](int printableHeightMm) {
    return session.ListingPages(printableHeightMm, [this](const Message& m) { return Text(m); });
  };
  auto fail = [this](const Message& message) { ShowMessage(MsgKind::Error, MsgButtons::Ok, message); };

  if (!platform_.DefaultPrinter(false).available) {
    fail(Message(UiMsg::NoPrinter));
    // Without a printer the same listing can still go into a PDF file (A4).
    FileDialogRequest request;
    request.initialDir = ExtractFileDir(FileName);
    request.fileName = ChangeExtension(ExtractFileName(FileName), ".pdf");
    request.filter = Text(Message(UiMsg::PdfFilter));
    request.overwritePrompt = true;
    auto path = platform_.SaveDialog(request);
    if (!path) return;
    bool landscape = askLandscape();
    const int height = PrintableHeightMm(ListingPageSetup(210, 297, landscape));
    try {
      platform_.PrintPagesToPdf(pages(height), landscape, *path);
    } catch (const Error& e) {
      fail(e.message());
    }
    return;
  }

  // The orientation is asked afresh for every print-out.
  bool landscape = askLandscape();
  PrinterInfo printer = platform_.DefaultPrinter(landscape);
  if (!printer.available) {
    fail(Message(UiMsg::NoPrinter));
    return;
  }
  try {
    platform_.PrintPages(pages(printer.printableHeightMm), landscape, ExtractFileName(FileName));
  } catch (const Error& e) {
    fail(e.message());
  }
}

}  // namespace lodsmith
