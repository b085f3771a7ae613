#include "BatchCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "BatchOutput.h"
#include "BatchProgress.h"
#include "Catalog.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileDescription.h"
#include "GeosigBBRender.h"
#include "ImportOptionFlags.h"

namespace {

// Describes the files on several threads, each taking the next file not yet taken.
class BatchRun {
 public:
  BatchRun(const std::vector<std::string>& iFiles, const ImportOptions& iOptions, BatchOutput& ioOutput)
      : _files(iFiles), _options(iOptions), _output(ioOutput) {}

  // Returns once every file is recorded, or a record could not be written (WriteFailure).
  void Run(unsigned int iJobs, const BatchProgress& iProgress) {
    std::vector<std::thread> workers;
    _running = iJobs;
    for (unsigned int k = 0; k < iJobs; ++k) workers.emplace_back([this] { Work(); });
    if (iProgress.Shown()) {
      std::unique_lock<std::mutex> lock(_state);
      while (!_finished.wait_for(lock, std::chrono::milliseconds(250), [this] { return _running == 0; }))
        iProgress.Show(_done, _failed);
    }
    for (std::thread& worker : workers) worker.join();
    iProgress.Finish(_done, _failed);
  }

  std::size_t Failed() const { return _failed; }
  // Why writing stopped the batch; empty when it did not.
  const std::string& WriteFailure() const { return _writeFailure; }

 private:
  void Work() {
    for (std::size_t k; !_stop && (k = _next++) < _files.size();) {
      const FileDescription description = DescribeFile(_files[k], _options);
      try {
        _output.Append(description.record.dump());
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

  const std::vector<std::string>& _files;
  const ImportOptions& _options;
  BatchOutput& _output;
  std::atomic<std::size_t> _next{0};
  std::atomic<std::size_t> _done{0};
  std::atomic<std::size_t> _failed{0};
  std::atomic<bool> _stop{false};
  std::mutex _state;
  std::condition_variable _finished;
  unsigned int _running = 0;
  std::string _writeFailure;
};

}  // namespace

BatchCommand::BatchCommand(CLI::App& ioApp) : _jobs(std::max(1u, std::thread::hardware_concurrency())) {
  CLI::App* command = ioApp.add_subcommand(
      "batch", "Describe a catalog of models into a JSON-lines file, one record per file, in parallel");
  command->add_option("paths", _paths,
                      "Model files, and directories walked recursively for the files whose name a reader knows");
  command
      ->add_option("--list", _lists,
                   "A file listing model files or directories, one a line, relative to the list's directory "
                   "('-': standard input)")
      ->type_name("FILE");
  command->add_option("-o,--output", _output, "The JSON-lines file to write (schema in docs/geosig-json.md)")
      ->required();
  command->add_option("-j,--jobs", _jobs, "Files described at the same time")
      ->check(CLI::Range(1u, 256u))
      ->capture_default_str();
  command->add_flag("--resume", _resume, "Keep the records already in the output and describe only the other files");
  AddImportOptions(*command, _options);
}

int BatchCommand::Run() const {
  if (_paths.empty() && _lists.empty()) {
    std::cerr << "geosig: batch: give at least one path or --list\n";
    return ExitStatus::Usage;
  }
  Catalog catalog;
  try {
    for (const std::string& path : _paths) catalog.AddPath(path);
    for (const std::string& list : _lists) catalog.AddList(list);
  } catch (const std::exception& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatus::FileFailed;
  }
  if (catalog.Files().empty()) {
    std::cerr << "geosig: batch: no model file found\n";
    return ExitStatus::FileFailed;
  }

  std::optional<BatchOutput> output;
  try {
    output.emplace(_output, _resume);
  } catch (const std::exception& failure) {
    return ReportFileFailure(_output, failure.what());
  }
  std::vector<std::string> pending;
  for (const std::string& file : catalog.Files())
    if (!output->RecordedFiles().count(file)) pending.push_back(file);

  // The first render creates the support that all renders share, without a lock: create it
  // here, before the workers could race to do it.
  { const GeosigBBRender firstRender; }
  const BatchProgress progress(pending.size());
  BatchRun run(pending, _options, *output);
  run.Run(static_cast<unsigned int>(std::min<std::size_t>(_jobs, std::max<std::size_t>(pending.size(), 1))), progress);
  if (!run.WriteFailure().empty()) return ReportFileFailure(_output, run.WriteFailure());
  return run.Failed() > 0 ? ExitStatus::FileFailed : ExitStatus::Success;
}
