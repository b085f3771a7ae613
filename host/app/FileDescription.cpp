#include "FileDescription.h"

#include "DescriptorSections.h"
#include "FileRecord.h"

FileDescription DescriptionOf(const std::string& iPath, const Outcome<ModelDescription>& iDescribed) {
  FileDescription description;
  if (!iDescribed) {
    description.error = iDescribed.Reason();
    description.record = FailureRecord(iPath, iDescribed.Reason());
    return description;
  }
  description.record = ModelRecord(iPath, iDescribed->format, iDescribed->warnings);
  description.record["descriptors"] = DescriptorsReport(iDescribed->descriptors);
  return description;
}

FileDescription DescribeFileRecord(const std::string& iPath, const ImportOptions& iOptions) {
  return DescriptionOf(iPath, DescribeFile(iPath, iOptions));
}
