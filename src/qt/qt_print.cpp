#include "qt/qt_print.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "print/pdf_writer.h"
#include "print/print_layout.h"

namespace lodsmith {

namespace {

QPageLayout::Orientation Orientation(bool landscape) {
  return landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// "Courier New", or the system's monospaced font where it is missing, sized
// so that a character cell (ascent + descent) is kListingFontHeight units.
QFont ListingFont(QPaintDevice* device, bool bold) {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setBold(bold);
  font.setPixelSize(kListingFontHeight);
  const qreal cell = QFontMetricsF(font, device).height();
  if (cell > 0) font.setPixelSize(qMax(1, qRound(kListingFontHeight * kListingFontHeight / cell)));
  return font;
}

// Draws the pages in 0.1 mm units from the top left corner of the
// printable area.
bool DrawPages(QPrinter& printer, const std::vector<PrintPage>& pages) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const qreal scale = printer.resolution() / 254.0;
  painter.scale(scale, scale);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  painter.setPen(Qt::black);
  const QFont regular = ListingFont(&printer, false);
  const QFont bold = ListingFont(&printer, true);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0 && !printer.newPage()) {
      painter.end();
      return false;
    }
    for (const auto& line : pages[i].lines) {
      painter.setFont(line.bold ? bold : regular);
      painter.drawText(QRectF(line.x, line.y, 1e5, kListingPitch),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                       QString::fromStdString(line.text));
    }
  }
  return painter.end();
}

}  // namespace

PrinterInfo QtDefaultPrinter(bool landscape) {
  PrinterInfo result;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return result;
  // The printer's own default page settings: nothing of an earlier job
  // carries over.
  QPrinter printer(info, QPrinter::HighResolution);
  printer.setPageOrientation(Orientation(landscape));
  result.available = true;
  result.printableHeightMm = static_cast<int>(printer.pageLayout().paintRect(QPageLayout::Millimeter).height());
  return result;
}

bool QtPrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return false;
  QPrinter printer(info, QPrinter::HighResolution);
  printer.setPageOrientation(Orientation(landscape));
  printer.setDocName(QString::fromStdString(jobName));
  return DrawPages(printer, pages);
}

bool QtPrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path) {
  // The same sheet as the batch program's PDF: A4 with 10 mm margins.
  const PdfPageSetup sheet = ListingPageSetup(210, 297, false);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), Orientation(landscape),
                                    QMarginsF(sheet.originXMm, sheet.originYMm, sheet.originXMm, sheet.originYMm),
                                    QPageLayout::Millimeter));
  printer.setDocName(QFileInfo(QString::fromStdString(path)).fileName());
  return DrawPages(printer, pages) && QFileInfo::exists(QString::fromStdString(path));
}

}  // namespace lodsmith
