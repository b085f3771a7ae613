#include "CommandRunner.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "TemporaryDirectory.h"

static std::string ShellWord(const std::string& iText) {
  std::string quoted = "'";
  for (char c : iText) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

CommandResult RunCommand(const std::string& iProgram, const std::vector<std::string>& iArguments) {
  const TemporaryDirectory directory;
  std::string commandLine = ShellWord(iProgram);
  for (const std::string& argument : iArguments) commandLine += ' ' + ShellWord(argument);
  commandLine += " 2>" + ShellWord(directory.Path("stderr"));

  CommandResult result;
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + iProgram);
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::ostringstream err;
  err << std::ifstream(directory.Path("stderr")).rdbuf();
  result.err = err.str();
  return result;
}
