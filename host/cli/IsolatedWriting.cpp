#include "IsolatedWriting.h"

#include "AtomicOutputFile.h"
#include "CommandFailure.h"
#include "IsolatedRun.h"

std::optional<Report> RunIsolatedWriting(const std::string& iFile, const std::string& iOutput,
                                         const WorkerLimits& iLimits, const TaskCall& iTask) {
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
