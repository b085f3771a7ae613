#include "ViewPageTask.h"

#include <stdexcept>

#include "ImportOptionsReport.h"
#include "ViewedFile.h"

Report ViewPageTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)},
          {"depth", depth},
          {"displayTriangles", displayTriangles},
          {"output", output}};
}

ViewPageTask ViewPageTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("depth").get<unsigned int>(),
          iParameters.at("displayTriangles").get<std::size_t>(), iParameters.at("output").get<std::string>()};
}

std::string ViewPageTask::Run(const std::string& iFile) const {
  Outcome<ViewedFile> viewed = ViewFile(iFile, options, depth, displayTriangles);
  if (!viewed) throw std::runtime_error(viewed.Reason());
  const ViewerModel& model = viewed->model;
  try {
    ViewerPage::Write({model}, output);
  } catch (...) {
    return ReportText({{"writeFailure", CurrentFailureReason()}});
  }
  return ReportText({{"record", std::move(viewed->record)},
                     {"triangles", model.sourceTriangles},
                     {"drawn triangles", model.mesh.triangles.size() / 3},
                     {"voxels", model.voxels->cells.size() / 3}});
}
