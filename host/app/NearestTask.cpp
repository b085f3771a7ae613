#include "NearestTask.h"

#include <cmath>
#include <stdexcept>

#include "FileRecord.h"
#include "GeosigRepIntersectRender.h"
#include "ImportOptionsReport.h"
#include "ModelImporter.h"

namespace {

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

Report NearestTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)}, {"origin", origin}, {"direction", direction}};
}

NearestTask NearestTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("origin").get<std::array<double, 3>>(),
          iParameters.at("direction").get<std::array<double, 3>>()};
}

std::string NearestTask::Run(const std::string& iFile) const {
  const ImportedModel model = ModelImporter(options).Import(iFile);
  const ZarMathPoint from(origin[0], origin[1], origin[2]);
  ZarMathLine line(from, ZarMathVector(direction[0], direction[1], direction[2]));
  GeosigRepIntersectRender render(line);
  render.Traverse(*model.root);
  ZarMathPoint onLine, nearest;
  double distance = 0.0;
  if (ZarFailed(render.GetResult(onLine, nearest, distance))) throw std::runtime_error("no vertex to measure");
  if (!std::isfinite(distance) || !IsSinglePrecision(onLine))
    throw std::runtime_error("the line is too far from the model: its distance overflows");
  Report found = ModelRecord(iFile, model.format, model.warnings);
  found["line"] = {{"origin", {from.x, from.y, from.z}}, {"direction", ReportDirection(line)}};
  found["nearestVertex"] = ReportWidened(nearest);
  found["pointOnLine"] = ReportWidened(onLine);
  found["distance"] = distance;
  return ReportText(found);
}
