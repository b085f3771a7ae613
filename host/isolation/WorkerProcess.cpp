#include "WorkerProcess.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fstream>
#include <system_error>

namespace {

constexpr std::size_t replyHeaderBytes = 1 + sizeof(std::uint64_t);

bool SendAll(int iSocket, const char* iData, std::size_t iSize) {
  while (iSize > 0) {
    const ssize_t sent = send(iSocket, iData, iSize, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    iData += sent;
    iSize -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int iSocket, char* oData, std::size_t iSize) {
  while (iSize > 0) {
    const ssize_t received = recv(iSocket, oData, iSize, 0);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return false;
    oData += received;
    iSize -= static_cast<std::size_t>(received);
  }
  return true;
}

// The worker's side: settles in, then answers requests until the parent goes.
[[noreturn]] void Serve(int iSocket, pid_t iParent, const WorkerPool::Task& iTask,
                        const std::vector<std::string>& iItems) {
  // A worker whose parent was killed must not go on reading a file nobody waits for.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != iParent) _exit(0);
  // A crash must end the worker by its signal, so that the parent can say which; a sanitizer's
  // handler would turn it into an exit status. Nor is a core dump wanted for it.
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, SIG_DFL);
  const rlimit noCore = {0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  // Standard output belongs to the parent's report.
  const int nowhere = open("/dev/null", O_WRONLY);
  if (nowhere >= 0) dup2(nowhere, STDOUT_FILENO);

  for (std::uint64_t index; ReceiveAll(iSocket, reinterpret_cast<char*>(&index), sizeof index);) {
    char header[replyHeaderBytes] = {0};
    std::string payload;
    try {
      payload = iTask(iItems.at(index));
    } catch (const std::exception& failure) {
      header[0] = 1;
      payload = failure.what();
    } catch (...) {
      header[0] = 1;
      payload = "unexpected failure";
    }
    const std::uint64_t size = payload.size();
    std::memcpy(header + 1, &size, sizeof size);
    if (!SendAll(iSocket, header, sizeof header) || !SendAll(iSocket, payload.data(), payload.size())) break;
    // Freed memory goes back to the system, so that the next item's resident size is its own.
    payload = std::string();
    malloc_trim(0);
  }
  // Without running the exit handlers of the parent's copy.
  _exit(0);
}

}  // namespace

WorkerProcess::WorkerProcess(const WorkerPool::Task& iTask, const std::vector<std::string>& iItems,
                             const std::vector<int>& iInherited) {
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
    throw std::system_error(errno, std::generic_category(), "cannot create a worker's socket");
  const pid_t parent = getpid();
  _process = fork();
  if (_process < 0) {
    const int error = errno;
    close(sockets[0]);
    close(sockets[1]);
    throw std::system_error(error, std::generic_category(), "cannot start a worker process");
  }
  if (_process == 0) {
    close(sockets[0]);
    for (int socket : iInherited) close(socket);
    Serve(sockets[1], parent, iTask, iItems);
  }
  close(sockets[1]);
  _socket = sockets[0];
  fcntl(_socket, F_SETFL, fcntl(_socket, F_GETFL) | O_NONBLOCK);
}

WorkerProcess::~WorkerProcess() {
  Kill();
  close(_socket);
}

void WorkerProcess::Give(std::size_t iIndex) {
  const std::uint64_t index = iIndex;
  _item = iIndex;
  _started = std::chrono::steady_clock::now();
  _received.clear();
  // Eight bytes always fit in an empty socket buffer, so the non-blocking send is whole or fails
  // because the worker is gone.
  send(_socket, &index, sizeof index, MSG_NOSIGNAL);
}

std::optional<WorkerOutcome> WorkerProcess::Receive() {
  char buffer[65536];
  for (;;) {
    const ssize_t received = recv(_socket, buffer, sizeof buffer, 0);
    if (received > 0) {
      _received.append(buffer, static_cast<std::size_t>(received));
      continue;
    }
    if (received < 0 && errno == EINTR) continue;
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // The worker is gone, whatever it had sent of its answer.
    WorkerOutcome ended{_item.value_or(0), false, Reap()};
    _item.reset();
    return ended;
  }
  if (_received.size() < replyHeaderBytes) return std::nullopt;
  std::uint64_t size = 0;
  std::memcpy(&size, _received.data() + 1, sizeof size);
  if (_received.size() - replyHeaderBytes < size) return std::nullopt;
  WorkerOutcome outcome{*_item, _received[0] == 0, _received.substr(replyHeaderBytes, size)};
  _received.clear();
  _item.reset();
  return outcome;
}

std::size_t WorkerProcess::ResidentBytes() const {
  std::ifstream statm("/proc/" + std::to_string(_process) + "/statm");
  std::size_t totalPages = 0, residentPages = 0;
  if (!(statm >> totalPages >> residentPages)) return 0;
  return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void WorkerProcess::Kill() {
  if (_process <= 0) return;
  kill(_process, SIGKILL);
  Reap();
}

std::string WorkerProcess::Reap() {
  int status = 0;
  while (waitpid(_process, &status, 0) < 0 && errno == EINTR) {
  }
  _process = -1;
  if (WIFSIGNALED(status)) return "the reader crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
  return "the reader exited (status " + std::to_string(WEXITSTATUS(status)) + ")";
}
