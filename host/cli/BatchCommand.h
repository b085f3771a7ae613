#pragma once
// `geosig batch PATH... [--list FILE] -o OUT.jsonl [--jobs N] [--resume]`: the describe
// record of every model file of a catalog, one JSON line per file, computed on N threads.
// A file that cannot be described gets an error record and the batch goes on. Each record
// is written whole as soon as it is ready, so a stopped batch loses nothing finished, and
// --resume skips the files that OUT already has a record of. A directory that cannot be
// walked gets an error record too; an OUT that is one of the models is refused.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "ImportOptions.h"

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
  bool _followLinks = false;
  ImportOptions _options;
};
