#include "fuzz_harness.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/shape_check.h"
#include "document/shape_file.h"
#include "shape_checker.h"
#include "ui/texts/messages.h"

namespace lodsmith::fuzz {

namespace fs = std::filesystem;

void Violated(const std::string& what, const std::string& detail) {
  std::fprintf(stderr, "\ninvariant violated: %s\n", what.c_str());
  if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
  std::fflush(stderr);
  __builtin_trap();
}

namespace {

void RemoveWorkDir();

std::string MakeWorkDir() {
  std::error_code ec;
  fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  fs::path dir = base / ("lodsmith-fuzz-" + std::to_string(::getpid()));
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  // The window model finds its language file beside the executable.
  fs::copy_file(LODSMITH_LANGUAGE_FILE, dir / "Lodsmith_L.INI", fs::copy_options::overwrite_existing);
  std::atexit(RemoveWorkDir);
  return dir.string();
}

void RemoveWorkDir() {
  std::error_code ec;
  fs::remove_all(WorkDir(), ec);
}

// One UTF-16 code unit or surrogate pair of the character at `i`, which
// advances past it: a well-formed UTF-8 sequence (encoded surrogates
// included, so that inputs can hold unpaired ones) or else one byte.
void AppendCharacter(std::string_view s, std::size_t& i, std::string& out) {
  auto unit = [&out](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  const auto b = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  std::size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 1;
  if (c >= 0xF5) len = 1;
  if (len > 1 && i + len <= s.size()) {
    uint32_t cp = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    bool ok = true;
    for (std::size_t k = 1; k < len && ok; ++k) {
      ok = (b(i + k) & 0xC0) == 0x80;
      cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const uint32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (ok && cp >= least && cp <= 0x10FFFF) {
      if (cp >= 0x10000) {
        unit(0xD800 + ((cp - 0x10000) >> 10));
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        unit(cp);
      }
      i += len;
      return;
    }
  }
  unit(c);
  ++i;
}

}  // namespace

const std::string& WorkDir() {
  // Never destroyed: the folder is removed at exit, after static objects.
  static const std::string& dir = *new std::string(MakeWorkDir());
  return dir;
}

std::string WorkFile(const std::string& name) { return WorkDir() + "/" + name; }

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Violated("the work folder takes no file", path);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string_view AsText(const uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

ControlAndRest SplitControl(std::string_view input) {
  const std::size_t nl = input.find('\n');
  if (nl == std::string_view::npos) return {std::string_view(), input};
  return {input.substr(0, nl), input.substr(nl + 1)};
}

std::string ShapeImage(std::string_view shape) {
  if (shape.size() >= 2 && shape[0] == '\xFF' && shape[1] == '\xFE') return std::string(shape);
  std::string out("\xFF\xFE", 2);
  out.reserve(2 * shape.size() + 8);
  std::size_t i = 0;
  bool open = false;  // a line has started and not yet been ended
  while (i < shape.size()) {
    if (shape[i] == '\n') {
      out.append("\r\0\n\0", 4);
      open = false;
      ++i;
      continue;
    }
    open = true;
    AppendCharacter(shape, i, out);
  }
  if (open) out.append("\r\0\n\0", 4);
  return out;
}

std::vector<std::string> ControlCells(std::string_view control, std::size_t max) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  while (!control.empty() && cells.size() < max && start <= control.size()) {
    std::size_t comma = control.find(',', start);
    if (comma == std::string_view::npos) comma = control.size();
    cells.emplace_back(control.substr(start, comma - start));
    start = comma + 1;
  }
  return cells;
}

bool PlainTextImage(std::string_view image) {
  if (image.size() < 2 || image.size() % 2 != 0 || image[0] != '\xFF' || image[1] != '\xFE') return false;
  auto unit = [&image](std::size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(image[k])) |
           static_cast<uint32_t>(static_cast<unsigned char>(image[k + 1])) << 8;
  };
  std::size_t line = 0, characters = 0;
  bool lineOpen = false;
  for (std::size_t k = 2; k < image.size(); k += 2) {
    const uint32_t u = unit(k);
    if (u == 0x0D) {
      if (k + 2 >= image.size() || unit(k + 2) != 0x0A) return false;
      if (line > 0 && characters > static_cast<std::size_t>(kWrapWidth)) return false;
      ++line;
      characters = 0;
      lineOpen = false;
      k += 2;
      continue;
    }
    if (u == 0x0A || u == 0) return false;
    if (u == 0x1A && line > 0 && !lineOpen) return false;
    if (u >= 0xDC00 && u < 0xE000) return false;  // a low surrogate without its high one
    if (u >= 0xD800 && u < 0xDC00) {
      if (k + 2 >= image.size() || unit(k + 2) < 0xDC00 || unit(k + 2) >= 0xE000) return false;
      k += 2;
    }
    ++characters;
    lineOpen = true;
  }
  return !lineOpen && line > 0;
}

FuzzForm::FuzzForm() {
  platform.executablePath = WorkFile("Lodsmith");
  form_ = std::make_unique<TLSForm>(platform);
  form_->FormCreate();
  // The program settings change on every open; on disk they would cost a
  // synced write per input and carry one input's folder into the next.
  if (form_->ProgramIni) form_->ProgramIni->SetMemoryOnly(true);
  if (form_->LanguageIni) form_->LanguageIni->SetMemoryOnly(true);
  platform.Clear();
}

FuzzForm::~FuzzForm() = default;

bool FuzzForm::Open(std::string_view image, const std::string& name) {
  const std::string path = WorkFile(name);
  WriteFile(path, image);
  return OpenPath(path);
}

bool FuzzForm::OpenPath(const std::string& path) {
  platform.openResults.push_back(path);
  // The open handler reports its own failures; nothing may escape it.
  Require(form_->Dispatch([this] { form_->OeffnenButtonClick(); }), "the open handler let an exception escape");
  return !form_->ShapeLines.empty();
}

bool FuzzForm::ComplainedSince(std::size_t from) const {
  for (std::size_t i = from; i < platform.messages.size(); ++i)
    if (platform.messages[i].kind == MsgKind::Warning || platform.messages[i].kind == MsgKind::Error) return true;
  return false;
}

void FuzzForm::Act(const char* action, const std::function<void()>& handler, Lines (*leftOnRefusal)(const Lines&)) {
  const Lines before = form_->ShapeLines;
  const bool soundBefore = Sound(before);
  const std::size_t from = platform.messages.size();
  const bool ran = Dispatch(handler);
  std::string shown;
  for (std::size_t i = from; i < platform.messages.size(); ++i)
    shown += "  message: " + platform.messages[i].text + "\n";
  // For looking at what an input does: LODSMITH_FUZZ_VERBOSE=1.
  static const bool verbose = std::getenv("LODSMITH_FUZZ_VERBOSE") != nullptr;
  if (verbose)
    std::fprintf(stderr, "%s: %s, %zu lines before, %zu after, %s\n%s", action, ran ? "ran" : "threw", before.size(),
                 form_->ShapeLines.size(), soundBefore ? "sound before" : "unsound before", shown.c_str());
  CheckRewrite(action, before, soundBefore, form_->ShapeLines, !ran || ComplainedSince(from), shown, leftOnRefusal);
}

namespace {

// Deeper than any real shape; the checker parses recursively.
constexpr int kMaxDepth = 64;

bool TooDeep(const Lines& lines) {
  int depth = 0;
  for (const auto& l : lines)
    for (char c : l) {
      if (c == '(' && ++depth > kMaxDepth) return true;
      if (c == ')' && depth > 0) --depth;
    }
  return false;
}

bool Index(const std::string& s, long long& v) {
  auto p = ParseInt32(s);
  if (!p) return false;
  v = *p;
  return true;
}

void CheckIndex(const test::ShapeNode& n, std::size_t k, long long count, const char* what,
                std::vector<std::string>& problems) {
  long long v;
  if (k >= n.values.size() || !Index(n.values[k], v) || v < 0 || v >= count)
    problems.push_back(n.name + " (Zeile " + std::to_string(n.line + 1) + "): " + what + " " +
                       (k < n.values.size() ? n.values[k] : std::string("?")) + " von " + std::to_string(count));
}

struct ListSizes {
  long long points = 0, normals = 0, uvPoints = 0;
};

void CheckReferences(const test::ShapeNode& n, const ListSizes& sizes, std::vector<std::string>& problems) {
  if (n.name == "vertex") {
    CheckIndex(n, 1, sizes.points, "Punkt", problems);
    CheckIndex(n, 2, sizes.normals, "Normale", problems);
    if (const auto* uvs = n.Child("vertex_uvs"))
      for (std::size_t k = 1; k < uvs->values.size(); ++k) CheckIndex(*uvs, k, sizes.uvPoints, "uv_point", problems);
  } else if (n.name == "normal_idxs") {
    for (std::size_t k = 1; k < n.values.size(); k += 2) CheckIndex(n, k, sizes.normals, "Normale", problems);
  }
  for (const auto& c : n.children) CheckReferences(c, sizes, problems);
}

}  // namespace

std::vector<std::string> StructureProblems(const Lines& lines) {
  std::vector<std::string> problems;
  for (const auto& p : CheckShape(lines)) problems.push_back(MessageString(p.message, Language::German));
  if (!problems.empty()) return problems;
  if (TooDeep(lines)) return {"tiefer verschachtelt als " + std::to_string(kMaxDepth) + " Klammern"};
  std::vector<std::string> ignored;
  const auto top = test::ParseShapeBlocks(lines, ignored);
  const test::ShapeNode& shape = top.at(0);
  ListSizes sizes;
  if (const auto* p = shape.Child("points")) sizes.points = static_cast<long long>(p->ChildrenNamed("point").size());
  if (const auto* p = shape.Child("normals")) sizes.normals = static_cast<long long>(p->ChildrenNamed("vector").size());
  if (const auto* p = shape.Child("uv_points"))
    sizes.uvPoints = static_cast<long long>(p->ChildrenNamed("uv_point").size());
  if (const auto* lc = shape.Child("lod_controls")) CheckReferences(*lc, sizes, problems);
  return problems;
}

std::string FirstDifference(const Lines& a, const Lines& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  std::string r = "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
                  ", first difference at line " + std::to_string(i + 1);
  if (i < a.size()) r += "\n  was: " + a[i];
  if (i < b.size()) r += "\n  now: " + b[i];
  return r;
}

Lines SortVectorsSplit(const Lines& lines) {
  Lines r = lines;
  for (std::size_t i = 1; i < r.size(); ++i) {
    if (r[i].find("sort_vectors") == std::string::npos) continue;
    const std::size_t close = r[i].find(')');
    if (close == std::string::npos) break;
    r[i].erase(close, std::min<std::size_t>(255, r[i].size() - close));
    r.insert(r.begin() + static_cast<std::ptrdiff_t>(i) + 1, "\t)");
    break;
  }
  return r;
}

void CheckRewrite(const char* action, const Lines& before, bool soundBefore, const Lines& after, bool refused,
                  const std::string& context, Lines (*leftOnRefusal)(const Lines&)) {
  if (refused) {
    if (after != before && !(leftOnRefusal && after == leftOnRefusal(before)))
      Violated(std::string(action) + ": refused, but the document changed", context + FirstDifference(before, after));
    return;
  }
  if (after == before) return;
  if (!soundBefore) {
    if (const auto added = FirstNewProblem(CheckShape(before), CheckShape(after)))
      Violated(std::string(action) + ": the rewrite added a fault the shape did not have",
               context + MessageString(added->message, Language::German));
    return;
  }
  const auto problems = StructureProblems(after);
  if (!problems.empty()) {
    std::string detail = context;
    for (std::size_t i = 0; i < problems.size() && i < 5; ++i) detail += "  " + problems[i] + "\n";
    Violated(std::string(action) + ": a sound shape was rewritten into an unsound one", detail);
  }
}

}  // namespace lodsmith::fuzz
