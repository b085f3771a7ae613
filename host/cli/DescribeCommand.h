#pragma once
// `geosig describe FILE...`: imports each file in a worker process and reports its
// descriptors, as text or as one JSON document. A bad file gets a one-line error on standard error and the others are
// still described; the exit status is 1 if any file failed.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "WorkerPool.h"

class DescribeCommand {
 public:
  // Adds the subcommand and its options to iApp.
  explicit DescribeCommand(CLI::App& ioApp);

  // The exit status.
  int Run() const;

 private:
  CLI::App* _command;
  std::vector<std::string> _files;
  bool _json = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
