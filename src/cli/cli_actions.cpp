// The batch program's print-out to PDF and compression run.
#include <stdexcept>

#include "cli/report.h"

namespace lodsmith {

void PrintSettingsPdf(TLSForm&, CliPlatform&, const std::string&) {
  throw std::runtime_error("--print-pdf is not available yet");
}

bool CompressFile(TLSForm&, CliPlatform&, const std::string&, const std::string&) {
  throw std::runtime_error("--compress is not available yet");
}

}  // namespace lodsmith
