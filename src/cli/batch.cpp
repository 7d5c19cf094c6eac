#include "cli/batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>

#ifdef _WIN32
#include <io.h>
#define LODSMITH_ISATTY _isatty
#define LODSMITH_FILENO _fileno
#else
#include <unistd.h>
#define LODSMITH_ISATTY ::isatty
#define LODSMITH_FILENO ::fileno
#endif

#include "cli/cli_messages.h"
#include "cli/run_files.h"
#include "core/disk_wait.h"
#include "core/native_file.h"
#include "core/text.h"

namespace lodsmith {

namespace {

using Clock = std::chrono::steady_clock;

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

bool IsShapeName(const std::filesystem::path& p) { return EqualsIgnoreCase(Utf8Path(p.extension()), ".s"); }

// The first option given that works on one shape only.
std::optional<std::string> OneShapeOption(const CliOptions& o) {
  if (!o.output.empty()) return std::string("--output");
  for (const auto& a : o.actions)
    if (a.kind == CliAction::Kind::Print || a.kind == CliAction::Kind::PrintPdf ||
        a.kind == CliAction::Kind::Compress || a.kind == CliAction::Kind::Render)
      return a.option;
  return std::nullopt;
}

int RefuseRun(const Message& m, Language language) {
  std::cerr << "lodsmith-cli: " << MessageString(m, language) << "\n"
            << MessageString(Message(CliMsg::TryHelp), language) << "\n";
  return 2;
}

// The progress line, redrawn in place on a terminal.
class Progress {
public:
  Progress(bool on, std::size_t total, Language language) : on_(on), total_(total), language_(language) {}
  void Clear() {
    if (on_ && drawn_) std::cerr << "\r\033[K" << std::flush;
    drawn_ = false;
  }
  void Draw(std::size_t done, const std::string& current, Clock::time_point start, bool force) {
    if (!on_) return;
    const auto now = Clock::now();
    // A terminal redrawn thousands of times a second costs more than it tells.
    if (!force && drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::cerr << "\r\033[K"
              << MessageString(Message(CliMsg::Progress, done, total_, Fixed(rate, 1), current), language_)
              << std::flush;
    drawn_ = true;
  }

private:
  bool on_;
  std::size_t total_;
  Language language_;
  bool drawn_ = false;
  Clock::time_point last_{};
};

// How many threads run the shapes: --jobs, else one per core, never more
// than there are shapes.
std::size_t WorkerCount(const CliOptions& options, std::size_t shapes) {
  const std::size_t wanted = options.jobs > 0 ? static_cast<std::size_t>(options.jobs)
                                              : std::max<std::size_t>(1, std::thread::hardware_concurrency());
  return std::min(wanted, shapes);
}

// One shape's run on a worker: a fault outside every handler (memory)
// fails this shape only, and the others go on.
ShapeRunResult RunGuarded(const CliOptions& options, const RunShared& shared, const std::string& shape) {
  try {
    return RunShape(options, shared, shape);
  } catch (const std::exception& e) {
    ShapeRunResult r;
    r.status = ShapeRunResult::Status::Failed;
    r.reasonText = e.what();
    r.err = shape + ": error: " + e.what() + "\n";
    return r;
  }
}

// A worker thread's waiter: the places' own (the thread's place is given
// back while a saved file is flushed), keeping how long the thread was
// without a place.
class PlaceKeeper : public DiskWaiter {
public:
  explicit PlaceKeeper(ProcessorSlots& places) : places_(places) {}
  void Waiting() override {
    places_.Waiting();
    left_ = Clock::now();
  }
  void Resumed() override {
    places_.Resumed();
    away_ += std::chrono::duration<double>(Clock::now() - left_).count();
  }
  // The seconds away since the last call.
  double TakeAway() { return std::exchange(away_, 0.0); }

private:
  ProcessorSlots& places_;
  Clock::time_point left_{};
  double away_ = 0;
};

// The shapes' runs on a pool of worker threads, their results handed out
// in the order of the shapes. As many shapes as there are workers are
// worked on at once; a worker whose saved file is being flushed to the disk
// gives its place to a thread that starts the next shape meanwhile, and
// goes on with its own shape (the rename, the rest of the save, the report)
// once the flush is through and a place is free. So there are twice as
// many threads as workers. The destructor waits for them.
class ShapePool {
public:
  ShapePool(const CliOptions& options, const RunShared& shared, const std::vector<std::string>& shapes)
      : options_(options),
        shared_(shared),
        shapes_(shapes),
        slots_(shapes.size()),
        working_(std::max<std::size_t>(1, WorkerCount(options, shapes.size()))) {
    const std::size_t workers = std::max<std::size_t>(1, WorkerCount(options, shapes.size()));
    const std::size_t threads = std::min(2 * workers, std::max<std::size_t>(shapes.size(), 1));
    for (std::size_t t = 0; t < threads; ++t) pool_.emplace_back([this] { Work(); });
  }
  ~ShapePool() {
    for (auto& t : pool_) t.join();
  }
  ShapePool(const ShapePool&) = delete;
  ShapePool& operator=(const ShapePool&) = delete;

