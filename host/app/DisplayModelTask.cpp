#include "DisplayModelTask.h"

#include <stdexcept>
#include <utility>

#include "ExportScene.h"
#include "ImportOptionsReport.h"
#include "SceneFile.h"
#include "ViewedFile.h"

Report DisplayModelTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)}, {"displayTriangles", displayTriangles}, {"output", output}};
}

DisplayModelTask DisplayModelTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("displayTriangles").get<std::size_t>(),
          iParameters.at("output").get<std::string>()};
}

std::string DisplayModelTask::Run(const std::string& iFile) const {
  Outcome<ViewedFile> viewed = ViewFile(iFile, options, std::nullopt, displayTriangles);
  if (!viewed) throw std::runtime_error(viewed.Reason());
  ExportScene scene;
  scene.meshes.push_back({"model", std::move(viewed.Value().model.mesh)});
  scene.nodes.push_back({"model", 0, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {}});
  SceneFile::Write(scene, output);
  return "{}";
}
