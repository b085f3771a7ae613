#pragma once
// The descriptors that `geosig describe` reports, one section each, in report order. Each
// section runs its own render over the representation tree and reads its results; a
// section may use what an earlier one left in the shared state (the triangle count, the
// matrix that centres the model), so that later ones work in the model's own frame.
#include <vector>

#include "ReportValues.h"
#include "ZarRep.h"

struct DescribeState;

struct DescriptorSection {
  const char* key;    // member name in the JSON report
  const char* title;  // heading in the text report
  Report (*compute)(DescribeState& ioState);
};

const std::vector<DescriptorSection>& DescriptorSections();

// Every section's report, by key. Throws std::runtime_error when the tree holds no triangle.
Report DescribeTree(ZarRep& ioRoot);
