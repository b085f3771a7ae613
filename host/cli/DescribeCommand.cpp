#include "DescribeCommand.h"

#include <unistd.h>

#include <iostream>

#include "CommandFailure.h"
#include "FileDescription.h"
#include "ImportOptionFlags.h"
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
}

int DescribeCommand::Run() const {
  Report files = Report::array();
  int status = 0;
  std::size_t described = 0;
  const Progress progress(_files.size());
  for (std::size_t k = 0; k < _files.size(); ++k) {
    const std::string& path = _files[k];
    progress.Show(k, path);
    FileDescription description = DescribeFile(path, _options);
    progress.Erase();
    if (description.error) status = ReportFileFailure(path, *description.error);
    if (_json) {
      files.push_back(std::move(description.record));
    } else if (!description.error) {
      if (described++ > 0) std::cout << '\n';
      WriteTextReport(std::cout, description.record);
    }
  }
  if (_json) std::cout << Report{{"schema", "geosig-describe"}, {"version", 1}, {"files", files}}.dump(2) << '\n';
  return status;
}
