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

// A descriptor the model does not define is reported as {"undefined": reason}.
template <class T>
Report Defined(const Outcome<T>& iDescriptor, Report (*iReport)(const T&)) {
  if (!iDescriptor) return {{"undefined", iDescriptor.Reason()}};
  return iReport(iDescriptor.Value());
}

Report BarycenterSection(const Descriptors& iDescriptors) {
  return Defined<Barycenter>(iDescriptors.barycenter, [](const Barycenter& iBarycenter) -> Report {
    return {{"point", ReportPoint(iBarycenter.point)}, {"matrix", ReportMatrix(iBarycenter.matrix)}};
  });
}

Report NormSection(const Descriptors& iDescriptors) {
  return Defined<Norm>(iDescriptors.norm, [](const Norm& iNorm) -> Report {
    return {{"value", ReportNumber(iNorm.value)},
            {"matrix", iNorm.matrix ? ReportMatrix(iNorm.matrix.Value()) : Report()}};
  });
}

Report PrincipalAxesSection(const Descriptors& iDescriptors) {
  return Defined<PrincipalAxes>(iDescriptors.principalAxes, [](const PrincipalAxes& iPrincipal) -> Report {
    return {{"values", ReportTriple(iPrincipal.values[0], iPrincipal.values[1], iPrincipal.values[2])},
            {"axes",
             {ReportVector(iPrincipal.axes[0]), ReportVector(iPrincipal.axes[1]), ReportVector(iPrincipal.axes[2])}},
            {"matrix", ReportMatrix(iPrincipal.matrix)},
            {"triangulationDependent", iPrincipal.triangulationDependent}};
  });
}

Report SymmetriesSection(const Descriptors& iDescriptors) {
  return Defined<Symmetries>(iDescriptors.symmetries, [](const Symmetries& iSymmetries) -> Report {
    return {
        {"x", iSymmetries.x}, {"y", iSymmetries.y}, {"z", iSymmetries.z}, {"matrix", ReportMatrix(iSymmetries.matrix)}};
  });
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
  return Defined<Normalisation>(iDescriptors.normalisation, [](const Normalisation& iNormalisation) -> Report {
    return {{"matrix", ReportMatrix(iNormalisation.Matrix())}};
  });
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
      {"symmetries", "moment balance", SymmetriesSection},
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
