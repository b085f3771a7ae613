#pragma once
// `geosig batch PATH... [--list FILE] -o OUT.jsonl [--jobs N] [--resume]`: the describe
// record of every model file of a catalog, one JSON line per file, computed on N threads.
// A file that cannot be described gets an error record and the batch goes on. Each record
// is written whole as soon as it is ready, so a stopped batch loses nothing finished, and
// --resume skips the files that OUT already has a record of.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "ImportOptions.h"
#include "ModelPathOptions.h"

class BatchCommand {
 public:
  explicit BatchCommand(CLI::App& ioApp);

  int Run() const;

 private:
  ModelPathOptions _files;
  std::string _output;
  unsigned int _jobs;
  bool _resume = false;
  ImportOptions _options;
};
