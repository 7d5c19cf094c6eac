// The table `make bench` prints: every speed and memory ratio the program
// holds itself to, measured in one run, each with its goal beside it.
//
//   open + save      lodsmith-cli FILE --save on a shape of about a million
//                    lines (names in Latin-1, and in Czech and Cyrillic),
//                    against iconv turning the same file into UTF-8 and back,
//                    the second file flushed to disk as the save flushes;
//                    the median of the paired runs' ratios.
//   peak memory      the maximum resident set of those runs over the file's
//                    size; and of open + both merges + a 3-LOD generation +
//                    save over the larger of input and output.
//   generation       10 LODs x 20 sub-objects against copying as many lines
//                    from a ready list into a new one: the writer alone (up
//                    to the complete new shape), and the writer together with
//                    the structural check the new shape passes; with the
//                    memory of earlier runs kept, and on new pages.
//   forms            compressed and binary open + save in memory (form to
//                    text, text to lines, lines to form)
//                    against bare zlib inflate + deflate (level 6) of the
//                    same data.
//   many shapes      400 shapes, --merge-points 0.001 --save, -j 2 against
//                    -j 1, and the share of the -j 1 time the flushes take.
//
// The programs run as child processes under /usr/bin/time (wall time, and
// the maximum resident set it reports). LODSMITH_BENCH_RUNS sets the paired runs (default 3),
// LODSMITH_BATCH_BENCH_SHAPES the number of shapes (default 400),
// LODSMITH_CLI the batch program (default: lodsmith-cli beside this one),
// LODSMITH_BENCH_ONLY a comma-separated choice of the sections "open-save",
// "forms", "generation" and "batch" (default: all of them).
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench_shapes.h"
#include "core/file_io.h"
#include "core/file_system.h"
#include "document/shape_file.h"
#include "document/shape_forms.h"
#include "generation/generator.h"
#include "synthetic_shape.h"

namespace fs = std::filesystem;
using namespace lodsmith;
using Clock = std::chrono::steady_clock;

