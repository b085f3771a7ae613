#include "ModelDescription.h"

#include "ModelImporter.h"

Outcome<ModelDescription> DescribeFile(const std::string& iPath, const ImportOptions& iOptions) {
  ModelDescription description;
  try {
    ImportedModel model = ModelImporter(iOptions).Import(iPath);
    description.format = std::move(model.format);
    description.warnings = std::move(model.warnings);
    Outcome<Descriptors> descriptors = DescribeModel(*model.root);
    if (!descriptors) return Failure{descriptors.Reason()};
    description.descriptors = std::move(descriptors.Value());
  } catch (...) {
    return Failure{CurrentFailureReason()};
  }
  return description;
}
