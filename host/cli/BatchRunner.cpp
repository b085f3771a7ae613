#include "BatchRunner.h"

#include <exception>

#include "AppTasks.h"
#include "DescribeTask.h"
#include "FileRecord.h"

BatchRunner::BatchRunner(const std::vector<std::string>& iFiles, const ImportOptions& iOptions,
                         const WorkerLimits& iLimits, BatchOutput& ioOutput)
    : _files(iFiles), _options(iOptions), _limits(iLimits), _output(ioOutput) {}

void BatchRunner::Run(unsigned int iJobs, const ProgressLine& iProgress) {
  std::size_t done = 0;
  ImportOptions options = _options;
  options.parallelTessellation = false;
  const WorkerPool pool(AppWorkers(), CallOf(DescribeTask{options}), _limits);
  // Only a record that cannot be written stops the batch early.
  const auto append = [this](const std::string& iRecord) {
    try {
      _output.Append(iRecord);
    } catch (const std::exception& failure) {
      _writeFailure = failure.what();
      throw;
    }
  };
  try {
    pool.Run(
        _files, iJobs,
        [&](const WorkerOutcome& iOutcome) {
          if (iOutcome.succeeded) {
            append(iOutcome.value);
          } else {
            append(ReportText(FailureRecord(_files[iOutcome.index], iOutcome.value)));
            _failed += 1;
          }
          done += 1;
        },
        [&] { iProgress.Show(done, _failed); });
  } catch (...) {
    if (_writeFailure.empty()) throw;
  }
  iProgress.Finish(done, _failed);
}
