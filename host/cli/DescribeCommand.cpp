#include "DescribeCommand.h"

#include <iostream>

#include "CommandFailure.h"
#include "FileDescription.h"
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
}

int DescribeCommand::Run() const {
  JsonDocument document("describe", DescriptionRecordVersion);
  int status = 0;
  std::size_t described = 0, failed = 0;
  const ProgressLine progress(_files.size(), _files.size() > 1 && ProgressLine::OnTerminal());
  for (std::size_t k = 0; k < _files.size(); ++k) {
    const std::string& path = _files[k];
    progress.Show(k, failed, path);
    FileDescription description = DescribeFileRecord(path, _options);
    progress.Erase();
    if (description.error) {
      status = ReportFileFailure(path, *description.error);
      ++failed;
    }
    if (_json) {
      document.Add(std::move(description.record));
    } else if (!description.error) {
      if (described++ > 0) std::cout << '\n';
      WriteTextReport(std::cout, description.record);
    }
  }
  if (_json) document.Write(std::cout);
  return status;
}
