#pragma once
// A program started in the background, for tests that stop it while it works. Its standard
// output and error are discarded.
#include <string>
#include <sys/types.h>
#include <vector>

class BackgroundCommand {
 public:
  BackgroundCommand(const std::string& iProgram, const std::vector<std::string>& iArguments);
  // Kills the program if it still runs.
  ~BackgroundCommand();
  BackgroundCommand(const BackgroundCommand&) = delete;
  BackgroundCommand& operator=(const BackgroundCommand&) = delete;

  // False once the program has ended.
  bool IsRunning();
  // Sends SIGKILL and waits for the end.
  void Kill();

 private:
  pid_t _pid = -1;
  bool _ended = false;
};
