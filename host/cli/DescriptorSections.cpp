#include "DescriptorSections.h"

#include <stdexcept>

#include "GeosigBBRender.h"
#include "GeosigCountRender.h"

struct DescribeState {
  ZarRep& root;
};

namespace {

Report TriangleCount(DescribeState& ioState) {
  GeosigCountRender render;
  render.Traverse(ioState.root);
  int triangles = 0;
  render.GetTriangleNumber(triangles);
  if (triangles == 0) throw std::runtime_error("no triangle to describe");
  return triangles;
}

Report Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  return {{"min", ReportPoint(iMin)},
          {"max", ReportPoint(iMax)},
          {"size", ReportTriple(iMax.x - iMin.x, iMax.y - iMin.y, iMax.z - iMin.z)}};
}

Report BoundingBox(DescribeState& ioState) {
  GeosigBBRender render;
  render.Traverse(ioState.root);
  ZarMathPointf low, high;
  render.GetBoundingBox(low, high);
  return Box(low, high);
}

Report BoundingCube(DescribeState& ioState) {
  GeosigBBRender render;
  render.Traverse(ioState.root);
  ZarMathPointf low, high;
  render.GetBoundingCube(low, high);
  return Box(low, high);
}

}  // namespace

const std::vector<DescriptorSection>& DescriptorSections() {
  static const std::vector<DescriptorSection> sections = {
      {"triangles", "triangles", TriangleCount},
      {"boundingBox", "bounding box", BoundingBox},
      {"boundingCube", "bounding cube", BoundingCube},
  };
  return sections;
}

Report DescribeTree(ZarRep& ioRoot) {
  DescribeState state{ioRoot};
  Report descriptors = Report::object();
  for (const DescriptorSection& section : DescriptorSections()) descriptors[section.key] = section.compute(state);
  return descriptors;
}
