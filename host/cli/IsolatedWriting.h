#pragma once
// The commands that write a file from a model (voxelize, view) run their task in a worker
// process like the others, with one more concern: the output.
#include <optional>
#include <string>

#include "ReportValues.h"
#include "TaskRegistry.h"
#include "WorkerPool.h"

// RunIsolated for a task that writes iOutput and reports a failed write as {"writeFailure": reason}, told
// apart from the model's failures. A worker stopped while it wrote leaves no partial file. Returns the
// task's report, or none after the one-line error naming the model, or the output for a failed write.
std::optional<Report> RunIsolatedWriting(const std::string& iFile, const std::string& iOutput,
                                         const WorkerLimits& iLimits, const TaskCall& iTask);
