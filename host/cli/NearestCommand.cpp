#include "NearestCommand.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <vector>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "GeosigRepIntersectRender.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "JsonDocument.h"
#include "ModelImporter.h"
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

// The line's unit direction.
Report ReportDirection(const ZarMathLine& iLine) {
  const ZarMathVector& unit = iLine.GetDirection();
  return {unit.x, unit.y, unit.z};
}

// The results are single-precision vertices widened to double: reported as the floats they are.
Report ReportWidened(const ZarMathPoint& iPoint) {
  return ReportTriple(static_cast<float>(iPoint.x), static_cast<float>(iPoint.y), static_cast<float>(iPoint.z));
}

// True when the point, reported as floats, keeps finite coordinates.
bool IsSinglePrecision(const ZarMathPoint& iPoint) {
  return std::isfinite(static_cast<float>(iPoint.x)) && std::isfinite(static_cast<float>(iPoint.y)) &&
         std::isfinite(static_cast<float>(iPoint.z));
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
    report = RunIsolated(_file, _limits, [this](const std::string& iFile) {
      const ImportedModel model = ModelImporter(_options).Import(iFile);
      ZarMathLine line(_origin, _direction);
      GeosigRepIntersectRender render(line);
      render.Traverse(*model.root);
      ZarMathPoint onLine, nearest;
      double distance = 0.0;
      if (ZarFailed(render.GetResult(onLine, nearest, distance))) throw std::runtime_error("no vertex to measure");
      if (!std::isfinite(distance) || !IsSinglePrecision(onLine))
        throw std::runtime_error("the line is too far from the model: its distance overflows");
      Report found = ModelRecord(iFile, model.format, model.warnings);
      found["line"] = {{"origin", {_origin.x, _origin.y, _origin.z}}, {"direction", ReportDirection(line)}};
      found["nearestVertex"] = ReportWidened(nearest);
      found["pointOnLine"] = ReportWidened(onLine);
      found["distance"] = distance;
      return ReportText(found);
    });
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
