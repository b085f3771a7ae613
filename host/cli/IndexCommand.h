#pragma once
// `geosig index PATH... --db CATALOG [--jobs N] [tessellation options]`: brings a catalog
// database up to date with the model files under the paths. A file whose fingerprint and
// tessellation options are those already indexed is not read again; a changed file is
// replaced; a file gone from an indexed directory is dropped, and nothing else is (CatalogUpdate
// says when). Each file is committed on its own, so a stopped run loses nothing finished and the
// next run resumes; a file that cannot be read is recorded with its reason and the run goes on.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "ImportOptions.h"
#include "ModelPathOptions.h"
#include "WorkerPool.h"

class IndexCommand {
 public:
  explicit IndexCommand(CLI::App& ioApp);

  int Run() const;

 private:
  ModelPathOptions _files;
  std::string _database;
  unsigned int _jobs;
  bool _prune = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
