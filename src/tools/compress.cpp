#include "tools/compress.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/text.h"
#include "document/shape_file.h"
#include "platform/ini_file.h"
#include "platform/native_file.h"
#include "platform/system_info.h"
#include "tools/tools_messages.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace lodsmith {

namespace fs = std::filesystem;

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(const std::string& p) { return p.size() >= 2 && IsLetter(p[0]) && p[1] == ':'; }

bool IsUnc(const std::string& p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

#ifndef _WIN32
// Finding a Windows path in the Wine prefix's folders (Linux only).

std::vector<std::string> SplitComponents(const std::string& s) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (IsSep(c)) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// Windows finds "Train Simulator" as "train simulator": take the exact name
// when it exists, else the first entry that differs only in case.
fs::path Descend(const fs::path& base, const std::string& name) {
  fs::path exact = base / name;
  if (Exists(exact) || name == "." || name == "..") return exact;
  std::error_code ec;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name)) return it->path();
  }
  return exact;
}

#endif

// Single quotes keep every byte literal for the shell; a quote inside is
// closed, escaped and reopened.
std::string ShellQuote(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'')
      r += "'\\''";
    else
      r.push_back(c);
  }
  r += "'";
  return r;
}

// The folder of each "<prefix>/dosdevices/<letter>:" link, resolved.
struct DriveLink {
  char letter;
  fs::path target;
};

std::vector<DriveLink> DriveLinks(const std::string& prefix) {
  std::vector<DriveLink> links;
  std::error_code ec;
  fs::path dosdevices = fs::path(prefix) / "dosdevices";
  for (fs::directory_iterator it(dosdevices, ec), end; !ec && it != end; it.increment(ec)) {
    std::string n = it->path().filename().string();
    if (n.size() != 2 || !IsLetter(n[0]) || n[1] != ':') continue;
    std::error_code ec2;
    fs::path target = fs::canonical(it->path(), ec2);
    if (!ec2) links.push_back({static_cast<char>(std::toupper(static_cast<unsigned char>(n[0]))), target});
  }
  if (links.empty()) {
    std::error_code ec2;
    fs::path driveC = fs::canonical(fs::path(prefix) / "drive_c", ec2);
    if (!ec2) links.push_back({'C', driveC});
  }
  return links;
}

// `inner` lies in `outer` (component-wise); sets `rest` to the remainder.
bool Within(const fs::path& inner, const fs::path& outer, fs::path& rest) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator of the outer folder
    if (i == inner.end() || *i != *o) return false;
  }
  rest.clear();
  for (; i != inner.end(); ++i) rest /= *i;
  return true;
}

}  // namespace

std::string DefaultToolPath(const std::string& simulatorFolder) { return simulatorFolder + kToolBelowSimulator; }

bool ToolNameMatches(const std::string& path) {
  auto p = path.find_last_of("\\/");
  std::string name = p == std::string::npos ? path : path.substr(p + 1);
  return FoldCase(name) == kToolFileName;
}

bool ToolPathValid(const std::string& path) { return ToolNameMatches(path) && FileExists(HostPath(path)); }

std::string DrivePart(const std::string& path) { return HasDrive(path) ? path.substr(0, 2) : ""; }

std::string FolderPart(const std::string& path) {
  auto p = path.find_last_of("\\/");
  return p == std::string::npos ? "" : path.substr(0, p + 1);
}

bool IsWindowsPath(const std::string& path) {
  return (HasDrive(path) && path.size() >= 3 && IsSep(path[2])) || IsUnc(path);
}

std::string HostPath(const std::string& path, [[maybe_unused]] const std::string& prefix) {
#ifdef _WIN32
  return path;
#else
  if (IsUnc(path)) return path;  // no share reaches us through the prefix
  fs::path base;
  std::string rest;
  if (HasDrive(path) && path.size() >= 3 && IsSep(path[2])) {
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    fs::path link = fs::path(prefix) / "dosdevices" / (std::string(1, letter) + ":");
    if (Exists(link))
      base = link;
    else if (letter == 'c')
      base = fs::path(prefix) / "drive_c";
    else if (letter == 'z')
      base = "/";
    else
      base = link;
    rest = path.substr(3);
  } else if (!path.empty() && path[0] == '\\') {
    base = "/";
    rest = path.substr(1);
  } else {
    return path;
  }
  for (const auto& part : SplitComponents(rest)) base = Descend(base, part);
  return base.string();
#endif
}

std::string HostPath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return HostPath(path, WinePrefix());
#endif
}

