#pragma once
// The commands' work on a file, run in a worker process so that a reader that crashes, hangs
// or exhausts memory ends in the usual one-line error instead of taking the command down.
#include <optional>
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "ReportValues.h"
#include "WorkerPool.h"

// iTask, failing with the reason the commands report (CurrentFailureReason) rather than the
// exception's own text.
WorkerPool::Task ReportingFailures(WorkerPool::Task iTask);

// The task that describes a file: its describe record as JSON text; it throws the reason when
// the file cannot be described.
WorkerPool::Task DescribingTask(const ImportOptions& iOptions);

// Runs iTask on iFile in one worker process under iLimits and returns its payload parsed as
// JSON. Throws std::runtime_error with the reason when the task fails or the worker is lost.
Report RunIsolated(const std::string& iFile, const WorkerLimits& iLimits, const WorkerPool::Task& iTask);

// iTask's outcome for each of iFiles, in their order, from one worker process that reads them in
// turn: what the readers set up on first use is paid for once, not once a file. A reader that
// crashes, hangs or swells costs only its worker; a fresh one takes the files left.
std::vector<WorkerOutcome> RunIsolatedInTurn(const std::vector<std::string>& iFiles, const WorkerLimits& iLimits,
                                             const WorkerPool::Task& iTask);

// RunIsolated for a task that writes iOutput and reports a failed write as {"writeFailure": reason}, told
// apart from the model's failures. A worker stopped while it wrote leaves no partial file. Returns the
// task's report, or none after the one-line error naming the model, or the output for a failed write.
std::optional<Report> RunIsolatedWriting(const std::string& iFile, const std::string& iOutput,
                                         const WorkerLimits& iLimits, const WorkerPool::Task& iTask);
