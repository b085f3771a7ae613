#include "TaskWorker.h"

#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>

#include "SocketIo.h"

namespace {

// Settles the worker in: it dies with its fork server, and a crash ends it by its signal.
void Settle(pid_t iParent) {
  // A worker whose fork server was killed must not go on reading a file nobody waits for.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != iParent) _exit(0);
  // A crash must end the worker by its signal, so that the caller can say which; a sanitizer's
  // handler would turn it into an exit status. Nor is a core dump wanted for it.
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGPIPE}) std::signal(signal, SIG_DFL);
  const rlimit noCore = {0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
}

// The item's answer: status byte, length, payload.
bool Answer(int iSocket, bool iSucceeded, const std::string& iPayload) {
  char header[1 + sizeof(std::uint64_t)] = {iSucceeded ? char(0) : char(1)};
  const std::uint64_t size = iPayload.size();
  std::memcpy(header + 1, &size, sizeof size);
  return SendAll(iSocket, header, sizeof header) && SendAll(iSocket, iPayload.data(), iPayload.size());
}

}  // namespace

void ServeTasks(int iSocket, pid_t iParent, const TaskRegistry& iRegistry) {
  Settle(iParent);
  const std::optional<std::string> kind = ReceiveFrame(iSocket), parameters = ReceiveFrame(iSocket);
  if (!kind || !parameters) _exit(0);
  TaskRegistry::Task task;
  // A task that cannot be made fails each item with the reason.
  std::string unusable;
  try {
    task = iRegistry.Make({*kind, *parameters});
  } catch (const std::exception& failure) {
    unusable = failure.what();
  }
  for (std::optional<std::string> item; (item = ReceiveFrame(iSocket));) {
    bool succeeded = false;
    std::string payload = unusable;
    if (task) {
      try {
        payload = task(*item);
        succeeded = true;
      } catch (const std::exception& failure) {
        payload = failure.what();
      } catch (...) {
        payload = "unexpected failure";
      }
    }
    if (!Answer(iSocket, succeeded, payload)) break;
    // Freed memory goes back to the system, so that the next item's resident size is its own.
    payload = std::string();
    malloc_trim(0);
  }
  // Without running the exit handlers of the fork server's copy.
  _exit(0);
}
