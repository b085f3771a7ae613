#include "DescriptorSections.h"

#include <cmath>
#include <stdexcept>

#include "GeosigBBRender.h"
#include "GeosigBarycenterRender.h"
#include "GeosigCountRender.h"
#include "GeosigNormRender.h"
#include "GeosigPrincipleAxisRender.h"
#include "GeosigRecognitionRender.h"
#include "GeosigSymmetriesRender.h"
#include "PlatformChecks.h"
#include "Zar3DBagRep.h"

// What the sections learn that later ones need: the model is described in the world frame
// first, then centred on its barycenter, scaled into the unit ball and turned onto its
// principal axes, the three matrices of the normalisation.
struct DescribeState {
  explicit DescribeState(ZarRep& ioRoot) : root(ioRoot) {}

  ZarRep& root;
  int triangles = 0;
  ZarMathPointf boxMin, boxMax;
  Zar4x4Matrix centring;
  Zar4x4Matrix unitBall;
  Zar4x4Matrix onPrincipalAxes;
};

namespace {

// Lets iRender see the model transformed by iFrame, as if the root had that matrix. The
// bag lets go of the root when it goes.
void TraverseIn(GeosigRender& ioRender, ZarRep& ioRoot, const Zar4x4Matrix& iFrame) {
  const ZarRef<Zar3DBagRep> framed = AdoptCreated(Zar3DBagRep::CreateRep());
  CheckStatus(framed->SetMatrix(iFrame));
  CheckStatus(framed->AddChild(ioRoot));
  ioRender.Traverse(*framed);
}

Report TriangleCount(DescribeState& ioState) {
  GeosigCountRender render;
  render.Traverse(ioState.root);
  render.GetTriangleNumber(ioState.triangles);
  if (ioState.triangles == 0) throw std::runtime_error("no triangle to describe");
  return ioState.triangles;
}

Report Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  return {{"min", ReportPoint(iMin)},
          {"max", ReportPoint(iMax)},
          {"size", ReportTriple(iMax.x - iMin.x, iMax.y - iMin.y, iMax.z - iMin.z)}};
}

Report BoundingBox(DescribeState& ioState) {
  GeosigBBRender render;
  render.Traverse(ioState.root);
  render.GetBoundingBox(ioState.boxMin, ioState.boxMax);
  return Box(ioState.boxMin, ioState.boxMax);
}

Report BoundingCube(DescribeState& ioState) {
  GeosigBBRender render;
  render.Traverse(ioState.root);
  ZarMathPointf low, high;
  render.GetBoundingCube(low, high);
  return Box(low, high);
}

// Null when the triangles have no area to weigh; the model then stays where it is.
Report Barycenter(DescribeState& ioState) {
  GeosigBarycenterRender render;
  render.Traverse(ioState.root);
  ZarMathPointf barycenter;
  if (ZarFailed(render.GetBarycenter(barycenter)) || ZarFailed(render.GetMatrix(ioState.centring))) return nullptr;
  return {{"point", ReportPoint(barycenter)}, {"matrix", ReportMatrix(ioState.centring)}};
}

// About the barycenter; the matrix is null for a model too small to scale.
Report Norm(DescribeState& ioState) {
  GeosigNormRender render;
  TraverseIn(render, ioState.root, ioState.centring);
  float norm = 0.0f;
  render.GetNorm(norm);
  const bool scalable = ZarSucceeded(render.GetMatrix(ioState.unitBall));
  return {{"value", ReportNumber(norm)}, {"matrix", scalable ? ReportMatrix(ioState.unitBall) : Report()}};
}

// About the barycenter. The first and third axes point from the bounding box's centre
// towards the barycenter, so that an asymmetric part gets the same axes wherever it lies.
Report PrincipalAxes(DescribeState& ioState) {
  const ZarMathPointf boxCentre((ioState.boxMin.x + ioState.boxMax.x) * 0.5f,
                                (ioState.boxMin.y + ioState.boxMax.y) * 0.5f,
                                (ioState.boxMin.z + ioState.boxMax.z) * 0.5f);
  GeosigPrincipleAxisRender render(ioState.triangles, ioState.centring * boxCentre);
  TraverseIn(render, ioState.root, ioState.centring);
  float values[3];
  ZarMathVectorf axes[3];
  if (ZarFailed(render.GetPrincipalAxis(values[0], axes[0], values[1], axes[1], values[2], axes[2])) ||
      ZarFailed(render.GetMatrix(ioState.onPrincipalAxes)))
    return nullptr;
  return {{"values", ReportTriple(values[0], values[1], values[2])},
          {"axes", {ReportVector(axes[0]), ReportVector(axes[1]), ReportVector(axes[2])}},
          {"matrix", ReportMatrix(ioState.onPrincipalAxes)}};
}

