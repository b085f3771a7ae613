#include "IsolatedReader.h"

#include "AppTasks.h"
#include "DisplayModelTask.h"
#include "ImportOptions.h"
#include "IndexTask.h"
#include "IsolatedRun.h"

IsolatedReader::Slot::Slot(const IsolatedReader& iReader) : _reader(iReader) {
  std::unique_lock<std::mutex> lock(_reader._mutex);
  if (!_reader._freed.wait_for(lock, _reader._wait, [this] { return _reader._busy < _reader._readers; }))
    throw Busy("every model reader is busy; try again later");
  ++_reader._busy;
}

IsolatedReader::Slot::~Slot() {
  {
    const std::lock_guard<std::mutex> lock(_reader._mutex);
    --_reader._busy;
  }
  _reader._freed.notify_one();
}

IsolatedReader::IsolatedReader(const WorkerLimits& iLimits, unsigned int iReaders, std::chrono::milliseconds iWait)
    : _limits(iLimits), _readers(iReaders), _wait(iWait) {}

IndexedPart IsolatedReader::Sign(const std::string& iPath) const {
  const Slot slot(*this);
  return IsolatedIndexTask(iPath, ImportOptions(), _limits);
}

void IsolatedReader::WriteDisplayModel(const std::string& iPath, const std::string& iOutput,
                                       std::size_t iTriangles) const {
  const Slot slot(*this);
  RunIsolated(iPath, _limits, CallOf(DisplayModelTask{ImportOptions(), iTriangles, iOutput}));
}
