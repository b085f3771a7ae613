#include "ModelPathOptions.h"

#include <stdexcept>

#include "AppFailure.h"

void ModelPathOptions::AddTo(CLI::App& ioCommand) {
  ioCommand.add_option("paths", _paths,
                       "Model files, and directories walked recursively for the files whose name a reader knows");
  ioCommand
      .add_option("--list", _lists,
                  "A file listing model files or directories, one a line, relative to the list's directory "
                  "('-': standard input)")
      ->type_name("FILE");
  ioCommand.add_flag("--follow-symlinks", _followLinks,
                     "Follow symbolic links met while walking directories (without it they are skipped)");
}

ModelFileSet ModelPathOptions::Files(const std::string& iCommand) const {
  if (_paths.empty() && _lists.empty())
    throw AppFailure(AppFailure::Kind::Usage, iCommand, "give at least one path or --list");
  ModelFileSet files(_followLinks);
  try {
    for (const std::string& path : _paths) files.AddPath(path);
    for (const std::string& list : _lists) files.AddList(list);
  } catch (const std::runtime_error& failure) {
    throw AppFailure(AppFailure::Kind::File, std::string(), failure.what());
  }
  return files;
}
