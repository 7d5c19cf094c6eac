#include "platform/system_info.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <locale>
#include <sstream>
#include <unistd.h>

#include "core/text.h"
#include "platform/ini_file.h"

namespace lodsmith {

std::string RunningExecutablePath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "lodsmith";
  return std::string(buf, static_cast<std::size_t>(n));
}

char SystemDecimalSeparator() {
  const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
  std::string name;
  for (const char* n : names) {
    const char* v = std::getenv(n);
    if (v && *v) {
      name = v;
      break;
    }
  }
  if (name.empty() || name == "C" || name == "POSIX") return '.';
  try {
    std::locale loc(name);
    return std::use_facet<std::numpunct<char>>(loc).decimal_point();
  } catch (const std::exception&) {
    return '.';
  }
}

std::string WinePrefix() {
  const char* p = std::getenv("WINEPREFIX");
  if (p && *p) return p;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.wine";
}

namespace {

// Undoes the escapes of a quoted registry string.
std::string Unescape(const std::string& s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      ++i;
      r.push_back(s[i] == 'n' ? '\n' : s[i]);
    } else {
      r.push_back(s[i]);
    }
  }
  return r;
}

}  // namespace

std::optional<std::string> FindWineRegistryValue(const std::string& regText, const std::string& key,
                                                 const std::string& value) {
  // Keys in the file are written with doubled backslashes.
  std::string wanted;
  for (char c : key) {
    wanted.push_back(c);
    if (c == '\\') wanted.push_back('\\');
  }
  std::istringstream in(regText);
  std::string line;
  bool inKey = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      auto close = line.find(']');
      inKey = close != std::string::npos && EqualsIgnoreCase(line.substr(1, close - 1), wanted);
      continue;
    }
    if (!inKey || line.empty() || line[0] != '"') continue;
    auto endName = line.find("\"=");
    if (endName == std::string::npos) continue;
    if (!EqualsIgnoreCase(Unescape(line.substr(1, endName - 1)), value)) continue;
    std::string rest = line.substr(endName + 2);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') return Unescape(rest.substr(1, rest.size() - 2));
    if (rest.rfind("str(2):\"", 0) == 0 && rest.back() == '"') return Unescape(rest.substr(8, rest.size() - 9));
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> ReadLocalMachineString(const std::string& key, const std::string& value) {
  std::ifstream in(WinePrefix() + "/system.reg", std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream ss;
  ss << in.rdbuf();
  return FindWineRegistryValue(ss.str(), key, value);
}

}  // namespace lodsmith
