#pragma once
// Runs a program the way a user's shell would, for end-to-end tests of command-line tools.
#include <string>
#include <vector>

struct CommandResult {
  int exitStatus = -1;  // 128 + the signal's number when the program was killed by one
  std::string out;
  std::string err;
};

// Runs iProgram with iArguments (each passed as one word, whatever it holds) and captures
// standard output and standard error separately.
CommandResult RunCommand(const std::string& iProgram, const std::vector<std::string>& iArguments);
