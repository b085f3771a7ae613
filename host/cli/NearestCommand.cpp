#include "NearestCommand.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <vector>

#include "AppTasks.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "JsonDocument.h"
#include "NearestTask.h"
#include "TextReport.h"

namespace {

// Three finite numbers separated by commas, as in "1,-2.5,3e2".
std::array<double, 3> ParseTriple(const std::string& iText) {
  std::array<double, 3> values{};
  const char* cursor = iText.c_str();
  for (int k = 0; k < 3; ++k) {
    char* end = nullptr;
    values[k] = std::strtod(cursor, &end);
    const char expected = k < 2 ? ',' : '\0';
    if (end == cursor || *end != expected) throw CLI::ValidationError("--line", "'" + iText + "' is not X,Y,Z");
    if (!std::isfinite(values[k])) throw CLI::ValidationError("--line", "'" + iText + "' is not finite");
    cursor = end + 1;
  }
  return values;
}

}  // namespace

NearestCommand::NearestCommand(CLI::App& ioApp) {
  CLI::App* command =
      ioApp.add_subcommand("nearest", "Find the vertex of a model nearest to a line, its projection and distance");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command
      ->add_option_function<std::vector<std::string>>(
          "--line",
          [this](const std::vector<std::string>& iWords) {
            const std::array<double, 3> origin = ParseTriple(iWords[0]), direction = ParseTriple(iWords[1]);
            const double largest =
                std::max({std::fabs(direction[0]), std::fabs(direction[1]), std::fabs(direction[2])});
            if (largest == 0.0) throw CLI::ValidationError("--line", "the direction '" + iWords[1] + "' is zero");
            _origin = ZarMathPoint(origin[0], origin[1], origin[2]);
            // Scaled so that its length neither overflows nor underflows when the line normalises it.
            _direction = ZarMathVector(direction[0] / largest, direction[1] / largest, direction[2] / largest);
          },
          "The line: a point on it and its direction, each as X,Y,Z")
      ->type_name("ORIGIN DIRECTION")
      ->expected(2)
      ->required();
  JsonDocument::AddFlag(*command, _json);
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int NearestCommand::Run() const {
  Report report;
  try {
    report = RunIsolated(
        _file, _limits,
        CallOf(NearestTask{_options, {_origin.x, _origin.y, _origin.z}, {_direction.x, _direction.y, _direction.z}}));
  } catch (...) {
    return ReportFileFailure(_file, CurrentFailureReason());
  }
  if (_json) {
    JsonDocument document("nearest", 1);
    document.Add(std::move(report));
    document.Write(std::cout);
  } else {
    WriteFileHeading(std::cout, report);
    WriteTitledValues(std::cout, {{"nearest vertex", report["nearestVertex"]},
                                  {"point on line", report["pointOnLine"]},
                                  {"distance", report["distance"]}});
  }
  return ExitStatus::Success;
}
