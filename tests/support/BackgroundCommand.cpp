#include "BackgroundCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <unistd.h>

#include <stdexcept>

BackgroundCommand::BackgroundCommand(const std::string& iProgram, const std::vector<std::string>& iArguments) {
  std::vector<char*> argv;
  std::string program = iProgram;
  std::vector<std::string> arguments = iArguments;
  argv.push_back(program.data());
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int status = posix_spawn(&_pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (status != 0) throw std::runtime_error("cannot start " + iProgram);
}

BackgroundCommand::~BackgroundCommand() { Kill(); }

bool BackgroundCommand::IsRunning() {
  if (!_ended && waitpid(_pid, nullptr, WNOHANG) == _pid) _ended = true;
  return !_ended;
}

void BackgroundCommand::Kill() {
  if (_ended) return;
  kill(_pid, SIGKILL);
  waitpid(_pid, nullptr, 0);
  _ended = true;
}
