#include "DescribedPose.h"

#include <stdexcept>

#include "DescriptorSections.h"

namespace {

Zar4x4Matrix MatrixOf(const Report& iRows) {
  Zar4x4Matrix matrix;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 4; ++column)
      matrix.SetElement(row, column, iRows.at(row).at(column).get<double>(), row == 2 && column == 3 ? 1 : 0);
  return matrix;
}

}  // namespace

ShapePose PoseOfDescriptors(const Report& iDescriptors) {
  const Report& barycenter = iDescriptors.at("barycenter");
  const Report& norm = iDescriptors.at("norm");
  const Report& axes = iDescriptors.at("principalAxes");
  if (barycenter.is_null()) throw std::runtime_error("no area to place the shape by");
  if (norm.at("matrix").is_null()) throw std::runtime_error("too small to scale");
  if (axes.is_null()) throw std::runtime_error("no principal axes");
  ShapePose pose;
  pose.centring = MatrixOf(barycenter.at("matrix"));
  pose.unitBall = MatrixOf(norm.at("matrix"));
  pose.onPrincipalAxes = MatrixOf(axes.at("matrix"));
  pose.norm = norm.at("value").get<float>();
  for (int k = 0; k < 3; ++k) pose.values[k] = axes.at("values").at(k).get<float>();
  return pose;
}

ShapePose DescribedPose(ZarRep& ioModel) { return PoseOfDescriptors(DescribeTree(ioModel)); }
