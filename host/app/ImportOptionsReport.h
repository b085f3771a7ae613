#pragma once
// Import options as the parameters of a task run in a worker process carry them: doubles are
// written with all their digits, so the worker tessellates exactly as asked.
#include "ImportOptions.h"
#include "ReportValues.h"

Report ImportOptionsReport(const ImportOptions& iOptions);
// Throws nlohmann::json::exception for a report that is not ImportOptionsReport's.
ImportOptions ImportOptionsOf(const Report& iReport);
