// Printing the settings listing with Qt.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace lodsmith {

PrinterInfo QtDefaultPrinter(bool landscape);
bool QtPrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName);
bool QtPrintPagesToPdf(const std::vector<PrintPage>& pages, bool landscape, const std::string& path);

}  // namespace lodsmith
