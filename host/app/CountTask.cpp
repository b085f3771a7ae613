#include "CountTask.h"

#include "FileRecord.h"
#include "GeosigCountRender.h"
#include "ImportOptionsReport.h"
#include "ModelImporter.h"

namespace {

// {"count", "budget" (null without one), "exceeded"}.
Report Tally(int iCount, int iBudget) {
  return {{"count", iCount},
          {"budget", iBudget > 0 ? Report(iBudget) : Report()},
          {"exceeded", iBudget > 0 && iCount > iBudget}};
}

}  // namespace

Report CountTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)}, {"maxTriangles", maxTriangles}, {"maxSlowReps", maxSlowReps}};
}

CountTask CountTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("maxTriangles").get<int>(),
          iParameters.at("maxSlowReps").get<int>()};
}

std::string CountTask::Run(const std::string& iFile) const {
  const ImportedModel model = ModelImporter(options).Import(iFile);
  GeosigCountRender render(maxTriangles, maxSlowReps);
  render.Traverse(*model.root);
  int triangles = 0, slowReps = 0;
  render.GetTriangleNumber(triangles);
  render.GetSlowRepNumber(slowReps);
  Report counted = ModelRecord(iFile, model.format, model.warnings);
  counted["triangles"] = Tally(triangles, maxTriangles);
  counted["slowRepresentations"] = Tally(slowReps, maxSlowReps);
  return ReportText(counted);
}
