#include "IsolatedRun.h"

#include <stdexcept>

#include "AtomicOutputFile.h"
#include "CommandFailure.h"
#include "FileDescription.h"
#include "Outcome.h"

WorkerPool::Task ReportingFailures(WorkerPool::Task iTask) {
  return [task = std::move(iTask)](const std::string& iItem) {
    try {
      return task(iItem);
    } catch (...) {
      throw std::runtime_error(CurrentFailureReason());
    }
  };
}

WorkerPool::Task DescribingTask(const ImportOptions& iOptions) {
  return [iOptions](const std::string& iFile) {
    const FileDescription description = DescribeFileRecord(iFile, iOptions);
    if (description.error) throw std::runtime_error(*description.error);
    return ReportText(description.record);
  };
}

Report RunIsolated(const std::string& iFile, const WorkerLimits& iLimits, const WorkerPool::Task& iTask) {
  WorkerOutcome outcome;
  WorkerPool(ReportingFailures(iTask), iLimits).Run({iFile}, 1, [&outcome](const WorkerOutcome& iOutcome) {
    outcome = iOutcome;
  });
  if (!outcome.succeeded) throw std::runtime_error(outcome.value);
  return Report::parse(outcome.value);
}

std::vector<WorkerOutcome> RunIsolatedInTurn(const std::vector<std::string>& iFiles, const WorkerLimits& iLimits,
                                             const WorkerPool::Task& iTask) {
  std::vector<WorkerOutcome> outcomes(iFiles.size());
  if (iFiles.empty()) return outcomes;
  WorkerPool(ReportingFailures(iTask), iLimits).Run(iFiles, 1, [&outcomes](const WorkerOutcome& iOutcome) {
    outcomes[iOutcome.index] = iOutcome;
  });
  return outcomes;
}

std::optional<Report> RunIsolatedWriting(const std::string& iFile, const std::string& iOutput,
                                         const WorkerLimits& iLimits, const WorkerPool::Task& iTask) {
  Report report;
  try {
    report = RunIsolated(iFile, iLimits, iTask);
  } catch (...) {
    AtomicOutputFile::RemoveAbandoned(iOutput);
    ReportFileFailure(iFile, CurrentFailureReason());
    return std::nullopt;
  }
  if (report.contains("writeFailure")) {
    ReportFileFailure(iOutput, report["writeFailure"].get<std::string>());
    return std::nullopt;
  }
  return report;
}
