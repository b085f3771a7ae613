#pragma once
// Every model the service reads, it reads here: by a named task (IndexTask, DisplayModelTask) in a worker process
// under the time and memory limits, forked by geosig-worker's fork server rather than by a thread of the service,
// as the commands do, so that a model that crashes, hangs or swells its reader costs its request an error and the
// service nothing. At most a given number of models are read at once; a request that finds every reader busy waits
// a bounded time for one, then is refused.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stdexcept>
#include <string>

#include "SignatureCatalog.h"
#include "WorkerPool.h"

class IsolatedReader {
 public:
  // No reader became free in time.
  class Busy : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  IsolatedReader(const WorkerLimits& iLimits, unsigned int iReaders, std::chrono::milliseconds iWait);

  // The format, descriptors and signature of the model at iPath, as `geosig index` records them, or the reason
  // it could not be read in "error". Throws Busy.
  IndexedPart Sign(const std::string& iPath) const;

  // Writes the model at iPath as binary glTF to iOutput, complete or not at all: the triangles the viewer pages
  // draw, simplified above iTriangles, in the frame of its descriptors. Throws Busy, or std::runtime_error with
  // the reason the model could not be read or written.
  void WriteDisplayModel(const std::string& iPath, const std::string& iOutput, std::size_t iTriangles) const;

 private:
  // Holds one of the readers for its lifetime.
  class Slot {
   public:
    explicit Slot(const IsolatedReader& iReader);
    ~Slot();
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

   private:
    const IsolatedReader& _reader;
  };

  WorkerLimits _limits;
  unsigned int _readers;
  std::chrono::milliseconds _wait;
  mutable std::mutex _mutex;
  mutable std::condition_variable _freed;
  mutable unsigned int _busy = 0;
};
