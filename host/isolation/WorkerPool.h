#pragma once
// Runs a task over a list of items in worker processes, so that a task that crashes, hangs or
// exhausts memory costs its item an error value and nothing else.
//
// The workers are forked by the caller's fork server (ForkServer.h), a worker program started
// once that stays single-threaded: each worker starts as a copy of a process that holds no lock
// and has used no reader, whatever threads the caller runs, in a few milliseconds where exec
// would load and initialise every library again. Each has its own state of every library, so
// the readers, which must not run on two threads of one process, run side by side. A closure
// cannot reach the worker program: the task is named, and made there by its registry.
// Each worker takes one item at a time; the caller's thread collects the results in the order
// they complete and hands each to a callback. A worker that dies, takes longer than the time
// limit over an item or grows past the memory limit is killed if need be, its item gets one
// error, and a fresh worker takes its place.
//
// Any thread may call Run, several at once. Whatever a library creates on first use (the
// renders' shared support, for one) is created in each worker by its own first use, since every
// worker runs one task at a time. Workers write nothing to standard output; their standard
// error stays the caller's.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "TaskRegistry.h"

class ForkServer;

// The limits put on each worker; their defaults suit any sane model.
struct WorkerLimits {
  // Wall-clock time for one item, from the moment the worker receives it.
  double seconds = 120;
  // Resident memory of a worker, in GiB (2^30 bytes), sampled about every 20 ms.
  double gibibytes = 4;
};

// What became of one item.
struct WorkerOutcome {
  // The item's position in the list given to Run.
  std::size_t index = 0;
  bool succeeded = false;
  // The task's payload when it succeeded; otherwise why it failed: the text of the exception
  // it threw (or why the worker program could not make the task), or "the reader crashed
  // (signal N)", "the reader exited (status N)", "reading took longer than S s", "reading
  // needed more than G GiB".
  std::string value;
};

class WorkerPool {
 public:
  // Runs in the calling process for each outcome. What it throws stops the run: the workers are
  // killed and Run rethrows it.
  using Collect = std::function<void(const WorkerOutcome& iOutcome)>;
  // Runs in the calling process about four times a second while items are running.
  using Tick = std::function<void()>;

  // Runs iTask (see TaskRegistry) in workers of iServer, which must outlive the pool.
  WorkerPool(ForkServer& iServer, TaskCall iTask, const WorkerLimits& iLimits);

  // Runs the task over iItems on iWorkers processes (at least 1, no more than there are items)
  // and returns once every item has its outcome. Throws std::system_error when a worker cannot
  // be started.
  void Run(const std::vector<std::string>& iItems, unsigned int iWorkers, const Collect& iCollect,
           const Tick& iTick = Tick()) const;

 private:
  ForkServer& _server;
  TaskCall _task;
  WorkerLimits _limits;
};
