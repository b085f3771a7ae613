// The command line of every command, parsed as the geosig program does: the input's bytes are
// the words, separated by NUL bytes. Parsing must end in success or in a ParseError that
// geosig reports as a usage error; nothing is run.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "CommandSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* iData, std::size_t iSize) {
  std::vector<std::string> words = {"geosig"};
  words.emplace_back();
  for (std::size_t k = 0; k < iSize; ++k) {
    if (iData[k] == '\0')
      words.emplace_back();
    else
      words.back() += static_cast<char>(iData[k]);
  }
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());

  CLI::App app("geosig under fuzzing", "geosig");
  const CommandSet commands(app);
  try {
    app.parse(static_cast<int>(arguments.size()), arguments.data());
  } catch (const CLI::ParseError&) {
    // Help, or a refused command line.
  }
  return 0;
}
