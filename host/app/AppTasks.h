#pragma once
// The tasks geosig runs on files in worker processes (describe a file, its index record, count,
// nearest, voxelize to a file, write a view page, a model's view on the query page, its surface
// voxels, its display model for the service), shared by the command line, the Python module and
// its Dask functions and the service. Each is a struct of its parameters with
//   static constexpr const char* kind;             its name in the registry
//   Report Parameters() const;                     the parameters as JSON
//   static T FromParameters(const Report&);        and back, in the worker
//   std::string Run(const std::string& iFile) const;  the payload for one file
// Run's failures reach the caller as the reason the commands report (CurrentFailureReason).
#include "ForkServer.h"
#include "ReportValues.h"
#include "TaskRegistry.h"

// The registry of geosig-worker: every task above.
const TaskRegistry& AppTasks();

// The fork server of geosig-worker for this process (see WorkerExecutable.h for where it is).
ForkServer& AppWorkers();

// The call that runs iTask in geosig-worker.
template <typename Task>
TaskCall CallOf(const Task& iTask) {
  return {Task::kind, ReportText(iTask.Parameters())};
}
