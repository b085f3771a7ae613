#include "CountCommand.h"

#include <climits>
#include <iostream>

#include "AppTasks.h"
#include "CommandFailure.h"
#include "CountTask.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "JsonDocument.h"
#include "TextReport.h"

namespace {

std::string TallyText(const Report& iTally) {
  const std::string count = std::to_string(iTally["count"].get<int>());
  if (iTally["budget"].is_null()) return count;
  const std::string budget = std::to_string(iTally["budget"].get<int>());
  if (iTally["exceeded"].get<bool>()) return "at least " + count + ", over the budget of " + budget;
  return count + ", within the budget of " + budget;
}

}  // namespace

CountCommand::CountCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "count", "Count the triangles and slow representations of a model, and check them against budgets");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command
      ->add_option("--max-triangles", _maxTriangles,
                   "Triangle budget: exit with status 3 when the model has more triangles")
      ->check(CLI::Range(1, INT_MAX));
  command
      ->add_option("--max-slow-reps", _maxSlowReps,
                   "Budget of slow representations (geometry held as visualization primitives): "
                   "exit with status 3 when the model has more")
      ->check(CLI::Range(1, INT_MAX));
  JsonDocument::AddFlag(*command, _json);
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int CountCommand::Run() const {
  Report report;
  try {
    report = RunIsolated(_file, _limits, CallOf(CountTask{_options, _maxTriangles, _maxSlowReps}));
  } catch (...) {
    return ReportFileFailure(_file, CurrentFailureReason());
  }
  const bool exceeded =
      report["triangles"]["exceeded"].get<bool>() || report["slowRepresentations"]["exceeded"].get<bool>();
  if (_json) {
    report["exceeded"] = exceeded;
    JsonDocument document("count", 1);
    document.Add(std::move(report));
    document.Write(std::cout);
  } else {
    WriteFileHeading(std::cout, report);
    WriteTitledValues(std::cout, {{"triangles", TallyText(report["triangles"])},
                                  {"slow representations", TallyText(report["slowRepresentations"])}});
  }
  return exceeded ? ExitStatus::OverBudget : ExitStatus::Success;
}
