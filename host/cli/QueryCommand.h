#pragma once
// `geosig query --db CATALOG (FILE | --entry PATH) [-k 10] [--any-size] [--json]`: the k
// indexed parts most similar to a model file, or to a part already in the catalog (which is
// then left out of the answer), nearest first, with the combined distance and its parts.
#include <CLI/CLI.hpp>

#include <string>

#include "ImportOptions.h"
#include "WorkerPool.h"

class QueryCommand {
 public:
  explicit QueryCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _database;
  std::string _file;
  std::string _entry;
  int _count = 10;
  bool _anySize = false;
  bool _json = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
