#include "BatchRunner.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "FileDescription.h"
#include "GeosigBBRender.h"

BatchRunner::BatchRunner(const std::vector<std::string>& iFiles, const ImportOptions& iOptions,
                         BatchOutput& ioOutput)
    : _files(iFiles), _options(iOptions), _output(ioOutput) {}

void BatchRunner::Run(unsigned int iJobs, const ProgressLine& iProgress) {
  // The first render creates the support that all renders share, without a lock: create it
  // here, before the workers could race to do it.
  { const GeosigBBRender firstRender; }
  const unsigned int jobs =
      static_cast<unsigned int>(std::max<std::size_t>(1, std::min<std::size_t>(iJobs, _files.size())));
  std::vector<std::thread> workers;
  _running = jobs;
  for (unsigned int k = 0; k < jobs; ++k) workers.emplace_back([this] { Work(); });
  if (iProgress.Shown()) {
    std::unique_lock<std::mutex> lock(_state);
    while (!_finished.wait_for(lock, std::chrono::milliseconds(250), [this] { return _running == 0; }))
      iProgress.Show(_done, _failed);
  }
  for (std::thread& worker : workers) worker.join();
  iProgress.Finish(_done, _failed);
}

void BatchRunner::Work() {
  for (std::size_t k; !_stop && (k = _next++) < _files.size();) {
    const FileDescription description = DescribeFileRecord(_files[k], _options);
    try {
      _output.Append(ReportText(description.record));
    } catch (const std::exception& failure) {
      const std::lock_guard<std::mutex> lock(_state);
      if (_writeFailure.empty()) _writeFailure = failure.what();
      _stop = true;
      break;
    }
    _done += 1;
    if (description.error) _failed += 1;
  }
  const std::lock_guard<std::mutex> lock(_state);
  if (--_running == 0) _finished.notify_one();
}
