#include "platform/console_launcher.h"

#include <cerrno>
#include <cstdlib>

#include "core/native_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lodsmith {

const std::vector<std::string>& ConsoleTerminals() {
  // Debian's alternative first: it is the terminal the user chose.
  static const std::vector<std::string> terminals = {"x-terminal-emulator", "xterm", "konsole", "gnome-terminal",
                                                     "xfce4-terminal"};
  return terminals;
}

std::vector<std::string> TerminalCommand(const std::string& terminal, const std::string& scriptPath) {
  // gnome-terminal takes the command after "--"; xfce4-terminal's "-e"
  // wants one string, its "-x" takes the rest of the line like the others' "-e".
  if (terminal == "gnome-terminal") return {terminal, "--", "/bin/sh", scriptPath};
  if (terminal == "xfce4-terminal") return {terminal, "-x", "/bin/sh", scriptPath};
  return {terminal, "-e", "/bin/sh", scriptPath};
}

#ifdef _WIN32

std::string FindProgram(const std::string& name, const std::string&) { return name; }

bool StartScriptInConsole(const std::string& scriptPath) {
  // The batch file runs in a console window shown normally (show mode 5);
  // WinExec reports a start with a result above 31. It takes the path in the
  // system's ANSI code page, quoted: the program may sit below a folder
  // with blanks in its name ("Program Files").
  std::wstring wide = L"\"" + Widen(scriptPath) + L"\"";
  int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  std::string ansi(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), n, nullptr, nullptr);
  return ::WinExec(ansi.c_str(), 5) > 31;
}

int RunScriptAndWait(const std::string& scriptPath) {
  // No input, so the closing "pause" passes at once; the output goes to our
  // standard error.
  std::wstring command = L"cmd /c \"\"" + Widen(scriptPath) + L"\" < NUL 1>&2\"";
  return ::_wsystem(command.c_str());
}

#else

namespace {

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

std::string FindProgram(const std::string& name, const std::string& path) {
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0 ? name : "";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    // An empty entry means the current folder.
    const std::string dir = end > start ? path.substr(start, end - start) : std::string(".");
    std::string candidate = dir + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

bool StartScriptInConsole(const std::string& scriptPath) {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!(display && *display) && !(wayland && *wayland)) return false;
  const char* pathEnv = std::getenv("PATH");
  const std::string path = pathEnv ? pathEnv : "/usr/local/bin:/usr/bin:/bin";
  for (const auto& terminal : ConsoleTerminals()) {
    std::string program = FindProgram(terminal, path);
    if (program.empty()) continue;
    std::vector<std::string> args = TerminalCommand(terminal, scriptPath);
    args[0] = program;
    std::vector<char*> argv = Argv(args);

    // The terminal is detached (started by a child that exits at once, so no
    // zombie stays behind); a pipe closed on exec tells whether exec worked.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    pid_t child = ::fork();
    if (child < 0) {
      ::close(fds[0]);
      ::close(fds[1]);
      return false;
    }
    if (child == 0) {
      ::close(fds[0]);
      ::setsid();
      pid_t grandchild = ::fork();
      if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
      ::execv(argv[0], argv.data());
      int err = errno;
      ssize_t ignored = ::write(fds[1], &err, sizeof err);
      (void)ignored;
      ::_exit(127);
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
      n = ::read(fds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(fds[0]);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0) return true;
  }
  return false;
}

int RunScriptAndWait(const std::string& scriptPath) {
  std::vector<std::string> args = {"/bin/sh", scriptPath};
  std::vector<char*> argv = Argv(args);
  pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      ::close(devnull);
    }
    ::dup2(2, 1);  // the utility's chatter must not mix with our own output
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace lodsmith