namespace {

int EnvNumber(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

std::string CliPath() {
  if (const char* p = std::getenv("LODSMITH_CLI")) return p;
  std::error_code ec;
  return (fs::read_symlink("/proc/self/exe", ec).parent_path() / "lodsmith-cli").string();
}

// Whether the section is to be measured in this run.
bool Wanted(const char* section) {
  const char* only = std::getenv("LODSMITH_BENCH_ONLY");
  if (!only || !*only) return true;
  const std::string list = std::string(",") + only + ",";
  return list.find(std::string(",") + section + ",") != std::string::npos;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// One run of a program: its wall time, its maximum resident set and
// whether it exited with 0. Its output goes nowhere.
struct ChildRun {
  double seconds = 0;
  double maxRssBytes = 0;
  bool ok = false;
};

// The child's maximum resident set is reported by /usr/bin/time, which
// starts it from its own small process: Linux keeps the high-water mark of
// the memory a process had before it became another program, so a program
// started straight from this one (which holds large shapes) would be
// charged with this one's memory.
ChildRun RunChild(const std::vector<std::string>& args) {
  const std::string report = (fs::temp_directory_path() / ("lodsmith-bench-rss-" + std::to_string(getpid()))).string();
  std::vector<std::string> all = {"/usr/bin/time", "-f", "%M", "-o", report};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (const auto& a : all) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ChildRun run;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid) {
    run.seconds = Seconds(start);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    double kb = 0;
    // The last line: a failing command gets a line about its status first.
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) kb = std::atof(line.c_str());
    run.maxRssBytes = kb * 1024;
  }
  std::error_code ec;
  fs::remove(report, ec);
  return run;
}

ChildRun RunShell(const std::string& command) { return RunChild({"/bin/sh", "-c", command}); }

struct Row {
  std::string what;
  double value = 0;
  std::string goal;
  bool met = true;
  bool measured = true;
};

void PrintTable(const std::vector<Row>& rows) {
  std::printf("\n| %-66s | %8s | %-8s | %-4s |\n", "measure", "value", "goal", "met");
  std::printf("|%s|%s|%s|%s|\n", std::string(68, '-').c_str(), std::string(10, '-').c_str(),
              std::string(10, '-').c_str(), std::string(6, '-').c_str());
  for (const auto& r : rows) {
    if (!r.measured) {
      std::printf("| %-66s | %8s | %-8s | %-4s |\n", r.what.c_str(), "-", r.goal.c_str(), "?");
      continue;
    }
    std::printf("| %-66s | %8.2f | %-8s | %-4s |\n", r.what.c_str(), r.value, r.goal.c_str(),
                r.goal.empty() ? "" : (r.met ? "yes" : "no"));
  }
}

Row AtMost(std::string what, double value, double goal) {
  char g[32];
  std::snprintf(g, sizeof g, "<= %.1f", goal);
  return {std::move(what), value, g, value <= goal};
}

Row AtLeast(std::string what, double value, double goal) {
  char g[32];
  std::snprintf(g, sizeof g, ">= %.1f", goal);
  return {std::move(what), value, g, value >= goal};
}

// ---- Open + save against iconv ----------------------------------------------

struct OpenSave {
  double ratio = 0;
  double rssOverFile = 0;
  double seconds = 0;
  bool ok = true;
};

OpenSave OpenSaveAgainstIconv(const fs::path& shape, int runs) {
  const std::string s = shape.string();
  const std::string iconv = "iconv -f UTF-16LE -t UTF-8 '" + s + "' > '" + s +
                            ".utf8' && iconv -f UTF-8 -t UTF-16LE '" + s + ".utf8' > '" + s + ".utf16' && sync '" + s +
                            ".utf16'";
  std::vector<double> ratios, times;
  double rss = 0;
  OpenSave r;
  for (int i = 0; i < runs; ++i) {
    const ChildRun ours = RunChild({CliPath(), "-q", s, "--save"});
    const ChildRun theirs = RunShell(iconv);
    r.ok = r.ok && ours.ok && theirs.ok;
    ratios.push_back(ours.seconds / theirs.seconds);
    times.push_back(ours.seconds);
    rss = std::max(rss, ours.maxRssBytes);
  }
  r.ratio = Median(ratios);
  r.seconds = Median(times);
  r.rssOverFile = rss / static_cast<double>(fs::file_size(shape));
  return r;
}

// ---- Compressed and binary forms ---------------------------------------------

double ZlibBothWays(const std::string& compressed, const std::string& payload) {
  const auto t0 = Clock::now();
  std::string inflated = bench::Inflated(compressed);
  std::string out(compressBound(payload.size()), '\0');
  uLongf size = out.size();
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(payload.data()), payload.size(),
            6);
  return Seconds(t0);
}

// Seconds of the three steps, as the session takes them: form to text,
// text to lines, lines to form.
struct FormSteps {
  double step[3] = {0, 0, 0};
  double Total() const { return step[0] + step[1] + step[2]; }
};

FormSteps FormOpenSave(const std::string& bytes, ShapeForm form) {
  FormSteps s;
  auto t0 = Clock::now();
  const std::string text = ShapeFormToUnicodeText(bytes, form);
  s.step[0] = Seconds(t0);
  t0 = Clock::now();
  const DecodedShape d = DecodeShape(text);
  s.step[1] = Seconds(t0);
  t0 = Clock::now();
  const std::string back = LinesToShapeForm(d.lines, d.bom, form);
  s.step[2] = Seconds(t0);
  if (back.size() < 16) std::abort();
  return s;
}

