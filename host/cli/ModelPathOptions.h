#pragma once
// The model files of a command that reads many: paths given as arguments (files, and
// directories walked for the files a reader knows) and list files of such paths.
#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

#include "ModelFileSet.h"

class ModelPathOptions {
 public:
  // Adds the "paths" arguments, the --list option and --follow-symlinks to ioCommand; this object must outlive
  // the parse.
  void AddTo(CLI::App& ioCommand);

  const std::vector<std::string>& Paths() const { return _paths; }
  // The files named. None after a one-line error on standard error, with the exit status in
  // oStatus: no path nor list given (Usage), a directory or list that cannot be read
  // (FileFailed). iCommand names the command in the message.
  std::optional<ModelFileSet> Files(const std::string& iCommand, int& oStatus) const;

 private:
  std::vector<std::string> _paths;
  std::vector<std::string> _lists;
  bool _followLinks = false;
};
