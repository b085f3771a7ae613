#include "IndexCommand.h"

#include <algorithm>
#include <thread>

#include "AppTasks.h"
#include "CatalogUpdate.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IndexTask.h"
#include "ModelFileRun.h"
#include "ModelFileSet.h"

IndexCommand::IndexCommand(CLI::App& ioApp) : _jobs(std::max(1u, std::thread::hardware_concurrency())) {
  CLI::App* command = ioApp.add_subcommand(
      "index", "Bring a catalog database up to date with model files: descriptors and shape signatures");
  _files.AddTo(*command);
  command->add_option("--db", _database, "The catalog database (SQLite), created when missing")->required();
  command->add_option("-j,--jobs", _jobs, "Files read at the same time")
      ->check(CLI::Range(1u, 256u))
      ->capture_default_str();
  command->add_flag("--prune", _prune,
                    "Drop the entries under a directory given that holds no model file any more (by default they "
                    "are kept: an unmounted share looks like an empty directory)");
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int IndexCommand::Run() const {
  const ModelFileSet files = _files.Files("index");
  CatalogUpdate update(_database, files, _options, _prune);
  for (const auto& [path, reason] : update.Untouched()) ReportFileFailure(path, reason);
  // The files are read in worker processes, each on one thread; the parent writes.
  ImportOptions options = _options;
  options.parallelTessellation = false;
  const WorkerPool pool(AppWorkers(), CallOf(IndexTask{options}), _limits);
  ModelFileRun run(update, ProgressLine::OnTerminal(), ReportFileFailure);
  run.Run(ModelFileRun::OnPool(pool, _jobs), update.Untouched().size());
  return run.Failed() > 0 || !update.Untouched().empty() ? ExitStatus::FileFailed : ExitStatus::Success;
}
