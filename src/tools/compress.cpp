#include "tools/compress.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/core_messages.h"
#include "core/encoding.h"
#include "core/file_io.h"
#include "core/message.h"
#include "core/native_file.h"
#include "core/text.h"
#include "platform/system_info.h"
#include "platform/wine_path.h"
#include "tools/tools_messages.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace lodsmith {

namespace fs = std::filesystem;

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool IsUnc(const std::string& p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

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

}  // namespace

std::string DefaultToolPath(const std::string& simulatorFolder) { return simulatorFolder + kToolBelowSimulator; }

bool ToolNameMatches(const std::string& path) {
  auto p = path.find_last_of("\\/");
  std::string name = p == std::string::npos ? path : path.substr(p + 1);
  return FoldCase(name) == kToolFileName;
}

bool ToolPathValid(const std::string& path) { return ToolNameMatches(path) && FileExists(HostPath(path)); }

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

std::string LinuxScriptText(const std::string& toolFolder, const std::string& wineFile, const std::string& hostFile,
                            const MessageRenderer& render) {
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

std::string WriteCompressScript(const std::string& programFolder, const std::string& tool, const std::string& file,
                                [[maybe_unused]] const MessageRenderer& render) {
  std::string folder = programFolder;
#ifdef _WIN32
  if (!folder.empty() && !IsSep(folder.back())) folder += "\\";
  // The command interpreter reads the file in the console's code page, not
  // the one it is written in: names beyond ASCII go in as their short forms.
  const std::string text = WindowsBatchText(AsciiBatchPath(tool), AsciiBatchPath(file));
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
  if (!f) throw Error(CoreMsg::CannotWrite, path, std::strerror(errno));
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  int saved = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw Error(CoreMsg::CannotWrite, path, std::strerror(saved ? saved : errno));
#ifndef _WIN32
  ::chmod(path.c_str(), 0755);
#endif
  return path;
}

}  // namespace lodsmith
