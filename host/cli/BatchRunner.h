#pragma once
// Describes the files of a batch in worker processes, several at a time, and appends each
// record to the output as soon as it comes back. A file whose worker crashed, hung or ran out
// of memory gets an error record that says which, like any file that cannot be described.
#include <string>
#include <vector>

#include "BatchOutput.h"
#include "ImportOptions.h"
#include "ProgressLine.h"
#include "WorkerPool.h"

class BatchRunner {
 public:
  // The files and the output must outlive the runner.
  BatchRunner(const std::vector<std::string>& iFiles, const ImportOptions& iOptions, const WorkerLimits& iLimits,
              BatchOutput& ioOutput);

  // Describes on iJobs worker processes (no more than there are files). Returns once every file
  // is recorded, or once a record could not be written (WriteFailure). Throws
  // std::system_error when a worker cannot be started.
  void Run(unsigned int iJobs, const ProgressLine& iProgress);

  std::size_t Failed() const { return _failed; }
  // Why writing stopped the batch; empty when it did not.
  const std::string& WriteFailure() const { return _writeFailure; }

 private:
  const std::vector<std::string>& _files;
  const ImportOptions _options;
  const WorkerLimits _limits;
  BatchOutput& _output;
  std::size_t _failed = 0;
  std::string _writeFailure;
};