// The blocks the binary forms require that the exported shape leaves out.
Lines WithEveryBlock(Lines shape) {
  auto after = [&](const std::string& line, std::initializer_list<const char*> added) {
    auto at = std::find(shape.begin(), shape.end(), line);
    if (at != shape.end()) shape.insert(at + 1, added.begin(), added.end());
  };
  after("\t\tnamed_shader ( TexDiff )", {"\t)", "\ttexture_filter_names ( 1", "\t\tnamed_filter_mode ( MipLinear )"});
  after("\tlight_materials ( 0 )", {"\tlight_model_cfgs ( 1", "\t\tlight_model_cfg ( 00000000", "\t\t\tuv_ops ( 1",
                                    "\t\t\t\tuv_op_copy ( 1 0 )", "\t\t\t)", "\t\t)", "\t)"});
  return shape;
}

// The two forms' ratios: open + save in memory over zlib both ways; the
// note tells where the compressed form's time goes.
std::pair<double, double> FormRatios(const Lines& shape, int runs, std::string& note) {
  const std::string text = EncodeShape(WithEveryBlock(shape), "\xFF\xFE");
  const std::string compressed = UnicodeTextToShapeForm(text, ShapeForm::Compressed);
  const std::string binary = UnicodeTextToShapeForm(text, ShapeForm::Binary);
  const std::string blocks = ShapeFormBlocks(binary, ShapeForm::Binary);
  std::vector<double> c, b;
  FormSteps last;
  double zlib = 0;
  for (int i = 0; i < runs; ++i) {
    zlib = ZlibBothWays(compressed, blocks);
    last = FormOpenSave(compressed, ShapeForm::Compressed);
    c.push_back(last.Total() / zlib);
    b.push_back(FormOpenSave(binary, ShapeForm::Binary).Total() / zlib);
  }
  char n[200];
  std::snprintf(n, sizeof n,
                "compressed form, in units of zlib both ways: form to text %.2f, text to lines %.2f, lines to form "
                "%.2f",
                last.step[0] / zlib, last.step[1] / zlib, last.step[2] / zlib);
  note = n;
  return {Median(c), Median(b)};
}

// ---- Generation ---------------------------------------------------------------

// The writer alone (from the call to the complete new shape) and the
// writer with the structural check the new shape passes before it is handed
// back, each against the copying of the written lines, both in the same
// state of memory: either with the memory of earlier runs kept (no page is
// new to either: the work itself), or with the free memory handed back to
// the system before each, as in a fresh batch run (each pays for the new
// pages it fills). Measured any other way, whichever runs first takes the
// pages the run before freed. Times are the thread's processor time.
struct Generation {
  double writer = 0;
  double withCheck = 0;
};

// The processor time of this thread (the kernel's part included: the
// pages it fills): on a shared machine the wall time of a step of a tenth
// of a second moves with whatever else runs.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

Generation GenerationRatios(int runs, bool freshPages) {
  const bench::GenerationShape& g = bench::TenLodsTwentySubObjects();
  std::vector<double> writer, withCheck;
  if (!freshPages) {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
  }
  for (int i = freshPages ? 0 : -1; i < runs; ++i) {
    // The session generates from the document itself, not from a copy.
    Lines document = g.lines;
    double written = 0;
    GenerationObserver observer;
    observer.reached = [&](GenerationStage stage) {
      if (stage == GenerationStage::Written) written = ThreadSeconds();
    };
    if (freshPages) malloc_trim(0);
    const double t0 = ThreadSeconds();
    Lines out = GenerateShapeInPlace(document, g.assignment, g.Tables(), observer);
    const double t1 = ThreadSeconds();
    if (freshPages) malloc_trim(0);
    const double c0 = ThreadSeconds();
    Lines copy;
    copy.reserve(g.writtenLines);
    for (std::size_t k = 0; k < g.writtenLines; ++k) copy.push_back(out[k]);
    const double floor = ThreadSeconds() - c0;
    if (i < 0) continue;  // the run that fills the memory
    writer.push_back((written - t0) / floor);
    withCheck.push_back((t1 - t0) / floor);
  }
  return {Median(writer), Median(withCheck)};
}

// ---- Many shapes ----------------------------------------------------------------

