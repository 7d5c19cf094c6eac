#include "cli/run_files.h"

#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli/cli_messages.h"
#include "core/file_io.h"
#include "core/native_file.h"
#include "core/text.h"

namespace lodsmith {

namespace {

// What a path points to, as a text that is equal for two paths exactly when
// they name one file.
std::string FileKey(const std::string& path) {
  namespace fs = std::filesystem;
#ifndef _WIN32
  // An existing file is known by its device and number: links and hard
  // links and any spelling of its path lead there.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return "i" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
#endif
  std::error_code ec;
  fs::path full = fs::absolute(FsPath(path), ec);
  if (ec) full = FsPath(path);
  const fs::path resolved = fs::weakly_canonical(full, ec);
  std::string key = "p" + Utf8Path(ec ? full.lexically_normal() : resolved);
#ifdef _WIN32
  // Windows' folders ignore case.
  key = FoldCase(key);
#endif
  return key;
}

// One file the run writes, who writes it, and the shape it is written for
// (empty for a listing or a picture).
struct Written {
  std::string writer;  // the option, or for --save the shape
  std::string path;
  std::string shape;
};

std::vector<Written> WrittenFiles(const CliOptions& o, const std::vector<std::string>& shapes) {
  std::vector<Written> files;
  // The shape, the backup of its previous content and its settings file.
  auto saved = [&files](const std::string& writer, const std::string& target, const std::string& shape) {
    for (const char* extension : {"", ".BAK", ".Lodsmith"})
      files.push_back({writer, *extension ? ChangeExtension(target, extension) : target, shape});
  };
  if (o.save)
    for (const auto& s : shapes) saved(s, s, s);
  if (!o.output.empty()) saved("--output", o.output, shapes.empty() ? std::string() : shapes.front());
  for (const auto& a : o.actions)
    if (a.kind == CliAction::Kind::PrintPdf || a.kind == CliAction::Kind::Render)
      files.push_back({a.option, a.arg, {}});
  return files;
}

// A shape saved over itself (--save, or -o naming it) and over its own
// settings file: what saving means, not a file lost.
bool SavedOverItself(const Written& w, const std::string& key) {
  return !w.shape.empty() && (key == FileKey(w.shape) || key == FileKey(ChangeExtension(w.shape, ".Lodsmith")));
}

}  // namespace

std::vector<std::string> DistinctShapes(const std::vector<std::string>& shapes) {
  std::vector<std::string> distinct;
  std::unordered_set<std::string> seen;
  for (const auto& s : shapes)
    if (seen.insert(FileKey(s)).second) distinct.push_back(s);
  return distinct;
}

std::optional<Message> FileClash(const CliOptions& o, const std::vector<std::string>& shapes) {
  // What the run reads: the shapes (and the settings file beside each),
  // --settings and --tool.
  std::unordered_map<std::string, std::string> read;
  for (const auto& s : shapes) {
    read.emplace(FileKey(s), s);
    if (o.settings.empty()) read.emplace(FileKey(ChangeExtension(s, ".Lodsmith")), ChangeExtension(s, ".Lodsmith"));
  }
  if (!o.settings.empty()) read.emplace(FileKey(o.settings), o.settings);
  if (!o.tool.empty()) read.emplace(FileKey(o.tool), o.tool);

  std::unordered_map<std::string, const Written*> writers;
  const std::vector<Written> files = WrittenFiles(o, shapes);
  for (const Written& w : files) {
    const std::string key = FileKey(w.path);
    if (read.count(key) && !SavedOverItself(w, key)) return Message(CliMsg::OutputIsInput, w.writer, w.path);
    const auto [it, added] = writers.emplace(key, &w);
    if (!added) return Message(CliMsg::OutputsClash, it->second->writer, w.writer, w.path);
  }
  return std::nullopt;
}

}  // namespace lodsmith
