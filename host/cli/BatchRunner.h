#pragma once
// Describes the files of a batch on several threads, each taking the next file not yet
// taken, and appends each record to the output as soon as it is ready.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "BatchOutput.h"
#include "ProgressLine.h"
#include "ImportOptions.h"

class BatchRunner {
 public:
  // The files and the output must outlive the runner.
  BatchRunner(const std::vector<std::string>& iFiles, const ImportOptions& iOptions, BatchOutput& ioOutput);

  // Describes on iJobs threads (no more than there are files). Returns once every file is
  // recorded, or once a record could not be written (WriteFailure).
  void Run(unsigned int iJobs, const ProgressLine& iProgress);

  std::size_t Failed() const { return _failed; }
  // Why writing stopped the batch; empty when it did not.
  const std::string& WriteFailure() const { return _writeFailure; }

 private:
  void Work();

  const std::vector<std::string>& _files;
  const ImportOptions _options;
  BatchOutput& _output;
  std::atomic<std::size_t> _next{0};
  std::atomic<std::size_t> _done{0};
  std::atomic<std::size_t> _failed{0};
  std::atomic<bool> _stop{false};
  std::mutex _state;  // guards what follows
  std::condition_variable _finished;
  unsigned int _running = 0;
  std::string _writeFailure;
};
