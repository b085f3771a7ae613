#pragma once
// The commands' work on a file, run in a worker process so that a reader that crashes, hangs
// or exhausts memory ends in the usual one-line error instead of taking the command down.
#include <string>

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
