#pragma once
// The work on a file of the commands, the Python module and its Dask functions, run in a worker
// process of geosig-worker (AppTasks.h), so that a reader that crashes, hangs or exhausts memory
// costs the file an error with the reason instead of taking the caller down.
#include <string>
#include <vector>

#include "ReportValues.h"
#include "TaskRegistry.h"
#include "WorkerPool.h"

// Runs iTask on iFile in one worker process under iLimits and returns its payload parsed as
// JSON. Throws std::runtime_error with the reason when the task fails or the worker is lost.
Report RunIsolated(const std::string& iFile, const WorkerLimits& iLimits, const TaskCall& iTask);

// iTask's outcome for each of iFiles, in their order, from one worker process that reads them in
// turn: what the readers set up on first use is paid for once, not once a file. A reader that
// crashes, hangs or swells costs only its worker; a fresh one takes the files left.
std::vector<WorkerOutcome> RunIsolatedInTurn(const std::vector<std::string>& iFiles, const WorkerLimits& iLimits,
                                             const TaskCall& iTask);
