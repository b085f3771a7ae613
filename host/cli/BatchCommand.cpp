#include "BatchCommand.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include "AppTasks.h"
#include "BatchRecords.h"
#include "CommandFailure.h"
#include "DescribeTask.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "ModelFileRun.h"
#include "ModelFileSet.h"

BatchCommand::BatchCommand(CLI::App& ioApp) : _jobs(std::max(1u, std::thread::hardware_concurrency())) {
  CLI::App* command = ioApp.add_subcommand(
      "batch", "Describe a catalog of models into a JSON-lines file, one record per file, in parallel");
  _files.AddTo(*command);
  command->add_option("-o,--output", _output, "The JSON-lines file to write (schema in docs/geosig-json.md)")
      ->required();
  command->add_option("-j,--jobs", _jobs, "Files described at the same time, each in a worker process of its own")
      ->check(CLI::Range(1u, 256u))
      ->capture_default_str();
  command->add_flag("--resume", _resume, "Keep the records already in the output and describe only the other files");
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int BatchCommand::Run() const {
  const ModelFileSet files = _files.Files("batch");
  if (files.Empty()) {
    std::cerr << "geosig: batch: no model file found\n";
    return ExitStatus::FileFailed;
  }
  BatchRecords records(_output, _resume, files);
  // Each file is described on one thread: every worker keeps a processor busy.
  ImportOptions options = _options;
  options.parallelTessellation = false;
  const WorkerPool pool(AppWorkers(), CallOf(DescribeTask{options}), _limits);
  ModelFileRun run(records, ProgressLine::OnTerminal());
  run.Run(ModelFileRun::OnPool(pool, _jobs));
  return run.Failed() > 0 || !records.Unwalked().empty() ? ExitStatus::FileFailed : ExitStatus::Success;
}
