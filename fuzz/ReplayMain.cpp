// Runs a fuzzing harness once on each file given, or on each file in each directory given, in
// name order: how the regression inputs are replayed in builds without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* iData, std::size_t iSize);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int k = 1; k < argc; ++k) {
    if (!fs::is_directory(argv[k])) {
      inputs.emplace_back(argv[k]);
      continue;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(argv[k]))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
      std::cerr << input.string() << ": cannot be read\n";
      return 1;
    }
    std::cout << input.filename().string() << std::endl;  // names the input that any crash comes from
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::cout << inputs.size() << " inputs replayed\n";
  return 0;
}