std::string WinePath(const std::string& path, const std::string& prefix) {
  if (IsWindowsPath(path)) return path;
  std::error_code ec;
  fs::path abs = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) abs = fs::path(path);
  const DriveLink* best = nullptr;
  fs::path bestRest;
  std::size_t bestDepth = 0;
  const std::vector<DriveLink> links = DriveLinks(prefix);
  for (const auto& link : links) {
    fs::path rest;
    if (!Within(abs, link.target, rest)) continue;
    std::size_t depth = static_cast<std::size_t>(std::distance(link.target.begin(), link.target.end()));
    if (!best || depth > bestDepth) {
      best = &link;
      bestRest = rest;
      bestDepth = depth;
    }
  }
  std::string drive = "Z:";
  std::string tail = abs.string();
  if (best) {
    drive = std::string(1, best->letter) + ":";
    tail = "/" + bestRest.string();
  }
  for (char& c : tail)
    if (c == '/') c = '\\';
  return drive + tail;
}

std::string WindowsBatchText(const std::string& tool, const std::string& file) {
  const std::string folder = FolderPart(tool);
  const std::string quotedFile = "\"" + file + "\"";
  std::string text;
  text += DrivePart(tool) + "\r\n";
  text += (IsUnc(tool) ? "pushd \"" : "cd \"") + folder + "\"\r\n";
  text += std::string(kToolFileName) + " " + quotedFile + " /O:" + kToolOutputName + "\r\n";
  text += std::string("move ") + kToolOutputName + " " + quotedFile + "\r\n";
  text += "pause\r\n";
  return Utf8ToCp1252(text);
}

std::string LinuxScriptText(const std::string& toolFolder, const std::string& wineFile,
                            const std::string& hostFile, const MessageRenderer& render) {
  std::string s;
  s += "#!/bin/sh\n";
  s += "# Written by Lodsmith for one run of ffeditc_unicode.exe through Wine; replaced on every run.\n";
  s += "status=1\n";
  s += "if cd " + ShellQuote(toolFolder) + "; then\n";
  s += "  rm -f temp.s\n";
  s += "  wine ffeditc_unicode.exe " + ShellQuote(wineFile) + " /O:temp.s\n";
  s += "  if [ ! -f temp.s ]; then\n";
  s += "    echo " + ShellQuote(render(Message(ToolsMsg::ScriptNoOutput))) + " >&2\n";
  s += "  elif mv -f temp.s " + ShellQuote(hostFile) + "; then\n";
  s += "    status=0\n";
  s += "  fi\n";
  s += "fi\n";
  s += "if [ -t 0 ]; then\n";
  s += "  printf '%s' " + ShellQuote(render(Message(ToolsMsg::ScriptPressAnyKey))) + "\n";
  s += "  saved=$(stty -g)\n";
  s += "  stty -icanon -echo min 1\n";
  s += "  dd bs=1 count=1 >/dev/null 2>&1\n";
  s += "  stty \"$saved\"\n";
  s += "  echo\n";
  s += "fi\n";
  s += "exit $status\n";
  return s;
}

std::string CompressScriptName() {
#ifdef _WIN32
  return "temp.bat";
#else
  return "temp.sh";
#endif
}

std::string WriteCompressScript(const std::string& programFolder, const std::string& tool,
                                const std::string& file, [[maybe_unused]] const MessageRenderer& render) {
  std::string folder = programFolder;
#ifdef _WIN32
  if (!folder.empty() && !IsSep(folder.back())) folder += "\\";
  const std::string text = WindowsBatchText(tool, file);
#else
  if (!folder.empty() && !IsSep(folder.back())) folder += "/";
  // The script changes its folder before it names the file: both paths
  // must be absolute.
  std::error_code ec;
  const std::string hostTool = fs::absolute(HostPath(tool), ec).string();
  const std::string hostFile = fs::absolute(HostPath(file), ec).string();
  const std::string text = LinuxScriptText(FolderPart(hostTool), WinePath(hostFile, WinePrefix()), hostFile, render);
#endif
  const std::string path = folder + CompressScriptName();
  std::FILE* f = OpenFile(path, "wb");
  if (!f) throw Error(ToolsMsg::ScriptNotWritable, path, std::strerror(errno));
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  int saved = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw Error(ToolsMsg::ScriptNotWritable, path, std::strerror(saved ? saved : errno));
#ifndef _WIN32
  ::chmod(path.c_str(), 0755);
#endif
  return path;
}

}  // namespace lodsmith
