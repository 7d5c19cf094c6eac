// Replays inputs through a fuzz target once each, as `make test` does with
// the seeds and the inputs that once found a fault: every file named, and
// every file of every folder named (in name order). A folder that does not
// exist is skipped. A violated check or a sanitizer report ends the run with
// the input's name on stderr; otherwise the exit status is 0, or 1 when
// there was nothing to replay at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path p = argv[i];
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(p))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else if (fs::is_regular_file(p, ec)) {
      inputs.push_back(p);
    }
  }
  for (const auto& p : inputs) {
    std::fprintf(stderr, "replay %s\n", p.string().c_str());
    std::ifstream in(p, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // A copy of exactly the input's size, so that a read past its end is seen.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
