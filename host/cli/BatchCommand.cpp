#include "BatchCommand.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <thread>

#include "BatchOutput.h"
#include "BatchRunner.h"
#include "Catalog.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "ProgressLine.h"

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
  command->add_option("-j,--jobs", _jobs, "Files described at the same time, each in a worker process of its own")
      ->check(CLI::Range(1u, 256u))
      ->capture_default_str();
  command->add_flag("--resume", _resume, "Keep the records already in the output and describe only the other files");
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
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

  const ProgressLine progress(pending.size(), ProgressLine::OnTerminal());
  BatchRunner run(pending, _options, _limits, *output);
  try {
    run.Run(_jobs, progress);
  } catch (const std::exception& failure) {
    std::cerr << "geosig: batch: " << failure.what() << '\n';
    return ExitStatus::FileFailed;
  }
  if (!run.WriteFailure().empty()) return ReportFileFailure(_output, run.WriteFailure());
  return run.Failed() > 0 ? ExitStatus::FileFailed : ExitStatus::Success;
}
