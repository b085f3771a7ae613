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

Outcome<Barycenter> BarycenterOf(ZarRep& ioRoot) {
  GeosigBarycenterRender render;
  render.Traverse(ioRoot);
  Barycenter barycenter;
  if (ZarFailed(render.GetBarycenter(barycenter.point)) || ZarFailed(render.GetMatrix(barycenter.matrix)))
    return Failure{"the triangles have no area"};
  return barycenter;
}

Outcome<Norm> NormOf(ZarRep& ioRoot, const Zar4x4Matrix& iCentring) {
  GeosigNormRender render;
  TraverseIn(render, ioRoot, iCentring);
  Norm norm;
  render.GetNorm(norm.value);
  Zar4x4Matrix scaling;
  if (ZarSucceeded(render.GetMatrix(scaling))) norm.matrix = scaling;
  return norm;
}

// The first and third axes point from the bounding box's centre towards the barycenter, so
// that an asymmetric part gets the same axes wherever it lies.
Outcome<PrincipalAxes> PrincipalAxesOf(ZarRep& ioRoot, const Descriptors& iDescribed) {
  const AxisAlignedBox& box = iDescribed.boundingBox;
  const ZarMathPointf boxCentre((box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f,
                                (box.min.z + box.max.z) * 0.5f);
  const Zar4x4Matrix& centring = iDescribed.normalisation.centring;
  GeosigPrincipleAxisRender render(iDescribed.triangles, centring * boxCentre);
  TraverseIn(render, ioRoot, centring);
  PrincipalAxes principal;
  if (ZarFailed(render.GetPrincipalAxis(principal.values[0], principal.axes[0], principal.values[1],
                                        principal.axes[1], principal.values[2], principal.axes[2])) ||
      ZarFailed(render.GetMatrix(principal.matrix)))
    return Failure{"the second moments cannot be computed"};
  return principal;
}

Outcome<Symmetries> SymmetriesOf(ZarRep& ioRoot, const Normalisation& iNormalisation) {
  GeosigSymmetriesRender render;
  TraverseIn(render, ioRoot, iNormalisation.centring * iNormalisation.onPrincipalAxes);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  render.GetSymmetries(x, y, z);
  Symmetries symmetries;
  symmetries.x = x > 0.0f;
  symmetries.y = y > 0.0f;
  symmetries.z = z > 0.0f;
  render.GetMatrix(symmetries.matrix);
  return symmetries;
}

// The recognised box must also fill the model's bounding box: a shape with fewer than six
// face planes (one face, an open box) passes the render's own test with made-up planes.
bool FillsTheBox(const Cuboid& iCuboid, const AxisAlignedBox& iBox) {
  ZarMathPoint low(INFINITY, INFINITY, INFINITY), high(-INFINITY, -INFINITY, -INFINITY);
  for (int corner = 0; corner < 8; ++corner) {
    const ZarMathPoint local((corner & 1 ? 0.5 : -0.5) * iCuboid.dimensions[0],
                             (corner & 2 ? 0.5 : -0.5) * iCuboid.dimensions[1],
                             (corner & 4 ? 0.5 : -0.5) * iCuboid.dimensions[2]);
    const ZarMathPoint world = iCuboid.frame * local;
    low = {std::fmin(low.x, world.x), std::fmin(low.y, world.y), std::fmin(low.z, world.z)};
    high = {std::fmax(high.x, world.x), std::fmax(high.y, world.y), std::fmax(high.z, world.z)};
  }
  const ZarMathPoint boxLow(iBox.min), boxHigh(iBox.max);
  const double tolerance = 1e-4 * boxLow.DistanceTo(boxHigh);
  return low.DistanceTo(boxLow) <= tolerance && high.DistanceTo(boxHigh) <= tolerance;
}

std::optional<Cuboid> CuboidOf(ZarRep& ioRoot, const AxisAlignedBox& iBox) {
  GeosigRecognitionRender render;
  render.Traverse(ioRoot);
  Cuboid cuboid;
  const bool recognised = render.IsACuboid() == 1 && render.GetCuboidPosition(cuboid.frame) == 0 &&
                          render.GetCuboidDimension(cuboid.dimensions[0], cuboid.dimensions[1],
                                                    cuboid.dimensions[2]) == 0 &&
                          cuboid.dimensions[0] > 0 && cuboid.dimensions[1] > 0 && cuboid.dimensions[2] > 0 &&
                          FillsTheBox(cuboid, iBox);
  if (!recognised) return std::nullopt;
  return cuboid;
}

Descriptors Describe(ZarRep& ioRoot) {
  Descriptors described;
  described.triangles = TriangleCount(ioRoot);
  if (described.triangles == 0) throw std::runtime_error("no triangle to describe");
  GeosigBBRender bounds;
  bounds.Traverse(ioRoot);
  bounds.GetBoundingBox(described.boundingBox.min, described.boundingBox.max);
  bounds.GetBoundingCube(described.boundingCube.min, described.boundingCube.max);

  Normalisation& normalisation = described.normalisation;
  described.barycenter = BarycenterOf(ioRoot);
  if (described.barycenter) normalisation.centring = described.barycenter->matrix;
  described.norm = NormOf(ioRoot, normalisation.centring);
  if (described.norm && described.norm->matrix) normalisation.unitBall = described.norm->matrix.Value();
  described.principalAxes = PrincipalAxesOf(ioRoot, described);
  if (described.principalAxes) normalisation.onPrincipalAxes = described.principalAxes->matrix;
  described.symmetries = SymmetriesOf(ioRoot, normalisation);
  described.cuboid = CuboidOf(ioRoot, described.boundingBox);
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
