#include "platform/system_info.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <locale>
#include <sstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "core/native_file.h"
#include "core/text.h"
#include "platform/ini_file.h"

namespace lodsmith {

#ifdef _WIN32

std::string RunningExecutablePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return "lodsmith";
    if (n < buf.size()) {
      buf.resize(n);
      return Narrow(buf);
    }
    buf.resize(buf.size() * 2);  // truncated: try a larger buffer
  }
}

char SystemDecimalSeparator() {
  wchar_t sep[4] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, 4) > 0 && sep[0] > 0 && sep[0] < 0x80)
    return static_cast<char>(sep[0]);
  return '.';
}

#else

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

#endif

std::string UserSettingsFolderPath() {
#ifdef _WIN32
  const wchar_t* appData = ::_wgetenv(L"APPDATA");
  if (!appData || !*appData) return "";
  return Narrow(appData) + "\\Lodsmith\\";
#else
  // XDG asks to ignore a relative XDG_CONFIG_HOME.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/Lodsmith/";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "";
  return std::string(home) + "/.config/Lodsmith/";
#endif
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

#ifdef _WIN32

namespace {

std::optional<std::string> ReadRegistryString(const std::wstring& key, const std::wstring& value, REGSAM view) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view, &h) != ERROR_SUCCESS)
    return std::nullopt;
  std::optional<std::string> result;
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(h, value.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(h, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      data.resize(size / sizeof(wchar_t));
      while (!data.empty() && data.back() == L'\0') data.pop_back();  // the stored terminator
      result = Narrow(data);
    }
  }
  ::RegCloseKey(h);
  return result;
}

}  // namespace

// The simulator is a 32-bit program: its keys are in the 32-bit view of the
// registry; the 64-bit view is the fallback.
std::optional<std::string> ReadLocalMachineString(const std::string& key, const std::string& value) {
  const std::wstring k = Widen(key), v = Widen(value);
  if (auto r = ReadRegistryString(k, v, KEY_WOW64_32KEY)) return r;
  return ReadRegistryString(k, v, KEY_WOW64_64KEY);
}

#else

std::optional<std::string> ReadLocalMachineString(const std::string& key, const std::string& value) {
  std::ifstream in(WinePrefix() + "/system.reg", std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream ss;
  ss << in.rdbuf();
  return FindWineRegistryValue(ss.str(), key, value);
}

#endif

namespace {

bool IsAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The names of a path, between its separators (empty ones included).
std::vector<std::string> PathNames(const std::string& path) {
  std::vector<std::string> names(1);
  for (char c : path) {
    if (IsPathSeparator(c))
      names.emplace_back();
    else
      names.back().push_back(c);
  }
  return names;
}

}  // namespace

std::string KeepAsciiNames(const std::string& longPath, const std::string& shortPath) {
  const std::vector<std::string> shortNames = PathNames(shortPath);
  if (shortNames.size() != PathNames(longPath).size()) return IsAscii(shortPath) ? shortPath : longPath;
  std::string result, name;
  std::size_t index = 0;
  auto flushName = [&] {
    result += IsAscii(name) ? name : shortNames[index];
    name.clear();
    ++index;
  };
  for (char c : longPath) {
    if (IsPathSeparator(c)) {
      flushName();
      result.push_back(c);
    } else {
      name.push_back(c);
    }
  }
  flushName();
  return result;
}

std::string AsciiBatchPath(const std::string& path) {
  if (IsAscii(path)) return path;
#ifdef _WIN32
  const std::wstring wide = Widen(path);
  const DWORD size = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring buf(size, L'\0');
  const DWORD n = ::GetShortPathNameW(wide.c_str(), buf.data(), size);
  if (n == 0 || n >= size) return path;
  buf.resize(n);
  return KeepAsciiNames(path, Narrow(buf));
#else
  return path;
#endif
}

}  // namespace lodsmith
