#include "IsolatedRun.h"

#include <stdexcept>

#include "AppTasks.h"

Report RunIsolated(const std::string& iFile, const WorkerLimits& iLimits, const TaskCall& iTask) {
  WorkerOutcome outcome;
  WorkerPool(AppWorkers(), iTask, iLimits).Run({iFile}, 1, [&outcome](const WorkerOutcome& iOutcome) {
    outcome = iOutcome;
  });
  if (!outcome.succeeded) throw std::runtime_error(outcome.value);
  return Report::parse(outcome.value);
}

std::vector<WorkerOutcome> RunIsolatedInTurn(const std::vector<std::string>& iFiles, const WorkerLimits& iLimits,
                                             const TaskCall& iTask) {
  std::vector<WorkerOutcome> outcomes(iFiles.size());
  if (iFiles.empty()) return outcomes;
  WorkerPool(AppWorkers(), iTask, iLimits).Run(iFiles, 1, [&outcomes](const WorkerOutcome& iOutcome) {
    outcomes[iOutcome.index] = iOutcome;
  });
  return outcomes;
}
