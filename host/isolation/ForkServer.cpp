#include "ForkServer.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <map>
#include <memory>
#include <system_error>
#include <vector>

#include "SocketIo.h"

extern char** environ;

namespace {

struct WorkerReply {
  pid_t pid;
  int error;
};

// Deletes the spawn attributes and file actions however Start leaves.
struct SpawnSettings {
  SpawnSettings() {
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_init(&actions);
  }
  ~SpawnSettings() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
};

}  // namespace

ForkServer& ForkServer::Of(const std::string& iProgram) {
  static std::mutex serversMutex;
  // Never destroyed: a server ends with its caller, and threads may still use it while the
  // process exits.
  static auto* servers = new std::map<std::string, std::unique_ptr<ForkServer>>();
  const std::lock_guard<std::mutex> lock(serversMutex);
  std::unique_ptr<ForkServer>& server = (*servers)[iProgram];
  if (!server) server.reset(new ForkServer(iProgram));
  return *server;
}

ForkServer::ForkServer(std::string iProgram) : _program(std::move(iProgram)) {}

pid_t ForkServer::ServerPid() const {
  const std::lock_guard<std::mutex> lock(_mutex);
  return _owner == getpid() ? _server : -1;
}

ForkServer::Worker ForkServer::StartWorker() {
  const std::lock_guard<std::mutex> lock(_mutex);
  // A child forked from the caller holds a copy of its parent's control socket: it gets its own.
  if (_owner != getpid() && _control >= 0) {
    close(_control);
    _control = -1;
    _server = -1;
  }
  // Once more after a server that died.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (_server < 0) Start();
    const char request = 'w';
    WorkerReply reply = {-1, 0};
    std::vector<int> descriptors;
    if (SendAll(_control, &request, 1) && ReceiveWithDescriptors(_control, &reply, sizeof reply, 2, descriptors)) {
      if (reply.pid > 0 && descriptors.size() == 2) return {reply.pid, descriptors[0], descriptors[1]};
      for (const int descriptor : descriptors) close(descriptor);
      throw std::system_error(reply.error, std::generic_category(), "cannot start a worker process");
    }
    Stop();
  }
  throw std::system_error(ECONNRESET, std::generic_category(), "the fork server " + _program + " ended at once");
}

void ForkServer::Start() {
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
    throw std::system_error(errno, std::generic_category(), "cannot create the fork server's socket");
  SpawnSettings settings;
  // The server's standard input is its end of the socket, its standard output belongs to the
  // caller's report, and it gets no other descriptor of the caller's (a pipe end held there
  // would keep its reader waiting). Signals start with their defaults and unblocked.
  posix_spawn_file_actions_adddup2(&settings.actions, sockets[1], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&settings.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&settings.actions, STDERR_FILENO + 1);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&settings.attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&settings.attributes, &signals);
  posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::vector<char*> arguments = {const_cast<char*>(_program.c_str()), nullptr};
  pid_t server = -1;
  const int error =
      posix_spawn(&server, _program.c_str(), &settings.actions, &settings.attributes, arguments.data(), environ);
  close(sockets[1]);
  if (error != 0) {
    close(sockets[0]);
    throw std::system_error(error, std::generic_category(), "cannot start " + _program);
  }
  _server = server;
  _owner = getpid();
  _control = sockets[0];
}

void ForkServer::Stop() {
  close(_control);
  _control = -1;
  kill(_server, SIGKILL);
  while (waitpid(_server, nullptr, 0) < 0 && errno == EINTR) {
  }
  _server = -1;
}
