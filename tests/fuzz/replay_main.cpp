// Runs a fuzz target once on every file it is given, or in every directory
// it is given: the checked-in corpus and past findings replayed as tests,
// with any compiler and without libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

namespace {

bool run_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    // c_str() is wide on Windows; UTF-8 prints the same everywhere.
    std::fprintf(stderr, "cannot read %s\n", path.u8string().c_str());
    return false;
  }
  const std::string bytes(std::istreambuf_iterator<char>(file), {});
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                         bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        files.push_back(entry.path());
      }
    } else {
      files.push_back(path);
    }
  }
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    if (!run_file(path)) {
      return 1;
    }
  }
  std::printf("ran %zu inputs\n", files.size());
  return files.empty() ? 1 : 0;  // an empty corpus would test nothing
}
