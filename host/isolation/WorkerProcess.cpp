#include "WorkerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "SocketIo.h"

namespace {

constexpr std::size_t replyHeaderBytes = 1 + sizeof(std::uint64_t);

// Reads exactly iSize bytes from a pipe; false at its end.
bool ReadAll(int iPipe, char* oData, std::size_t iSize) {
  while (iSize > 0) {
    const ssize_t received = read(iPipe, oData, iSize);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return false;
    oData += received;
    iSize -= static_cast<std::size_t>(received);
  }
  return true;
}

}  // namespace

WorkerProcess::WorkerProcess(ForkServer& iServer, const TaskCall& iTask) {
  const ForkServer::Worker worker = iServer.StartWorker();
  _process = worker.pid;
  _socket = worker.socket;
  _endStatus = worker.endStatus;
  // A worker that is gone already shows it through Receive.
  SendFrame(_socket, iTask.kind) && SendFrame(_socket, iTask.parameters);
  fcntl(_socket, F_SETFL, fcntl(_socket, F_GETFL) | O_NONBLOCK);
}

WorkerProcess::~WorkerProcess() {
  Kill();
  close(_socket);
}

void WorkerProcess::Give(std::size_t iIndex, const std::string& iItem) {
  _item = iIndex;
  _started = std::chrono::steady_clock::now();
  _received.clear();
  SendFrame(_socket, iItem);
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
  // Once the server has reported the worker's end, its pid may belong to another process.
  pollfd ended = {_endStatus, POLLIN, 0};
  if (poll(&ended, 1, 0) == 0) kill(_process, SIGKILL);
  Reap();
}

std::string WorkerProcess::Reap() {
  int status = 0;
  // A server that died first took its workers with it (they die by SIGKILL when it ends).
  if (!ReadAll(_endStatus, reinterpret_cast<char*>(&status), sizeof status)) status = SIGKILL;
  // Then the end of the pipe: once the server has closed it, it holds nothing of the worker's.
  char more = 0;
  while (read(_endStatus, &more, 1) < 0 && errno == EINTR) {
  }
  close(_endStatus);
  _endStatus = -1;
  _process = -1;
  if (WIFSIGNALED(status)) return "the reader crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
  return "the reader exited (status " + std::to_string(WEXITSTATUS(status)) + ")";
}
