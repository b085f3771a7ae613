#include "WorkerServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <map>

#include "SocketIo.h"
#include "TaskWorker.h"

namespace {

const int control = STDIN_FILENO;

struct WorkerReply {
  pid_t pid;
  int error;
};

class Server {
 public:
  explicit Server(const TaskRegistry& iRegistry) : _registry(iRegistry), _pid(getpid()) {
    // A caller that closed a worker's status pipe must not kill the server.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t ended;
    sigemptyset(&ended);
    sigaddset(&ended, SIGCHLD);
    sigprocmask(SIG_BLOCK, &ended, &_callerMask);
    _childEnded = signalfd(-1, &ended, SFD_CLOEXEC | SFD_NONBLOCK);
  }

  void Run() {
    for (;;) {
      pollfd watched[2] = {{control, POLLIN, 0}, {_childEnded, POLLIN, 0}};
      if (poll(watched, 2, -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (watched[1].revents != 0) ReapEnded();
      if (watched[0].revents == 0) continue;
      char request = 0;
      const ssize_t received = recv(control, &request, 1, 0);
      if (received < 0 && errno == EINTR) continue;
      if (received <= 0) break;
      StartWorker();
    }
    // The caller is gone: nobody waits for the workers' answers.
    for (const auto& [worker, status] : _statusPipes) kill(worker, SIGKILL);
  }

 private:
  void StartWorker() {
    int sockets[2] = {-1, -1}, status[2] = {-1, -1};
    WorkerReply reply = {-1, 0};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0 || pipe2(status, O_CLOEXEC) != 0) {
      reply.error = errno;
    } else {
      reply.pid = fork();
      if (reply.pid < 0) reply.error = errno;
    }
    if (reply.pid == 0) BecomeWorker(sockets, status);
    if (sockets[1] >= 0) close(sockets[1]);
    if (reply.pid > 0) {
      _statusPipes[reply.pid] = status[1];
      if (!SendWithDescriptors(control, &reply, sizeof reply, {sockets[0], status[0]})) kill(reply.pid, SIGKILL);
    } else {
      if (status[1] >= 0) close(status[1]);
      SendWithDescriptors(control, &reply, sizeof reply, {});
    }
    for (const int descriptor : {sockets[0], status[0]})
      if (descriptor >= 0) close(descriptor);
  }

  [[noreturn]] void BecomeWorker(const int iSockets[2], const int iStatus[2]) {
    // The worker keeps only its end of its socket, and none of the server's.
    close(iSockets[0]);
    close(iStatus[0]);
    close(iStatus[1]);
    close(_childEnded);
    for (const auto& [worker, status] : _statusPipes) close(status);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) dup2(nothing, control);
    if (nothing >= 0 && nothing != control) close(nothing);
    sigprocmask(SIG_SETMASK, &_callerMask, nullptr);
    // The server's pid as it was before the fork: getppid() here would already name the process
    // that adopted the worker if the server died in between, and the worker would outlive it.
    ServeTasks(iSockets[1], _pid, _registry);
  }

  // Hands each ended worker's wait status to its caller.
  void ReapEnded() {
    signalfd_siginfo drained;
    while (read(_childEnded, &drained, sizeof drained) > 0) {
    }
    int status = 0;
    for (pid_t worker; (worker = waitpid(-1, &status, WNOHANG)) > 0;) {
      const auto found = _statusPipes.find(worker);
      if (found == _statusPipes.end()) continue;
      // Four bytes always fit in an empty pipe; a caller that no longer reads loses nothing.
      [[maybe_unused]] const ssize_t written = write(found->second, &status, sizeof status);
      close(found->second);
      _statusPipes.erase(found);
    }
  }

  const TaskRegistry& _registry;
  const pid_t _pid;  // the server's own
  sigset_t _callerMask;
  int _childEnded = -1;
  // The write end of each running worker's status pipe.
  std::map<pid_t, int> _statusPipes;
};

}  // namespace

int ServeWorkers(const TaskRegistry& iRegistry, const char* iProgramName) {
  int type = 0;
  socklen_t size = sizeof type;
  if (getsockopt(control, SOL_SOCKET, SO_TYPE, &type, &size) != 0 || type != SOCK_STREAM) {
    std::cerr << iProgramName << ": geosig starts this program for its worker processes; it is not run by hand\n";
    return 2;
  }
  Server(iRegistry).Run();
  return 0;
}
