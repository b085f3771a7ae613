#include "Descriptors.h"

#include <cmath>

#include "GeosigBBRender.h"
#include "GeosigBarycenterRender.h"
#include "GeosigCountRender.h"
#include "GeosigNormRender.h"
#include "GeosigPrincipleAxisRender.h"
#include "GeosigRecognitionRender.h"
#include "GeosigSymmetriesRender.h"
#include "PlatformChecks.h"
#include "Zar3DBagRep.h"
#include "Zar3DCuboidRep.h"

namespace {

// Lets iRender see the model transformed by iFrame, as if the root had that matrix. The
// bag lets go of the root when it goes.
void TraverseIn(GeosigRender& ioRender, ZarRep& ioRoot, const Zar4x4Matrix& iFrame) {
  const ZarRef<Zar3DBagRep> framed = AdoptCreated(Zar3DBagRep::CreateRep());
  CheckStatus(framed->SetMatrix(iFrame));
  CheckStatus(framed->AddChild(ioRoot));
  ioRender.Traverse(*framed);
}

int TriangleCount(ZarRep& ioRoot) {
  GeosigCountRender render;
  render.Traverse(ioRoot);
  int triangles = 0;
  render.GetTriangleNumber(triangles);
  return triangles;
}

Outcome<Barycenter> BarycenterOf(ZarRep& ioRoot, const Zar4x4Matrix& iFrame = Zar4x4Matrix()) {
  GeosigBarycenterRender render;
  TraverseIn(render, ioRoot, iFrame);
  Barycenter barycenter;
  if (ZarFailed(render.GetBarycenter(barycenter.point)) || ZarFailed(render.GetMatrix(barycenter.matrix)))
    return Failure{"the surface has no area"};
  return barycenter;
}

Norm NormOf(ZarRep& ioRoot, const Zar4x4Matrix& iCentring) {
  GeosigNormRender render;
  TraverseIn(render, ioRoot, iCentring);
  Norm norm;
  render.GetNorm(norm.value);
  Zar4x4Matrix scaling;
  if (ZarSucceeded(render.GetMatrix(scaling))) norm.matrix = scaling;
  return norm;
}

// About the barycenter, which iCentring moves to the origin. The first and third axes point
// from iOrientedFrom (given before centring) towards the barycenter.
Outcome<PrincipalAxes> PrincipalAxesOf(ZarRep& ioRoot, int iTriangles, const Zar4x4Matrix& iCentring,
                                       const ZarMathPointf& iOrientedFrom) {
  GeosigPrincipleAxisRender render(iTriangles, iCentring * iOrientedFrom);
  TraverseIn(render, ioRoot, iCentring);
  PrincipalAxes principal;
  if (ZarFailed(render.GetPrincipalAxis(principal.values[0], principal.axes[0], principal.values[1], principal.axes[1],
                                        principal.values[2], principal.axes[2])) ||
      ZarFailed(render.GetMatrix(principal.matrix)))
    return Failure{"the second moments cannot be diagonalised"};
  principal.triangulationDependent = iTriangles < GeosigPrincipleAxisRender::_MaxTrianglesToImprovePrecision;
  return principal;
}

Symmetries SymmetriesOf(ZarRep& ioRoot, const Zar4x4Matrix& iOnPrincipalFrame) {
  GeosigSymmetriesRender render;
  TraverseIn(render, ioRoot, iOnPrincipalFrame);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  render.GetSymmetries(x, y, z);
  Symmetries symmetries;
  symmetries.x = x > 0.0f;
  symmetries.y = y > 0.0f;
  symmetries.z = z > 0.0f;
  render.GetMatrix(symmetries.matrix);
  return symmetries;
}

bool Near(const ZarMathPointf& iFirst, const ZarMathPointf& iSecond, float iTolerance) {
  return std::fabs(iFirst.x - iSecond.x) <= iTolerance && std::fabs(iFirst.y - iSecond.y) <= iTolerance &&
         std::fabs(iFirst.z - iSecond.z) <= iTolerance;
}

// The inverse of a frame whose linear part is a rotation: local = R^T (world - t).
Zar4x4Matrix IntoFrame(const Zar4x4Matrix& iFrame) {
  Zar4x4Matrix inverse;
  for (int row = 0; row < 3; ++row) {
    double translation = 0.0;
    for (int col = 0; col < 3; ++col) {
      inverse.SetElement(row, col, iFrame.GetElement(col, row), 0);
      translation -= iFrame.GetElement(col, row) * iFrame.GetElement(col, 3);
    }
    inverse.SetElement(row, 3, translation, row == 2);
  }
  return inverse;
}

// The barycenter and the principal values of iRep seen through iFrame. Undefined without
// area.
Outcome<PrincipalAxes> MomentsIn(ZarRep& ioRep, const Zar4x4Matrix& iFrame, ZarMathPointf& oBarycenter) {
  const Outcome<Barycenter> barycenter = BarycenterOf(ioRep, iFrame);
  if (!barycenter) return Failure{barycenter.Reason()};
  oBarycenter = barycenter->point;
  // The values do not depend on where the axes are oriented from.
  return PrincipalAxesOf(ioRep, 12, iFrame * barycenter->matrix, ZarMathPointf());
}

// Whether the model is the whole surface of the recognised box. The recognition render
// accepts any triangles on at most six box planes: an open box, or a box with a face covered
// only in part, passes. Six rectangles need at least 12 triangles, the most the render
// accepts; and the model must have the barycenter and second moments of the closed box of
// the recognised frame and dimensions, which a partial cover does not. Both are measured in
// the box's own frame, where the coordinates are small enough for single precision whatever
// the model's distance from the origin.
bool IsTheClosedBox(ZarRep& ioRoot, const Cuboid& iCuboid, int iTriangles) {
  if (iTriangles != 12) return false;
  const float d[3] = {static_cast<float>(iCuboid.dimensions[0]), static_cast<float>(iCuboid.dimensions[1]),
                      static_cast<float>(iCuboid.dimensions[2])};
  const ZarRef<Zar3DCuboidRep> box =
      AdoptCreated(Zar3DCuboidRep::CreateRep(ZarMathPointf(-d[0] / 2, -d[1] / 2, -d[2] / 2), ZarMathVectorf(d[0], 0, 0),
                                             ZarMathVectorf(0, d[1], 0), ZarMathVectorf(0, 0, d[2]), 2));
  ZarMathPointf modelCentre, boxCentre;
  const Outcome<PrincipalAxes> model = MomentsIn(ioRoot, IntoFrame(iCuboid.frame), modelCentre);
  const Outcome<PrincipalAxes> closed = MomentsIn(*box, Zar4x4Matrix(), boxCentre);
  if (!model || !closed) return false;
  const float tolerance = 1e-4f * std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  const float valueTolerance = 1e-4f * closed->values[0];
  return Near(modelCentre, boxCentre, tolerance) && std::fabs(model->values[0] - closed->values[0]) <= valueTolerance &&
         std::fabs(model->values[1] - closed->values[1]) <= valueTolerance &&
         std::fabs(model->values[2] - closed->values[2]) <= valueTolerance;
}

std::optional<Cuboid> CuboidOf(ZarRep& ioRoot, int iTriangles) {
  GeosigRecognitionRender render;
  render.Traverse(ioRoot);
  Cuboid cuboid;
  const bool recognised =
      render.IsACuboid() == 1 && render.GetCuboidPosition(cuboid.frame) == 0 &&
      render.GetCuboidDimension(cuboid.dimensions[0], cuboid.dimensions[1], cuboid.dimensions[2]) == 0 &&
      cuboid.dimensions[0] > 0 && cuboid.dimensions[1] > 0 && cuboid.dimensions[2] > 0 &&
      IsTheClosedBox(ioRoot, cuboid, iTriangles);
  if (!recognised) return std::nullopt;
  return cuboid;
}

// What is measured from the barycenter is undefined with it, for the same reason.
void LeaveUndefinedWithoutBarycenter(Descriptors& ioDescribed) {
  const Failure undefined{ioDescribed.barycenter.Reason()};
  ioDescribed.norm = undefined;
  ioDescribed.principalAxes = undefined;
  ioDescribed.symmetries = undefined;
  ioDescribed.normalisation = undefined;
}

Descriptors Describe(ZarRep& ioRoot) {
  Descriptors described;
  described.triangles = TriangleCount(ioRoot);
  if (described.triangles == 0) throw std::runtime_error("no triangle to describe");
  GeosigBBRender bounds;
  bounds.Traverse(ioRoot);
  const AxisAlignedBox& box = described.boundingBox;
  bounds.GetBoundingBox(described.boundingBox.min, described.boundingBox.max);
  bounds.GetBoundingCube(described.boundingCube.min, described.boundingCube.max);
  described.barycenter = BarycenterOf(ioRoot);
  if (!described.barycenter) {
    LeaveUndefinedWithoutBarycenter(described);
    return described;
  }

  Normalisation normalisation;
  normalisation.centring = described.barycenter->matrix;
  const Norm norm = NormOf(ioRoot, normalisation.centring);
  if (norm.matrix) normalisation.unitBall = norm.matrix.Value();
  described.norm = norm;
  // Oriented from the bounding box's centre, so that an asymmetric part gets the same axes
  // wherever it lies.
  const ZarMathPointf boxCentre((box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f,
                                (box.min.z + box.max.z) * 0.5f);
  described.principalAxes = PrincipalAxesOf(ioRoot, described.triangles, normalisation.centring, boxCentre);
  if (described.principalAxes) {
    normalisation.onPrincipalAxes = described.principalAxes->matrix;
    described.symmetries = SymmetriesOf(ioRoot, normalisation.centring * normalisation.onPrincipalAxes);
    described.normalisation = normalisation;
  } else {
    // Both are measured about the axes.
    const Failure undefined{described.principalAxes.Reason()};
    described.symmetries = undefined;
    described.normalisation = undefined;
  }
  described.cuboid = CuboidOf(ioRoot, described.triangles);
  return described;
}

}  // namespace

Outcome<Descriptors> DescribeModel(ZarRep& ioRoot) {
  try {
    return Describe(ioRoot);
  } catch (...) {
    return Failure{CurrentFailureReason()};
  }
}