// A file system that times the flushes to disk of the one beneath it.
class TimedSyncs : public FileSystem {
public:
  double syncSeconds = 0;

  std::unique_ptr<OpenedFile> Open(const std::string& path, OpenMode mode) override {
    auto f = NativeFileSystem().Open(path, mode);
    if (!f) return f;
    return std::make_unique<File>(std::move(f), syncSeconds);
  }
  bool Status(const std::string& p, PathStatus& s) override { return NativeFileSystem().Status(p, s); }
  bool Rename(const std::string& a, const std::string& b) override { return NativeFileSystem().Rename(a, b); }
  bool Remove(const std::string& p) override { return NativeFileSystem().Remove(p); }
  bool Copy(const std::string& a, const std::string& b) override { return NativeFileSystem().Copy(a, b); }

private:
  class File : public OpenedFile {
  public:
    File(std::unique_ptr<OpenedFile> f, double& total) : f_(std::move(f)), total_(total) {}
    std::size_t Read(char* b, std::size_t n) override { return f_->Read(b, n); }
    std::size_t Write(std::string_view b) override { return f_->Write(b); }
    bool Flush() override { return f_->Flush(); }
    bool Sync() override {
      const auto t0 = Clock::now();
      const bool ok = f_->Sync();
      total_ += Seconds(t0);
      return ok;
    }
    bool Close() override { return f_->Close(); }
    bool Failed() const override { return f_->Failed(); }

  private:
    std::unique_ptr<OpenedFile> f_;
    double& total_;
  };
};

struct ManyShapes {
  double speedup = 0;
  double flushShare = 0;
  double oneWorkerSeconds = 0;
  double twoWorkersSeconds = 0;
  bool ok = true;
};

ManyShapes ManyShapesRun(const fs::path& root, int count) {
  const fs::path originals = root / "originals", work = root / "work";
  bench::WriteBatchShapes(originals, count);
  ManyShapes m;
  auto run = [&](int jobs) {
    fs::remove_all(work);
    fs::copy(originals, work, fs::copy_options::recursive);
    const ChildRun r = RunChild({CliPath(), "--lang", "en", "-q", "-r", work.string(), "--merge-points", "0.001",
                                 "--save", "-j", std::to_string(jobs)});
    m.ok = m.ok && r.ok;
    return r.seconds;
  };
  m.oneWorkerSeconds = run(1);
  // The flushes: the same saved files written once more as the save writes
  // them, timing the flush of each.
  TimedSyncs timed;
  {
    FileSystemOverride use(timed);
    const fs::path again = root / "again";
    fs::create_directories(again);
    for (const auto& e : fs::directory_iterator(work)) {
      if (e.path().extension() != ".s") continue;
      const std::string bytes = ReadFileBytes(e.path().string());
      WriteFileAtomic((again / e.path().filename()).string(), bytes, "");
    }
  }
  m.flushShare = timed.syncSeconds / m.oneWorkerSeconds;
  const double two = run(2);
  m.twoWorkersSeconds = two;
  m.speedup = m.oneWorkerSeconds / two;
  return m;
}

