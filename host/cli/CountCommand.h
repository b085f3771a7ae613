#pragma once
// `geosig count FILE [--max-triangles N] [--max-slow-reps M]`: the triangles and slow
// representations of a model, and whether it exceeds a budget. Counting stops soon after a
// budget is exceeded, so the counts are then lower bounds; the exit status tells the caller
// (ExitStatus::OverBudget) without parsing the output.
#include <CLI/CLI.hpp>

#include <string>

#include "ImportOptions.h"
#include "WorkerPool.h"

class CountCommand {
 public:
  explicit CountCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _file;
  int _maxTriangles = 0;  // 0: no budget
  int _maxSlowReps = 0;
  bool _json = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
