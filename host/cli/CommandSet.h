#pragma once
// Every geosig command, added to one CLI11 application: the program and the command-line fuzzer parse
// the same options, and a new command is added here once.
#include <CLI/CLI.hpp>

#include "BatchCommand.h"
#include "CountCommand.h"
#include "DescribeCommand.h"
#include "DuplicatesCommand.h"
#include "FingerprintCommand.h"
#include "IndexCommand.h"
#include "NearestCommand.h"
#include "NeighboursCommand.h"
#include "QueryCommand.h"
#include "ServeCommand.h"
#include "ViewCommand.h"
#include "VoxelizeCommand.h"

class CommandSet {
 public:
  // Adds the commands to ioApp, which must outlive this object, and requires one of them.
  explicit CommandSet(CLI::App& ioApp);

  // Runs the command that iApp's parse chose; its exit status, also when it failed (CommandFailure).
  int Run(const CLI::App& iApp) const;

 private:
  int Dispatch(const CLI::App& iApp) const;

  const DescribeCommand _describe;
  const CountCommand _count;
  const NearestCommand _nearest;
  const VoxelizeCommand _voxelize;
  const FingerprintCommand _fingerprint;
  const BatchCommand _batch;
  const ViewCommand _view;
  const IndexCommand _index;
  const QueryCommand _query;
  const NeighboursCommand _neighbours;
  const DuplicatesCommand _duplicates;
  const ServeCommand _serve;
};
