#include "DescribeTask.h"

#include <stdexcept>

#include "FileDescription.h"
#include "ImportOptionsReport.h"

Report DescribeTask::Parameters() const { return {{"options", ImportOptionsReport(options)}}; }

DescribeTask DescribeTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options"))};
}

std::string DescribeTask::Run(const std::string& iFile) const {
  const FileDescription description = DescribeFileRecord(iFile, options);
  if (description.error) throw std::runtime_error(*description.error);
  return ReportText(description.record);
}
