#include "cli/cli_platform.h"

#include "core/native_file.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/cli_messages.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/console_launcher.h"
#include "platform/platform_messages.h"
#include "platform/system_info.h"
#include "print/pdf_writer.h"
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {

std::ostream& CliPlatform::Err() { return err ? *err : std::cerr; }

void CliPlatform::Say(MsgKind kind, const std::string& message, const MsgIdentity& identity) {
  messages.push_back({kind, message, identity});
  Err() << linePrefix << MsgKindName(kind) << ": " << message << "\n";
}

MsgResult CliPlatform::MessageBox(MsgKind kind, MsgButtons buttons, const std::string& message,
                                  const MsgIdentity& identity) {
  Say(kind, message, identity);
  return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
}

bool CliPlatform::StartConsoleScript(const std::string& scriptPath) {
  // The batch program opens no windows: the script runs hidden and is waited for.
  return RunScriptAndWait(scriptPath) >= 0;
}

// ---- Printing through CUPS --------------------------------------------------
// The default printer comes from lpstat, its paper from lpoptions; a listing
// is printed by handing the PDF of our own writer to lp. On Windows the
// batch program does not print (main refuses --print there): it knows no
// printer, and the PDF listing is laid out on A4.

namespace {

#ifndef _WIN32

// Runs a program (no shell) and collects its standard output; the exit
// status, or -1 when it could not run.
int RunCapture(std::vector<std::string> args, std::string& out) {
  out.clear();
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return -1;
  }
  if (child == 0) {
    ::close(fds[0]);
    ::dup2(fds[1], 1);
    ::close(fds[1]);
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      ::dup2(devnull, 2);
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  char buf[4096];
  for (;;) {
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// "system default destination: NAME"
std::string ParseDefaultDestination(const std::string& lpstat) {
  const std::string marker = "system default destination: ";
  auto p = lpstat.find(marker);
  if (p == std::string::npos) return "";
  std::string name = lpstat.substr(p + marker.size());
  auto end = name.find_first_of(" \t\r\n");
  return end == std::string::npos ? name : name.substr(0, end);
}

// The marked choice of "PageSize/...: A5 *A4 Letter" in lpoptions -l.
void ParsePaper(const std::string& options, double& widthMm, double& heightMm) {
  struct Paper {
    const char* name;
    double w, h;
  };
  static const Paper papers[] = {{"A3", 297, 420},         {"A4", 210, 297},        {"A5", 148, 210},
                                 {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}, {"Executive", 184.2, 266.7}};
  std::istringstream in(options);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("PageSize/", 0) != 0) continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    std::string w;
    while (words >> w) {
      if (w.empty() || w[0] != '*') continue;
      for (const auto& paper : papers)
        if (EqualsIgnoreCase(w.substr(1), paper.name)) {
          widthMm = paper.w;
          heightMm = paper.h;
        }
    }
  }
}

#endif

}  // namespace

#ifdef _WIN32

PrinterInfo CliPlatform::DefaultPrinter(bool) {
  printerName_.clear();
  paperWidthMm_ = 210;
  paperHeightMm_ = 297;
  return PrinterInfo{};
}

void CliPlatform::PrintPages(const std::vector<PrintPage>&, bool, const std::string&) {
  throw Error(UiMsg::PrintFailed);
}

#else

PrinterInfo CliPlatform::DefaultPrinter(bool wide) {
  printerName_.clear();
  paperWidthMm_ = 210;
  paperHeightMm_ = 297;
  std::string out;
  if (RunCapture({"lpstat", "-d"}, out) == 0) printerName_ = ParseDefaultDestination(out);
  PrinterInfo info;
  if (printerName_.empty()) return info;
  if (RunCapture({"lpoptions", "-p", printerName_, "-l"}, out) == 0) ParsePaper(out, paperWidthMm_, paperHeightMm_);
  info.available = true;
  info.printableHeightMm = PrintableHeightMm(ListingPageSetup(paperWidthMm_, paperHeightMm_, wide));
  return info;
}

void CliPlatform::PrintPages(const std::vector<PrintPage>& pages, bool wide, const std::string& jobName) {
  if (printerName_.empty() && !DefaultPrinter(wide).available) throw Error(UiMsg::PrintFailed);
  char tmpl[] = "/tmp/lodsmith-print-XXXXXX.pdf";
  int fd = ::mkstemps(tmpl, 4);
  if (fd < 0) throw Error(UiMsg::PrintFailed);
  ::close(fd);
  const std::string file = tmpl;
  bool ok = false;
  try {
    WritePdfFile(file, pages, ListingPageSetup(paperWidthMm_, paperHeightMm_, wide), jobName);
    std::string out;
    ok = RunCapture({"lp", "-d", printerName_, "-t", jobName, file}, out) == 0;
    if (!out.empty()) Err() << out;  // "request id is ...": not for standard output
  } catch (const Error&) {
    ok = false;
  }
  std::remove(file.c_str());
  if (!ok) throw Error(UiMsg::PrintFailed);
}

#endif

void CliPlatform::PrintPagesToPdf(const std::vector<PrintPage>& pages, bool wide, const std::string& path) {
  std::string bytes = MakePdf(pages, ListingPageSetup(paperWidthMm_, paperHeightMm_, wide), ExtractFileName(path));
  // The folder must be able to take it now; the file itself comes at the end.
  if (!CanStoreFile(path))
    throw Error(Message(PlatformMsg::CannotWriteFile, path).WrappedIn(CliMsg::PdfNotWritten, path));
  for (auto& pending : pendingFiles)
    if (pending.first == path) {
      pending.second = std::move(bytes);
      return;
    }
  pendingFiles.emplace_back(path, std::move(bytes));
}

}  // namespace lodsmith
