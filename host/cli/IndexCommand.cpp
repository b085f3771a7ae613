#include "IndexCommand.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include "AppTasks.h"
#include "CatalogError.h"
#include "CatalogUpdate.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IndexTask.h"
#include "ModelFileSet.h"
#include "ProgressLine.h"

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
  int status = ExitStatus::Success;
  const std::optional<ModelFileSet> files = _files.Files("index", status);
  if (!files) return status;
  try {
    CatalogUpdate update(_database, *files, _options, _prune);
    for (const auto& [path, reason] : update.Untouched()) ReportFileFailure(path, reason);
    const ProgressLine progress(update.Pending(), ProgressLine::OnTerminal());
    std::size_t done = 0, failed = 0;
    const auto recorded = [&](const IndexedPart& iPart) {
      if (iPart.error) {
        ++failed;
        progress.Erase();
        ReportFileFailure(iPart.path, *iPart.error);
      }
      progress.Show(++done, failed);
    };
    for (const IndexedPart* part : update.RecordUnreadable()) recorded(*part);
    // The files are read in worker processes; the parent writes.
    ImportOptions options = _options;
    options.parallelTessellation = false;
    const WorkerPool pool(AppWorkers(), CallOf(IndexTask{options}), _limits);
    pool.Run(
        update.ToRead(), _jobs,
        [&](const WorkerOutcome& iOutcome) {
          recorded(iOutcome.succeeded ? update.Record(iOutcome.index, iOutcome.value)
                                      : update.RecordFailure(iOutcome.index, iOutcome.value));
        },
        [&] { progress.Show(done, failed); });
    progress.Finish(done, failed, update.Untouched().size());
    return failed > 0 || !update.Untouched().empty() ? ExitStatus::FileFailed : ExitStatus::Success;
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatus::CatalogFailed;
  }
}
