#pragma once
// `geosig batch PATH... [--list FILE] -o OUT.jsonl [--jobs N] [--resume]`: the describe
// record of every model file of a catalog, one JSON line per file, computed in N worker
// processes. A file that cannot be described, or whose reader crashes, hangs or runs out of
// memory, gets an error record and the batch goes on. Each record
// is written whole as soon as it is ready, so a stopped batch loses nothing finished, and
// --resume skips the files that OUT already has a record of.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "ImportOptions.h"
#include "WorkerPool.h"

class BatchCommand {
 public:
  explicit BatchCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::vector<std::string> _paths;
  std::vector<std::string> _lists;
  std::string _output;
  unsigned int _jobs;
  bool _resume = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