  // Waits a little for the result of shape `first`, then takes it and every
  // finished one after it in order (none when it is not done yet). `done`
  // and `current` tell how far the workers are.
  std::vector<ShapeRunResult> TakeReady(std::size_t first, std::size_t& done, std::string& current) {
    std::vector<ShapeRunResult> ready;
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait_for(lock, std::chrono::milliseconds(200), [&] { return slots_[first].has_value(); });
    while (first + ready.size() < slots_.size() && slots_[first + ready.size()]) {
      std::optional<ShapeRunResult>& slot = slots_[first + ready.size()];
      ready.push_back(std::move(*slot));
      slot.reset();
    }
    done = done_;
    current = current_;
    return ready;
  }

private:
  void Work() {
    PlaceKeeper keeper(working_);
    SetDiskWaiter(&keeper);
    for (;;) {
      // The next shape is taken only with a place to work on it.
      working_.Acquire();
      const std::size_t i = next_.fetch_add(1);
      if (i >= shapes_.size()) {
        working_.Release();
        return;
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = shapes_[i];
      }
      ShapeRunResult r = RunGuarded(options_, shared_, shapes_[i]);
      r.awaySeconds = keeper.TakeAway();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_[i] = std::move(r);
        ++done_;
      }
      working_.Release();
      finished_.notify_one();
    }
    SetDiskWaiter(nullptr);
  }

  const CliOptions& options_;
  const RunShared& shared_;
  const std::vector<std::string>& shapes_;
  std::vector<std::optional<ShapeRunResult>> slots_;
  std::mutex mutex_;
  std::condition_variable finished_;
  ProcessorSlots working_;  // one per worker
  std::atomic<std::size_t> next_{0};
  std::size_t done_ = 0;
  std::string current_;
  std::vector<std::thread> pool_;
};

// Runs many shapes on the pool and prints each one's output once every
// shape before it has been printed, with the progress line between.
std::vector<ShapeRunResult> RunMany(const CliOptions& options, const RunShared& shared,
                                    const std::vector<std::string>& shapes, Clock::time_point start,
                                    Language language) {
  const std::size_t n = shapes.size();
  ShapePool pool(options, shared, shapes);
  Progress progress(LODSMITH_ISATTY(LODSMITH_FILENO(stderr)) != 0 && !options.quiet, n, language);
  std::vector<ShapeRunResult> results;
  results.reserve(n);
  while (results.size() < n) {
    std::size_t done = 0;
    std::string current;
    std::vector<ShapeRunResult> ready = pool.TakeReady(results.size(), done, current);
    if (!ready.empty()) {
      progress.Clear();
      for (auto& r : ready) {
        std::cerr << r.err;
        std::cout << r.out;
      }
      std::cout.flush();
      for (auto& r : ready) results.push_back(std::move(r));
    }
    progress.Draw(done, current, start, !ready.empty());
  }
  progress.Clear();
  return results;
}

// The summary of a run of many shapes: the counts, then the reasons grouped
// by the message that ended each shape (its text when it was none of the
// program's messages), in the order first met.
void PrintSummary(const std::vector<ShapeRunResult>& results, double elapsed, Language language) {
  std::size_t refused = 0, failed = 0;
  for (const auto& r : results) {
    if (r.status == ShapeRunResult::Status::Refused) ++refused;
    if (r.status == ShapeRunResult::Status::Failed) ++failed;
  }
  std::cerr << MessageString(Message(CliMsg::Summary, results.size(), results.size() - refused - failed, refused,
                                     failed, Fixed(elapsed, 1)),
                             language)
            << "\n";
  struct Group {
    ShapeRunResult::Status status;
    std::size_t count = 0;
    std::string text;
  };
  std::vector<Group> groups;
  std::map<std::tuple<int, int, int, std::string>, std::size_t> index;
  for (const auto& r : results) {
    if (r.status == ShapeRunResult::Status::Done) continue;
    const bool named = r.reason.message != 0 || r.reason.languageText != 0;
    const auto key = std::make_tuple(static_cast<int>(r.status), r.reason.message, r.reason.languageText,
                                     named ? std::string() : r.reasonText);
    auto [it, added] = index.try_emplace(key, groups.size());
    if (added) groups.push_back({r.status, 0, r.reasonText});
    ++groups[it->second].count;
  }
  for (const auto& g : groups) {
    const CliMsg id = g.status == ShapeRunResult::Status::Refused ? CliMsg::SummaryRefused : CliMsg::SummaryFailed;
    std::cerr << "  " << MessageString(Message(id, g.count, g.text), language) << "\n";
  }
}

// --timing: the seconds spent opening, in the actions and saving, summed
// over the shapes, and the runner's own cost per shape: the time every
// worker was there for, less what went into the shapes' work while they
// held a worker's place (a shape whose file is flushed gives its place to
// the next one meanwhile).
void PrintTiming(const std::vector<ShapeRunResult>& results, std::size_t workers, double elapsed, Language language) {
  double open = 0, actions = 0, save = 0, away = 0;
  for (const auto& r : results) {
    open += r.openSeconds;
    actions += r.actionSeconds;
    save += r.saveSeconds;
    away += r.awaySeconds;
  }
  const double runner = std::max(0.0, elapsed * static_cast<double>(workers) - (open + actions + save - away));
  const double perShape = results.empty() ? 0 : runner * 1000 / static_cast<double>(results.size());
  std::cerr << MessageString(Message(CliMsg::Timing, Fixed(open, 3), Fixed(actions, 3), Fixed(save, 3),
                                     Fixed(perShape, 3), Fixed(elapsed, 3)),
                             language)
            << "\n";
}

// Whether a folder stands among the arguments: its shapes run as many,
// even when it holds one.
bool FolderGiven(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) {
    std::error_code ec;
    return std::filesystem::is_directory(FsPath(a), ec);
  });
}

}  // namespace

