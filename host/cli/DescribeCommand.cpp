#include "DescribeCommand.h"

#include <unistd.h>

#include <iostream>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "TextReport.h"

namespace {

// Shows which file is being read when a batch runs on a terminal; erased before any output.
class Progress {
 public:
  explicit Progress(std::size_t iTotal) : _total(iTotal), _shown(iTotal > 1 && isatty(STDERR_FILENO)) {}
  void Show(std::size_t iIndex, const std::string& iPath) const {
    if (_shown) std::cerr << "\r\033[K[" << iIndex + 1 << '/' << _total << "] " << iPath << std::flush;
  }
  void Erase() const {
    if (_shown) std::cerr << "\r\033[K" << std::flush;
  }

 private:
  std::size_t _total;
  bool _shown;
};

}  // namespace

DescribeCommand::DescribeCommand(CLI::App& ioApp)
    : _command(ioApp.add_subcommand("describe", "Report the shape descriptors of mesh and CAD files")) {
  _command
      ->add_option("files", _files,
                   "Mesh files (STL, OBJ, PLY, glTF/GLB, OFF, 3MF, COLLADA, FBX, ...) "
                   "or CAD files (STEP, IGES, BREP)")
      ->required();
  _command->add_flag("--json", _json, "Write one JSON document (schema in docs/geosig-json.md)");
  AddImportOptions(*_command, _options);
  AddWorkerLimitOptions(*_command, _limits);
}

int DescribeCommand::Run() const {
  Report files = Report::array();
  int status = 0;
  std::size_t described = 0;
  const Progress progress(_files.size());
  progress.Show(0, _files.front());
  // One worker reads the files one after the other, so they come back in order.
  const WorkerPool pool(ReportingFailures(DescribingTask(_options)), _limits);
  try {
    pool.Run(_files, 1, [&](const WorkerOutcome& iOutcome) {
      const std::string& path = _files[iOutcome.index];
      progress.Erase();
      Report record = iOutcome.succeeded ? Report::parse(iOutcome.value) : FailureRecord(path, iOutcome.value);
      if (!iOutcome.succeeded) status = ReportFileFailure(path, iOutcome.value);
      if (_json) {
        files.push_back(std::move(record));
      } else if (iOutcome.succeeded) {
        if (described++ > 0) std::cout << '\n';
        WriteTextReport(std::cout, record);
      }
      if (iOutcome.index + 1 < _files.size()) progress.Show(iOutcome.index + 1, _files[iOutcome.index + 1]);
    });
  } catch (const std::exception& failure) {
    progress.Erase();
    std::cerr << "geosig: describe: " << failure.what() << '\n';
    return ExitStatus::FileFailed;
  }
  if (_json) std::cout << Report{{"schema", "geosig-describe"}, {"version", 1}, {"files", files}}.dump(2) << '\n';
  return status;
}
