#include "ModelViewTask.h"

#include <stdexcept>

#include "ImportOptionsReport.h"
#include "ViewedFile.h"

Report ModelViewTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)},
          {"depth", depth ? Report(*depth) : Report()},
          {"displayTriangles", displayTriangles}};
}

ModelViewTask ModelViewTask::FromParameters(const Report& iParameters) {
  const Report& depth = iParameters.at("depth");
  return {ImportOptionsOf(iParameters.at("options")),
          depth.is_null() ? std::nullopt : std::optional<unsigned int>(depth.get<unsigned int>()),
          iParameters.at("displayTriangles").get<std::size_t>()};
}

std::string ModelViewTask::Run(const std::string& iFile) const {
  Outcome<ViewedFile> viewed = ViewFile(iFile, options, depth, displayTriangles);
  if (!viewed) throw std::runtime_error(viewed.Reason());
  // A path or report that is not UTF-8 is shown with replacement characters rather than failing the view.
  return ViewerPage::ModelEntry(viewed->model).dump(-1, ' ', false, ViewerPage::Entry::error_handler_t::replace);
}
