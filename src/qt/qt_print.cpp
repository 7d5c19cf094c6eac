#include "qt/qt_print.h"

namespace lodsmith {

PrinterInfo QtDefaultPrinter(bool) { return {}; }
bool QtPrintPages(const std::vector<PrintPage>&, bool, const std::string&) { return false; }
bool QtPrintPagesToPdf(const std::vector<PrintPage>&, bool, const std::string&) { return false; }

}  // namespace lodsmith
