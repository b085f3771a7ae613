#pragma once
// One worker process of a WorkerPool, as the caller sees it: the worker's socket, its pid, by
// which the caller samples its memory and kills it, and the pipe on which its fork server says
// how it ended. The caller names the task once, then sends one item at a time (TaskWorker.h).
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "ForkServer.h"
#include "TaskRegistry.h"
#include "WorkerPool.h"

class WorkerProcess {
 public:
  // A new worker of iServer, told to run iTask. Throws std::system_error when it cannot start.
  WorkerProcess(ForkServer& iServer, const TaskCall& iTask);
  // Kills the worker if it still runs and waits for its end.
  ~WorkerProcess();
  WorkerProcess(const WorkerProcess&) = delete;
  WorkerProcess& operator=(const WorkerProcess&) = delete;

  int Socket() const { return _socket; }
  // The index of the item being worked on, if any, and since when.
  const std::optional<std::size_t>& Item() const { return _item; }
  std::chrono::steady_clock::time_point Started() const { return _started; }

  // False once the worker has ended and its end was read.
  bool Running() const { return _process > 0; }

  // Sends the worker iItem, the item of index iIndex. A worker that is gone shows it through Receive.
  void Give(std::size_t iIndex, const std::string& iItem);

  // Reads what the worker sent so far without waiting. Returns the outcome of its item once the
  // whole answer is there, the reason for its end when it died (or closed its socket), and
  // nothing while the answer is incomplete.
  std::optional<WorkerOutcome> Receive();

  // The worker's resident memory in bytes (0 when it cannot be read).
  std::size_t ResidentBytes() const;

  // Kills the worker and waits for its end.
  void Kill();

 private:
  // Waits for the server's word on the worker's end and says how it ended.
  std::string Reap();

  pid_t _process = -1;
  int _socket = -1;
  int _endStatus = -1;
  std::optional<std::size_t> _item;
  std::chrono::steady_clock::time_point _started;
  std::string _received;
};