std::vector<std::string> CollectShapes(const std::vector<std::string>& args, bool recursive) {
  namespace fs = std::filesystem;
  std::vector<std::string> shapes;
  for (const auto& a : args) {
    std::error_code ec;
    if (!recursive || !fs::is_directory(FsPath(a), ec)) {
      shapes.push_back(a);
      continue;
    }
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(FsPath(a), fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code fileEc;
      if (it->is_regular_file(fileEc) && IsShapeName(it->path())) found.push_back(Utf8Path(it->path()));
    }
    std::sort(found.begin(), found.end());
    shapes.insert(shapes.end(), found.begin(), found.end());
  }
  return shapes;
}

int RunBatch(const CliOptions& options, RunShared shared, Language language) {
  const auto start = Clock::now();
  // A file named twice is worked on once: a second run would take the
  // first one's output for its input, and its backup for the original.
  const std::vector<std::string> shapes = DistinctShapes(CollectShapes(options.shapes, options.recursive));
  shared.manyShapes = shapes.size() > 1 || FolderGiven(options.shapes);
  if (shared.manyShapes) {
    if (auto option = OneShapeOption(options)) return RefuseRun(Message(CliMsg::OneShapeOption, *option), language);
  }
  // Before anything is written: one writer per file, none over what is read.
  if (auto clash = FileClash(options, shapes)) return RefuseRun(*clash, language);

  // A run of no shape (the compression alone) or one: on this thread, its
  // output as it was always printed.
  std::vector<ShapeRunResult> results;
  if (!shared.manyShapes) {
    results.push_back(RunShape(options, shared, shapes.empty() ? std::string() : shapes.front()));
    std::cerr << results.front().err;
    std::cout << results.front().out;
  } else {
    results = RunMany(options, shared, shapes, start, language);
  }

  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  if (shared.manyShapes) PrintSummary(results, elapsed, language);
  if (options.timing)
    PrintTiming(results, shared.manyShapes ? WorkerCount(options, results.size()) : 1, elapsed, language);
  const bool allDone = std::all_of(results.begin(), results.end(),
                                   [](const ShapeRunResult& r) { return r.status == ShapeRunResult::Status::Done; });
  return allDone ? 0 : 1;
}

}  // namespace lodsmith
