#include "BatchCommand.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <thread>

#include "BatchOutput.h"
#include "BatchRunner.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "ImportOptionFlags.h"
#include "ModelFileSet.h"
#include "ProgressLine.h"

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
  int status = ExitStatus::Success;
  const std::optional<ModelFileSet> found = _files.Files("batch", status);
  if (!found) return status;
  const ModelFileSet& files = *found;
  if (files.Files().empty() && files.Unreadable().empty()) {
    std::cerr << "geosig: batch: no model file found\n";
    return ExitStatus::FileFailed;
  }

  if (files.Holds(_output)) return ReportFileFailure(_output, "is one of the models or lists: it would be overwritten");
  std::optional<BatchOutput> output;
  try {
    output.emplace(_output, _resume);
    for (const auto& [directory, reason] : files.Unreadable())
      if (!output->RecordedFiles().count(directory)) output->Append(ReportText(FailureRecord(directory, reason)));
  } catch (const std::exception& failure) {
    return ReportFileFailure(_output, failure.what());
  }
  std::vector<std::string> pending;
  for (const std::string& file : files.Files())
    if (!output->RecordedFiles().count(file)) pending.push_back(file);

  const ProgressLine progress(pending.size(), ProgressLine::OnTerminal());
  BatchRunner run(pending, _options, _limits, *output);
  try {
    run.Run(_jobs, progress);
  } catch (const std::exception& failure) {
    std::cerr << "geosig: batch: " << failure.what() << '\n';
    return ExitStatus::FileFailed;
  }
  if (!run.WriteFailure().empty()) return ReportFileFailure(_output, run.WriteFailure());
  return run.Failed() > 0 || !files.Unreadable().empty() ? ExitStatus::FileFailed : ExitStatus::Success;
}
