// A mutation loop for compilers without libFuzzer. It takes the options
// scripts/fuzz.sh passes to libFuzzer and behaves alike where it matters:
//
//   fuzz_<target> [-max_total_time=S] [-max_len=N] [-timeout=S] [-seed=N]
//                 [-artifact_prefix=DIR/] [other -options ignored] FOLDER|FILE...
//
// Files named are run once each and the program ends. Otherwise every input
// of the folders is run once, then mutants of them (byte flips, insertions,
// deletions, copies within the input, splices with another input, and
// tokens of the shape syntax) until the time is up. Without coverage
// feedback it keeps a few mutants that ran through as further parents.
//
// An input that crashes (a trap, a sanitizer report, an uncaught exception)
// or runs longer than the timeout is written to
// <artifact_prefix>crash-<hash> or timeout-<hash>, and the process ends with
// the signal's status.
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

// With g++ the undefined-behaviour runtime keeps its own death callbacks;
// an abort brings its reports to the signal handler below instead.
extern "C" const char* __ubsan_default_options() { return "abort_on_error=1:print_stacktrace=1"; }

namespace {

// What the handlers need, set up before each run (they may only make
// async-signal-safe calls).
const std::string* g_current = nullptr;
char g_crashPath[4096];
char g_timeoutPath[4096];

void WriteCurrent(const char* path) {
  if (!g_current) return;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < g_current->size()) {
    const ssize_t n = ::write(fd, g_current->data() + done, g_current->size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  const char* msg = "\nTest unit written to ";
  (void)!::write(2, msg, std::strlen(msg));
  (void)!::write(2, path, std::strlen(path));
  (void)!::write(2, "\n", 1);
}

void OnDeath() { WriteCurrent(g_crashPath); }

void OnSignal(int sig) {
  if (sig == SIGALRM) {
    const char* msg = "\nTimeout: the input ran longer than allowed\n";
    (void)!::write(2, msg, std::strlen(msg));
    WriteCurrent(g_timeoutPath);
    ::_exit(70);
  }
  WriteCurrent(g_crashPath);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

std::string Hash(const std::string& s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

struct Options {
  long maxTotalTime = 60;
  std::size_t maxLen = 65536;
  long timeout = 25;
  uint64_t seed = 0;
  std::string artifactPrefix = "./";
  std::vector<std::string> paths;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      const std::size_t n = std::strlen(name);
      return a.compare(0, n, name) == 0 ? argv[i] + n : nullptr;
    };
    if (const char* v = value("-max_total_time="))
      o.maxTotalTime = std::atol(v);
    else if (const char* v2 = value("-max_len="))
      o.maxLen = static_cast<std::size_t>(std::atol(v2));
    else if (const char* v3 = value("-timeout="))
      o.timeout = std::atol(v3);
    else if (const char* v4 = value("-seed="))
      o.seed = std::strtoull(v4, nullptr, 10);
    else if (const char* v5 = value("-artifact_prefix="))
      o.artifactPrefix = v5;
    else if (a.size() > 1 && a[0] == '-')
      continue;  // libFuzzer options this loop has no use for
    else
      o.paths.push_back(a);
  }
  return o;
}

void Run(const std::string& input, const Options& o) {
  const std::string h = Hash(input);
  std::snprintf(g_crashPath, sizeof g_crashPath, "%scrash-%s", o.artifactPrefix.c_str(), h.c_str());
  std::snprintf(g_timeoutPath, sizeof g_timeoutPath, "%stimeout-%s", o.artifactPrefix.c_str(), h.c_str());
  g_current = &input;
  if (o.timeout > 0) ::alarm(static_cast<unsigned>(o.timeout));
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  if (o.timeout > 0) ::alarm(0);
  g_current = nullptr;
}

// Pieces of the shape and settings syntax worth inserting whole.
const char* const kTokens[] = {"(",
                               ")",
                               " ( ",
                               " )",
                               "\n",
                               "\t",
                               " ",
                               "0",
                               "1",
                               "-1",
                               "999",
                               "2147483648",
                               "-2147483649",
                               "1e999",
                               "0.5",
                               "0,5",
                               "x",
                               "=",
                               "[",
                               "]",
                               "\r\n",
                               "\"",
                               "vertex ( ",
                               "point ( ",
                               "normals ( ",
                               "points ( ",
                               "prim_state ",
                               "vtx_state ( ",
                               "sub_object ( ",
                               "anim_node ",
                               "controllers ( ",
                               "\xC5\x99",
                               "\xF0\x9F\x9A\x82"};

class Mutator {
public:
  explicit Mutator(uint64_t seed) : rng_(seed) {}

  std::string Mutate(std::string s, const std::vector<std::string>& pool, std::size_t maxLen) {
    const int steps = 1 + static_cast<int>(Below(4));
    for (int k = 0; k < steps; ++k) {
      switch (Below(8)) {
        case 0:  // flip a bit
          if (!s.empty()) s[Below(s.size())] ^= static_cast<char>(1u << Below(8));
          break;
        case 1:  // set a byte
          if (!s.empty()) s[Below(s.size())] = static_cast<char>(Below(256));
          break;
        case 2:  // insert random bytes
          s.insert(Below(s.size() + 1), RandomBytes(1 + Below(8)));
          break;
        case 3:  // delete a range
          if (!s.empty()) {
            const std::size_t at = Below(s.size());
            s.erase(at, 1 + Below(std::min<std::size_t>(s.size() - at, 64)));
          }
          break;
        case 4:  // copy a range to another place
          if (!s.empty()) {
            const std::size_t from = Below(s.size());
            const std::string piece = s.substr(from, 1 + Below(std::min<std::size_t>(s.size() - from, 256)));
            s.insert(Below(s.size() + 1), piece);
          }
          break;
        case 5:  // splice: this input's head, another's tail
          if (!pool.empty()) {
            const std::string& other = pool[Below(pool.size())];
            const std::size_t cut = Below(s.size() + 1), from = Below(other.size() + 1);
            s = s.substr(0, cut) + other.substr(from);
          }
          break;
        case 6:  // insert a token
          s.insert(Below(s.size() + 1), kTokens[Below(std::size(kTokens))]);
          break;
        default:  // change a digit, where the numbers are
          for (int tries = 0; tries < 16 && !s.empty(); ++tries) {
            const std::size_t at = Below(s.size());
            if (s[at] >= '0' && s[at] <= '9') {
              s[at] = static_cast<char>('0' + Below(10));
              break;
            }
          }
          break;
      }
    }
    if (s.size() > maxLen) s.resize(maxLen);
    return s;
  }

  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng_() % n); }

private:
  std::string RandomBytes(std::size_t n) {
    std::string r(n, '\0');
    for (auto& c : r) c = static_cast<char>(Below(256));
    return r;
  }
  std::mt19937_64 rng_;
};

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const Options o = Parse(argc, argv);
  // Faulting accesses are the sanitizer's to report; it calls OnDeath then.
  // A trap (a violated check) and an abort (an escaped exception) are not.
  __sanitizer_set_death_callback(OnDeath);
  for (int sig : {SIGILL, SIGABRT, SIGALRM}) ::signal(sig, OnSignal);

  std::vector<std::string> pool;
  bool onlyFiles = !o.paths.empty();
  for (const auto& p : o.paths) {
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
      onlyFiles = false;
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files) {
        std::string bytes = ReadAll(f);
        if (bytes.size() <= o.maxLen) pool.push_back(std::move(bytes));
      }
    } else if (fs::is_regular_file(p, ec)) {
      pool.push_back(ReadAll(p));
    }
  }
  for (const auto& input : pool) Run(input, o);
  if (onlyFiles) {
    std::fprintf(stderr, "%zu inputs run\n", pool.size());
    return 0;
  }
  if (pool.empty()) pool.emplace_back();

  const std::size_t seeds = pool.size();
  const std::size_t maxPool = 4 * seeds + 256;
  Mutator m(o.seed ? o.seed : static_cast<uint64_t>(std::random_device{}()));
  const auto start = std::chrono::steady_clock::now();
  auto lastReport = start;
  unsigned long runs = 0;
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    const long elapsed = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(now - start).count());
    if (elapsed >= o.maxTotalTime) break;
    if (now - lastReport >= std::chrono::seconds(10)) {
      std::fprintf(stderr, "#%lu\truns %lu/s\tpool %zu\n", runs,
                   runs / static_cast<unsigned long>(std::max(elapsed, 1L)), pool.size());
      lastReport = now;
    }
    const std::string mutant = m.Mutate(pool[m.Below(pool.size())], pool, o.maxLen);
    Run(mutant, o);
    ++runs;
    // Without coverage to tell, a mutant that ran through sometimes becomes
    // a parent, so that mutations can build on each other.
    if (m.Below(64) == 0) {
      if (pool.size() < maxPool)
        pool.push_back(mutant);
      else
        pool[seeds + m.Below(pool.size() - seeds)] = mutant;
    }
  }
  std::fprintf(stderr, "Done %lu runs in %ld s\n", runs, o.maxTotalTime);
  return 0;
}
