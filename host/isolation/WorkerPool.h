#pragma once
// Runs a task over a list of items in worker processes, so that a task that crashes, hangs or
// exhausts memory costs its item an error value and nothing else.
//
// The workers are forked from the calling process without exec: each starts as a copy of the
// caller (a few milliseconds at most, where exec would load and initialise every library again)
// and has its own state of every library, so the readers, which must not run on two threads
// of one process, run side by side in separate processes.
// Each worker takes one item at a time; the caller's thread collects the results in the order
// they complete and hands each to a callback. A worker that dies, takes longer than the time
// limit over an item or grows past the memory limit is killed if need be, its item gets one
// error, and a fresh worker takes its place.
//
// The caller must be single-threaded while Run forks (a thread holding a lock at that moment
// would leave the lock held forever in the workers), and should not have used the readers
// itself: the workers inherit whatever state they left. Whatever a library creates on first
// use (the renders' shared support, for one) is created again in each worker by its own first
// use, since every worker runs one task at a time. Workers write nothing to standard output;
// their standard error stays the caller's.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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
  // it threw, or "the reader crashed (signal N)", "the reader exited (status N)", "reading
  // took longer than S s", "reading needed more than G GiB".
  std::string value;
};

class WorkerPool {
 public:
  // Runs in a worker on one item and returns its payload (any bytes). A std::exception thrown
  // fails the item with its what(); anything else thrown fails it as "unexpected failure".
  using Task = std::function<std::string(const std::string& iItem)>;
  // Runs in the calling process for each outcome. What it throws stops the run: the workers are
  // killed and Run rethrows it.
  using Collect = std::function<void(const WorkerOutcome& iOutcome)>;
  // Runs in the calling process about four times a second while items are running.
  using Tick = std::function<void()>;

  WorkerPool(Task iTask, const WorkerLimits& iLimits);

  // Runs the task over iItems on iWorkers processes (at least 1, no more than there are items)
  // and returns once every item has its outcome. Throws std::system_error when a worker cannot
  // be started.
  void Run(const std::vector<std::string>& iItems, unsigned int iWorkers, const Collect& iCollect,
           const Tick& iTick = Tick()) const;

 private:
  Task _task;
  WorkerLimits _limits;
};
