#include "DescriptorSections.h"

namespace {

Report Box(const AxisAlignedBox& iBox) {
  const ZarMathPointf &low = iBox.min, &high = iBox.max;
  return {{"min", ReportPoint(low)},
          {"max", ReportPoint(high)},
          {"size", ReportTriple(high.x - low.x, high.y - low.y, high.z - low.z)}};
}

Report TrianglesSection(const Descriptors& iDescriptors) { return iDescriptors.triangles; }

Report BoundingBoxSection(const Descriptors& iDescriptors) { return Box(iDescriptors.boundingBox); }

Report BoundingCubeSection(const Descriptors& iDescriptors) { return Box(iDescriptors.boundingCube); }

Report BarycenterSection(const Descriptors& iDescriptors) {
  if (!iDescriptors.barycenter) return nullptr;
  return {{"point", ReportPoint(iDescriptors.barycenter->point)},
          {"matrix", ReportMatrix(iDescriptors.barycenter->matrix)}};
}

Report NormSection(const Descriptors& iDescriptors) {
  const Norm& norm = iDescriptors.norm.Value();
  return {{"value", ReportNumber(norm.value)}, {"matrix", norm.matrix ? ReportMatrix(norm.matrix.Value()) : Report()}};
}

Report PrincipalAxesSection(const Descriptors& iDescriptors) {
  if (!iDescriptors.principalAxes) return nullptr;
  const PrincipalAxes& principal = iDescriptors.principalAxes.Value();
  return {{"values", ReportTriple(principal.values[0], principal.values[1], principal.values[2])},
          {"axes", {ReportVector(principal.axes[0]), ReportVector(principal.axes[1]), ReportVector(principal.axes[2])}},
          {"matrix", ReportMatrix(principal.matrix)}};
}

Report SymmetriesSection(const Descriptors& iDescriptors) {
  const Symmetries& symmetries = iDescriptors.symmetries.Value();
  return {{"x", symmetries.x}, {"y", symmetries.y}, {"z", symmetries.z}, {"matrix", ReportMatrix(symmetries.matrix)}};
}

Report CuboidSection(const Descriptors& iDescriptors) {
  if (!iDescriptors.cuboid) return {{"isCuboid", false}};
  const double* dimensions = iDescriptors.cuboid->dimensions;
  return {{"isCuboid", true},
          {"frame", ReportMatrix(iDescriptors.cuboid->frame)},
          {"dimensions", ReportTriple(static_cast<float>(dimensions[0]), static_cast<float>(dimensions[1]),
                                      static_cast<float>(dimensions[2]))}};
}

Report NormalisationSection(const Descriptors& iDescriptors) {
  return {{"matrix", ReportMatrix(iDescriptors.normalisation.Matrix())}};
}

}  // namespace

const std::vector<DescriptorSection>& DescriptorSections() {
  static const std::vector<DescriptorSection> sections = {
      {"triangles", "triangles", TrianglesSection},
      {"boundingBox", "bounding box", BoundingBoxSection},
      {"boundingCube", "bounding cube", BoundingCubeSection},
      {"barycenter", "barycenter", BarycenterSection},
      {"norm", "norm", NormSection},
      {"principalAxes", "principal axes", PrincipalAxesSection},
      {"symmetries", "symmetries", SymmetriesSection},
      {"cuboid", "cuboid", CuboidSection},
      {"normalisation", "normalisation", NormalisationSection},
  };
  return sections;
}

Report DescriptorsReport(const Descriptors& iDescriptors) {
  Report report = Report::object();
  for (const DescriptorSection& section : DescriptorSections()) report[section.key] = section.report(iDescriptors);
  return report;
}
