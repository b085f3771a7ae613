// The reader of an earlier batch output that --resume trusts. Whatever the bytes, it either
// refuses the file and leaves it as it was, or keeps exactly its complete lines, each a record.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "BatchOutput.h"
#include "FuzzInputFile.h"

static std::string ContentsOf(const std::string& iPath) {
  std::ifstream file(iPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* iData, std::size_t iSize) {
  const std::string before(reinterpret_cast<const char*>(iData), iSize);
  const FuzzInputFile file("out.jsonl", iData, iSize);
  std::size_t records = 0;
  try {
    const BatchOutput output(file.Path(), true);
    records = output.RecordedFiles().size();
  } catch (const std::runtime_error&) {
    if (ContentsOf(file.Path()) != before) std::abort();  // refused, yet changed
    return 0;
  }
  const std::string after = ContentsOf(file.Path());
  const std::size_t lines = static_cast<std::size_t>(std::count(after.begin(), after.end(), '\n'));
  // Kept: a prefix of the file ending at a line end, with at most one record per line.
  if (before.compare(0, after.size(), after) != 0 || (!after.empty() && after.back() != '\n') || records > lines)
    std::abort();
  return 0;
}
