#pragma once
// A calling process's fork server (see WorkerServer.h): the worker program started once with
// posix_spawn, which is safe from a threaded caller, where fork is not. It is kept for the
// process's later runs, so a caller that reads a thousand files one call at a time pays the
// program's start once, and is started again when it died.
//
// Its workers are its children: it reaps them and reports how each ended, and they die with it
// (each asks for SIGKILL at its parent's death). The server ends when its caller does: the end
// of its control socket is the sign, not a parent-death signal, which would fire when the
// caller's thread that happened to start it ended. So it is never stopped explicitly. The
// caller's descriptors are close-on-exec, and a child forked from the caller starts a server of
// its own.
#include <sys/types.h>

#include <mutex>
#include <string>

class ForkServer {
 public:
  // A worker as the server hands it over; the caller owns the descriptors.
  struct Worker {
    pid_t pid = -1;
    // The caller's end of the worker's socket.
    int socket = -1;
    // Gives the worker's wait status (4 bytes) once the server has reaped it; the end of the
    // pipe without them when the server died first.
    int endStatus = -1;
  };

  // The fork server of the worker program at iProgram for this process, started on first use.
  static ForkServer& Of(const std::string& iProgram);

  ForkServer(const ForkServer&) = delete;
  ForkServer& operator=(const ForkServer&) = delete;

  // A new worker. Safe from several threads. Throws std::system_error when neither the server
  // nor a worker can be started.
  Worker StartWorker();

  // The server's pid; -1 before it started.
  pid_t ServerPid() const;

 private:
  explicit ForkServer(std::string iProgram);

  // With _mutex held.
  void Start();
  void Stop();

  const std::string _program;
  mutable std::mutex _mutex;
  pid_t _server = -1;
  // The process that started the server, which alone may use it.
  pid_t _owner = -1;
  int _control = -1;
};
