#pragma once
// One worker process of a WorkerPool and the parent's end of the socket it talks through. The
// parent sends the index of an item; the worker runs the task on it and answers with a status
// byte, the payload's length (8 bytes) and the payload.
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "WorkerPool.h"

class WorkerProcess {
 public:
  // Forks a worker that serves iItems with iTask until its socket closes or its parent dies.
  // iInherited are the other workers' sockets, which the new worker closes so that a worker's
  // end of file means its parent is gone. Throws std::system_error when it cannot fork.
  WorkerProcess(const WorkerPool::Task& iTask, const std::vector<std::string>& iItems,
                const std::vector<int>& iInherited);
  // Kills the worker if it still runs and waits for its end.
  ~WorkerProcess();
  WorkerProcess(const WorkerProcess&) = delete;
  WorkerProcess& operator=(const WorkerProcess&) = delete;

  int Socket() const { return _socket; }
  // The item being worked on, if any, and since when.
  const std::optional<std::size_t>& Item() const { return _item; }
  std::chrono::steady_clock::time_point Started() const { return _started; }

  // False once the worker has been reaped.
  bool Running() const { return _process > 0; }

  // Sends the worker the item of index iIndex. A worker that is gone shows it through Receive.
  void Give(std::size_t iIndex);

  // Reads what the worker sent so far without waiting. Returns the outcome of its item once the
  // whole answer is there, the reason for its end when it died (or closed its socket), and
  // nothing while the answer is incomplete.
  std::optional<WorkerOutcome> Receive();

  // The worker's resident memory in bytes (0 when it cannot be read).
  std::size_t ResidentBytes() const;

  // Kills the worker and waits for its end.
  void Kill();

 private:
  // Waits for the worker's end and says how it ended.
  std::string Reap();

  pid_t _process = -1;
  int _socket = -1;
  std::optional<std::size_t> _item;
  std::chrono::steady_clock::time_point _started;
  std::string _received;
};
