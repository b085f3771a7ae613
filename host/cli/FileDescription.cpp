#include "FileDescription.h"

#include "CommandFailure.h"
#include "DescriptorSections.h"
#include "ModelImporter.h"

FileDescription DescribeFile(const std::string& iPath, const ImportOptions& iOptions) {
  FileDescription description;
  try {
    const ImportedModel model = ModelImporter(iOptions).Import(iPath);
    description.record = {{"file", iPath}, {"format", model.format}};
    if (!model.warnings.empty()) description.record["warnings"] = model.warnings;
    description.record["descriptors"] = DescribeTree(*model.root);
  } catch (...) {
    description.error = CurrentFailureReason();
    description.record = {{"file", iPath}, {"error", *description.error}};
  }
  return description;
}
