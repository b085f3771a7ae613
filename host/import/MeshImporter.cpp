#include "MeshImporter.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <optional>

#include "AssimpMessageCapture.h"
#include "AssimpSceneConverter.h"
#include "ImportError.h"
#include "PlyHeaderEnd.h"

bool MeshImporter::ReadsExtension(const std::string& iExtension) {
  return !iExtension.empty() && Assimp::Importer().IsExtensionSupported(iExtension);
}

static std::string FormatName(const std::string& iPath) {
  std::string extension = std::filesystem::path(iPath).extension().string();
  if (extension.empty()) return "mesh";
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension.substr(1);
}

ImportedModel MeshImporter::Import(const std::string& iPath) const {
  const std::optional<std::string> plyBytes = PlyWithCrLfHeaderEnd(iPath);
  // Assimp's readers are not all reentrant (the OBJ reader shares a global buffer between
  // imports): one file is read at a time, whatever the number of threads importing. The
  // conversion of the scene, which this importer owns, runs unguarded.
  static std::mutex oneReadAtATime;
  std::unique_lock<std::mutex> reading(oneReadAtATime);
  std::optional<AssimpMessageCapture> readerMessages(std::in_place);
  Assimp::Importer importer;
  // No post-processing yet: the scene is checked before any step reads its indices.
  const aiScene* scene = plyBytes ? importer.ReadFileFromMemory(plyBytes->data(), plyBytes->size(), 0, "ply")
                                  : importer.ReadFile(iPath, 0);
  if (!scene) {
    if (!ReadsExtension(std::filesystem::path(iPath).extension().string()))
      throw ImportError(iPath, "unknown format: neither its name nor its content is one of a mesh or CAD file");
    throw ImportError(iPath, importer.GetErrorString());
  }
  if (std::string reason = AssimpSceneConverter(*scene).Check(); !reason.empty()) throw ImportError(iPath, reason);
  // Ear clipping handles concave polygons, which fans would not.
  scene = importer.ApplyPostProcessing(aiProcess_Triangulate);
  if (!scene) throw ImportError(iPath, importer.GetErrorString());
  ImportedModel model;
  model.warnings = readerMessages->Messages();
  readerMessages.reset();
  reading.unlock();

  model.root = AssimpSceneConverter(*scene).Convert();
  model.format = FormatName(iPath);
  return model;
}
