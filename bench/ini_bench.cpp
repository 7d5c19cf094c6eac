// Settings files far larger than the program writes itself: reading them,
// looking every name up, and the batch of erasures and writes that saving a
// model's settings makes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/ini_file.h"

using namespace lodsmith;

namespace {

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("lodsmith-bench-" + name)).string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// n empty sections "[S<i>]".
const std::string& ManySectionsFile(int n) {
  static std::map<int, std::string> made;
  auto it = made.find(n);
  if (it != made.end()) return it->second;
  std::string bytes;
  for (int i = 0; i < n; ++i) bytes += "[S" + std::to_string(i) + "]\r\n";
  std::string path = TempFile("sections-" + std::to_string(n) + ".INI");
  WriteFile(path, bytes);
  return made.emplace(n, path).first->second;
}

// One section of n keys "<i>=<i>".
const std::string& ManyKeysFile(int n) {
  static std::map<int, std::string> made;
  auto it = made.find(n);
  if (it != made.end()) return it->second;
  std::string bytes = "[SONR_L1]\r\n";
  for (int i = 0; i < n; ++i) bytes += std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  std::string path = TempFile("keys-" + std::to_string(n) + ".INI");
  WriteFile(path, bytes);
  return made.emplace(n, path).first->second;
}

// Reads a file of n empty sections and asks for each of them (in the other
// case, as a user's hand-edited file may have it).
void BM_IniManySections(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string& path = ManySectionsFile(n);
  for (auto _ : state) {
    IniFile ini(path);
    int found = 0;
    for (int i = 0; i < n; ++i) found += ini.SectionExists("s" + std::to_string(i));
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IniManySections)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Reads one section of n keys and reads each key back.
void BM_IniManyKeys(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string& path = ManyKeysFile(n);
  for (auto _ : state) {
    IniFile ini(path);
    long long sum = 0;
    for (int i = 0; i < n; ++i) sum += ini.ReadInteger("sonr_l1", std::to_string(i), 0);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IniManyKeys)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Saving a model's settings into a file that already holds n other
// sections: 200 sections erased and made again with 400 keys each (80 000
// writes) in one batch, then one write to disk.
void BM_IniSettingsBatch(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string source = ManySectionsFile(n);
  const std::string path = TempFile("batch-" + std::to_string(n) + ".Lodsmith");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    IniFile ini(path);
    IniFile::BatchUpdate batch(ini);
    for (int k = 1; k <= 100; ++k) {
      const std::string numbers = "SONR_L" + std::to_string(k);
      const std::string marks = "SOSORT_L" + std::to_string(k);
      ini.EraseSection(numbers);
      ini.EraseSection(marks);
      for (int r = 1; r <= 400; ++r) ini.WriteString(numbers, std::to_string(r), std::to_string(r % 7));
      for (int r = 1; r <= 400; ++r) ini.WriteString(marks, std::to_string(r), r % 3 ? "" : "x");
    }
    batch.Commit();
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_IniSettingsBatch)->Arg(0)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