// About the planes through the barycenter normal to the principal axes.
Report Symmetries(DescribeState& ioState) {
  GeosigSymmetriesRender render;
  TraverseIn(render, ioState.root, ioState.centring * ioState.onPrincipalAxes);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  render.GetSymmetries(x, y, z);
  Zar4x4Matrix diagonal;
  render.GetMatrix(diagonal);
  return {{"x", x > 0.0f}, {"y", y > 0.0f}, {"z", z > 0.0f}, {"matrix", ReportMatrix(diagonal)}};
}

// The recognised box must also fill the model's bounding box: a shape with fewer than six
// face planes (one face, an open box) passes the render's own test with made-up planes.
bool FillsTheBox(const Zar4x4Matrix& iFrame, const double iDimensions[3], const DescribeState& iState) {
  ZarMathPoint low(INFINITY, INFINITY, INFINITY), high(-INFINITY, -INFINITY, -INFINITY);
  for (int corner = 0; corner < 8; ++corner) {
    const ZarMathPoint local((corner & 1 ? 0.5 : -0.5) * iDimensions[0], (corner & 2 ? 0.5 : -0.5) * iDimensions[1],
                             (corner & 4 ? 0.5 : -0.5) * iDimensions[2]);
    const ZarMathPoint world = iFrame * local;
    low = {std::fmin(low.x, world.x), std::fmin(low.y, world.y), std::fmin(low.z, world.z)};
    high = {std::fmax(high.x, world.x), std::fmax(high.y, world.y), std::fmax(high.z, world.z)};
  }
  const ZarMathPoint boxLow(iState.boxMin), boxHigh(iState.boxMax);
  const double tolerance = 1e-4 * boxLow.DistanceTo(boxHigh);
  return low.DistanceTo(boxLow) <= tolerance && high.DistanceTo(boxHigh) <= tolerance;
}

Report Cuboid(DescribeState& ioState) {
  GeosigRecognitionRender render;
  render.Traverse(ioState.root);
  Zar4x4Matrix frame;
  double dimensions[3] = {0, 0, 0};
  const bool cuboid = render.IsACuboid() == 1 && render.GetCuboidPosition(frame) == 0 &&
                      render.GetCuboidDimension(dimensions[0], dimensions[1], dimensions[2]) == 0 &&
                      dimensions[0] > 0 && dimensions[1] > 0 && dimensions[2] > 0 &&
                      FillsTheBox(frame, dimensions, ioState);
  if (!cuboid) return {{"isCuboid", false}};
  return {{"isCuboid", true},
          {"frame", ReportMatrix(frame)},
          {"dimensions", ReportTriple(static_cast<float>(dimensions[0]), static_cast<float>(dimensions[1]),
                                      static_cast<float>(dimensions[2]))}};
}

Report Normalisation(DescribeState& ioState) {
  return {{"matrix", ReportMatrix(ioState.centring * ioState.unitBall * ioState.onPrincipalAxes)}};
}

}  // namespace

const std::vector<DescriptorSection>& DescriptorSections() {
  static const std::vector<DescriptorSection> sections = {
      {"triangles", "triangles", TriangleCount},
      {"boundingBox", "bounding box", BoundingBox},
      {"boundingCube", "bounding cube", BoundingCube},
      {"barycenter", "barycenter", Barycenter},
      {"norm", "norm", Norm},
      {"principalAxes", "principal axes", PrincipalAxes},
      {"symmetries", "symmetries", Symmetries},
      {"cuboid", "cuboid", Cuboid},
      {"normalisation", "normalisation", Normalisation},
  };
  return sections;
}

Report DescribeTree(ZarRep& ioRoot) {
  DescribeState state(ioRoot);
  Report descriptors = Report::object();
  for (const DescriptorSection& section : DescriptorSections()) descriptors[section.key] = section.compute(state);
  return descriptors;
}
