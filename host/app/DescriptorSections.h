#pragma once
// How `geosig describe` reports the descriptors: one section each, in report order, with its
// member name in the JSON record and its heading in the text report.
#include <vector>

#include "Descriptors.h"
#include "ReportValues.h"

struct DescriptorSection {
  const char* key;    // member name in the JSON report
  const char* title;  // heading in the text report
  Report (*report)(const Descriptors& iDescriptors);
};

const std::vector<DescriptorSection>& DescriptorSections();

// Every section's report, by key.
Report DescriptorsReport(const Descriptors& iDescriptors);
