#pragma once
// One run of a task over model files, shared by `geosig batch`, `geosig index` and their Dask functions: the
// sink names the files to read and keeps each outcome as it comes back; the run counts the files done and failed
// and shows them on the progress line. The executor reads the files: the worker pool of the commands (OnPool),
// or a Dask cluster, which the Python module drives through Start, Collect and Finish.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FileRecordSink.h"
#include "ProgressLine.h"
#include "WorkerPool.h"

class ModelFileRun {
 public:
  // Runs the task over the files and hands each outcome to the collect callback, calling the tick now and then.
  using Executor = std::function<void(const std::vector<std::string>& iFiles, const WorkerPool::Collect& iCollect,
                                      const WorkerPool::Tick& iTick)>;
  // Told of each file that failed, after the progress line was erased.
  using FailureNote = std::function<void(const std::string& iPath, const std::string& iReason)>;

  // The sink must outlive the run.
  ModelFileRun(FileRecordSink& ioSink, bool iShowProgress, FailureNote iNote = FailureNote());

  // Start, iExecute over the sink's files, Finish. What the executor or the sink throws ends the run and is
  // thrown.
  void Run(const Executor& iExecute, std::size_t iUntouched = 0);
  // The executor of the commands: iPool on iJobs worker processes.
  static Executor OnPool(const WorkerPool& iPool, unsigned int iJobs);

  // Records the files that fail before any reading and starts the progress line.
  void Start();
  // Records one outcome in the sink.
  void Collect(const WorkerOutcome& iOutcome);
  // Redraws the progress line.
  void Tick() const;
  // Replaces the progress line with the summary; iUntouched counts the paths left as they were.
  void Finish(std::size_t iUntouched = 0) const;

  // The files to read, as the sink names them.
  const std::vector<std::string>& Files() const { return _sink.ToRead(); }
  std::size_t Done() const { return _done; }
  std::size_t Failed() const { return _failed; }

 private:
  void Count(const std::string& iPath, const std::optional<std::string>& iFailure);

  FileRecordSink& _sink;
  bool _showProgress;
  FailureNote _note;
  std::optional<ProgressLine> _progress;
  std::size_t _done = 0;
  std::size_t _failed = 0;
};
