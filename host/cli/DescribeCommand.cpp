#include "DescribeCommand.h"

#include <iostream>

#include "AppTasks.h"
#include "CommandFailure.h"
#include "DescribeTask.h"
#include "ExitStatus.h"
#include "FileDescription.h"
#include "FileRecord.h"
#include "ImportOptionFlags.h"
#include "JsonDocument.h"
#include "ProgressLine.h"
#include "TextReport.h"

DescribeCommand::DescribeCommand(CLI::App& ioApp)
    : _command(ioApp.add_subcommand("describe", "Report the shape descriptors of mesh and CAD files")) {
  _command
      ->add_option("files", _files,
                   "Mesh files (STL, OBJ, PLY, glTF/GLB, OFF, 3MF, COLLADA, FBX, ...) "
                   "or CAD files (STEP, IGES, BREP)")
      ->required();
  JsonDocument::AddFlag(*_command, _json);
  AddImportOptions(*_command, _options);
  AddWorkerLimitOptions(*_command, _limits);
}

int DescribeCommand::Run() const {
  JsonDocument document("describe", DescriptionRecordVersion);
  int status = 0;
  std::size_t described = 0, failed = 0;
  const ProgressLine progress(_files.size(), _files.size() > 1 && ProgressLine::OnTerminal());
  progress.Show(0, failed, _files.front());
  // One worker reads the files one after the other, so they come back in order.
  const WorkerPool pool(AppWorkers(), CallOf(DescribeTask{_options}), _limits);
  try {
    pool.Run(_files, 1, [&](const WorkerOutcome& iOutcome) {
      const std::string& path = _files[iOutcome.index];
      progress.Erase();
      Report record = iOutcome.succeeded ? Report::parse(iOutcome.value) : FailureRecord(path, iOutcome.value);
      if (!iOutcome.succeeded) {
        status = ReportFileFailure(path, iOutcome.value);
        ++failed;
      }
      if (_json) {
        document.Add(std::move(record));
      } else if (iOutcome.succeeded) {
        if (described++ > 0) std::cout << '\n';
        WriteTextReport(std::cout, record);
      }
      const std::size_t next = iOutcome.index + 1;
      if (next < _files.size()) progress.Show(next, failed, _files[next]);
    });
  } catch (const std::exception& failure) {
    progress.Erase();
    std::cerr << "geosig: describe: " << failure.what() << '\n';
    return ExitStatus::FileFailed;
  }
  if (_json) document.Write(std::cout);
  return status;
}
