#pragma once
// The descriptors that `geosig describe` reports, one section each, in report order. Each
// section runs its own render over the representation tree and reads its results.
#include <vector>

#include "ReportValues.h"
#include "ZarRep.h"

struct DescriptorSection {
  const char* key;    // member name in the JSON report
  const char* title;  // heading in the text report
  Report (*compute)(ZarRep& ioRoot);
};

const std::vector<DescriptorSection>& DescriptorSections();

// Every section's report, by key. Throws std::runtime_error when the tree holds no triangle.
Report DescribeTree(ZarRep& ioRoot);
