#pragma once
// The model files of a command that reads many: paths given as arguments (files, and
// directories walked for the files a reader knows) and list files of such paths.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "ModelFileSet.h"

class ModelPathOptions {
 public:
  // Adds the "paths" arguments, the --list option and --follow-symlinks to ioCommand; this object must outlive
  // the parse.
  void AddTo(CLI::App& ioCommand);

  const std::vector<std::string>& Paths() const { return _paths; }
  // The files named. Throws AppFailure: no path nor list given (Usage, naming iCommand), a list that cannot be
  // read (File).
  ModelFileSet Files(const std::string& iCommand) const;

 private:
  std::vector<std::string> _paths;
  std::vector<std::string> _lists;
  bool _followLinks = false;
};