void WriteShape(const fs::path& path, const Lines& lines) {
  const std::string bytes = EncodeShape(lines, "\xFF\xFE");
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main() {
  const int runs = EnvNumber("LODSMITH_BENCH_RUNS", 3);
  const fs::path root = fs::temp_directory_path() / ("lodsmith-bench-table-" + std::to_string(getpid()));
  fs::create_directories(root);
  std::vector<Row> rows;
  std::vector<std::string> notes;

  if (Wanted("open-save") || Wanted("forms")) {
    const Lines latin = test::LargeExportedShape(1000000, "Gebäude_Türen_");
    if (Wanted("open-save")) {
      const Lines czech = test::LargeExportedShape(1000000, "Žluťoučký_kůň_Колесо_");
      const fs::path latinPath = root / "latin.s", czechPath = root / "czech.s";
      WriteShape(latinPath, latin);
      WriteShape(czechPath, czech);
      std::fprintf(stderr, "open + save: %zu lines, %.1f MB ...\n", latin.size(), fs::file_size(latinPath) / 1e6);
      const OpenSave l = OpenSaveAgainstIconv(latinPath, runs);
      const OpenSave c = OpenSaveAgainstIconv(czechPath, runs);
      rows.push_back(AtMost("open + save, 1 M lines, Latin-1 names / iconv pair", l.ratio, 1.0));
      rows.push_back(AtMost("open + save, 1 M lines, Czech + Cyrillic names / iconv pair", c.ratio, 1.0));
      rows.push_back(AtMost("peak memory, open + save / file size", l.rssOverFile, 1.5));
      if (!l.ok || !c.ok) notes.push_back("an open + save run failed");
      char t[96];
      std::snprintf(t, sizeof t, "open + save took %.2f s (Latin-1 names)", l.seconds);
      notes.push_back(t);

      std::fprintf(stderr, "open + merges + 3 LODs + save ...\n");
      const fs::path work = root / "workflow.s";
      fs::copy_file(latinPath, work, fs::copy_options::overwrite_existing);
      const ChildRun w = RunChild({CliPath(), "-q", work.string(), "--merge-points", "0.001", "--merge-normals",
                                   "0.0001", "--lods", "3", "--generate", "--save"});
      const double larger = static_cast<double>(std::max(fs::file_size(latinPath), fs::file_size(work)));
      rows.push_back(
          AtMost("peak memory, open + merges + 3-LOD generation + save / larger file", w.maxRssBytes / larger, 2.0));
      if (!w.ok) notes.push_back("the merge + generation run failed");
    }

    if (Wanted("forms")) {
      std::fprintf(stderr, "compressed and binary forms ...\n");
      std::string formNote;
      const auto [compressed, binary] = FormRatios(latin, runs, formNote);
      notes.push_back(formNote);
      rows.push_back(AtMost("compressed form, open + save / zlib inflate + deflate", compressed, 3.0));
      rows.push_back(AtMost("binary form, open + save / zlib inflate + deflate", binary, 3.0));
    }
  }

  if (Wanted("generation")) {
    std::fprintf(stderr, "generation ...\n");
    // On new pages first: the memory the other way keeps would serve them.
    const Generation fresh = GenerationRatios(runs, true);
    const Generation kept = GenerationRatios(runs, false);
    rows.push_back(AtMost("generation 10 LODs x 20 sub-objects / copying the written lines", kept.writer, 1.2));
    Row checked{"  the same with the structural check of the written shape", kept.withCheck, "", true};
    rows.push_back(checked);
    rows.push_back(AtMost("  the same, both on new pages (as in a fresh batch run)", fresh.writer, 1.2));
    Row freshChecked{"  the same on new pages, with the structural check", fresh.withCheck, "", true};
    rows.push_back(freshChecked);
  }

  if (Wanted("batch")) {
    const int shapes = EnvNumber("LODSMITH_BATCH_BENCH_SHAPES", 400);
    std::fprintf(stderr, "%d shapes ...\n", shapes);
    const ManyShapes m = ManyShapesRun(root / "batch", shapes);
    rows.push_back(AtLeast(std::to_string(shapes) + " shapes, merge + save: -j 1 time / -j 2 time", m.speedup, 1.7));
    Row flush{"  share of the -j 1 time spent flushing the saved files", m.flushShare, "", true};
    rows.push_back(flush);
    if (!m.ok) notes.push_back("a batch run failed");
    char t[96];
    std::snprintf(t, sizeof t, "%d shapes: -j 1 took %.2f s, -j 2 %.2f s", shapes, m.oneWorkerSeconds,
                  m.twoWorkersSeconds);
    notes.push_back(t);
  }

  PrintTable(rows);
  for (const auto& n : notes) std::printf("\n%s", n.c_str());
  std::printf("\n(%d paired runs each; 2 cores, shared: the ratios move with the machine's load)\n", runs);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
