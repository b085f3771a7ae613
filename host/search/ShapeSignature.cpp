#include "ShapeSignature.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

#include "Descriptors.h"
#include "GeosigBBRender.h"
#include "GeosigOctreeRender.h"
#include "GeosigSymmetriesRender.h"
#include "MirrorMomentsRender.h"
#include "PitchRender.h"
#include "PlatformChecks.h"
#include "SubdividedModel.h"
#include "SurfaceAreaRender.h"
#include "Zar3DBagRep.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// Lets iRender see the model transformed by iFrame.
void TraverseIn(GeosigRender& ioRender, ZarRep& ioModel, const Zar4x4Matrix& iFrame) {
  const ZarRef<Zar3DBagRep> framed = AdoptCreated(Zar3DBagRep::CreateRep());
  CheckStatus(framed->SetMatrix(iFrame));
  CheckStatus(framed->AddChild(ioModel));
  ioRender.Traverse(*framed);
}

ZarMathVectorf BoxSize(ZarRep& ioModel, const Zar4x4Matrix& iFrame) {
  GeosigBBRender render;
  TraverseIn(render, ioModel, iFrame);
  ZarMathPointf low, high;
  if (ZarFailed(render.GetBoundingBox(low, high))) return {0.0f, 0.0f, 0.0f};
  return {high.x - low.x, high.y - low.y, high.z - low.z};
}

// A turn by iRadians in the plane of axes iFirst and iSecond (0, 1 or 2).
Zar4x4Matrix PlaneTurn(int iFirst, int iSecond, double iRadians) {
  double axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const double c = std::cos(iRadians), s = std::sin(iRadians);
  axes[iFirst][iFirst] = c;
  axes[iFirst][iSecond] = s;
  axes[iSecond][iFirst] = -s;
  axes[iSecond][iSecond] = c;
  return Zar4x4Matrix(ZarMathVector(axes[0][0], axes[0][1], axes[0][2]),
                      ZarMathVector(axes[1][0], axes[1][1], axes[1][2]),
                      ZarMathVector(axes[2][0], axes[2][1], axes[2][2]), ZarMathVector(0, 0, 0));
}

// The frame turned in the plane of two axes to the angle, within a quarter turn, whose box
// has the smallest section in that plane: a sweep in steps of 5 degrees, then two finer ones
// about the best angle so far, to 0.05 degrees.
Zar4x4Matrix SmallestBoxTurn(ZarRep& ioModel, const Zar4x4Matrix& iFrame, int iFirst, int iSecond) {
  const auto section = [&](double iRadians) {
    const ZarMathVectorf size = BoxSize(ioModel, iFrame * PlaneTurn(iFirst, iSecond, iRadians));
    const float extents[3] = {size.x, size.y, size.z};
    return static_cast<double>(extents[iFirst]) * extents[iSecond];
  };
  double best = 0.0, smallest = section(0.0);
  const struct {
    double step;
    int first, last;
  } sweeps[] = {{pi / 36, -9, 8}, {pi / 360, -5, 5}, {pi / 3600, -5, 5}};
  for (const auto& sweep : sweeps) {
    const double centre = best;
    for (int k = sweep.first; k <= sweep.last; ++k) {
      if (k == 0) continue;  // the centre is the best so far
      if (const double area = section(centre + k * sweep.step); area < smallest)
        smallest = area, best = centre + k * sweep.step;
    }
  }
  return iFrame * PlaneTurn(iFirst, iSecond, best);
}

bool NearlyEqual(float iLarger, float iSmaller) {
  return iLarger <= 0.0f || (iLarger - iSmaller) < ShapeSignature::AmbiguousGap * iLarger;
}

}  // namespace

ShapeSignature::ShapeSignature(float iNorm, const Global& iGlobal, VoxelGrid iOccupancy)
    : _norm(iNorm), _global(iGlobal), _occupancy(std::move(iOccupancy)) {}

bool ShapeSignature::FirstAxesAmbiguous(const Global& iGlobal) { return NearlyEqual(iGlobal[Value1], iGlobal[Value2]); }

bool ShapeSignature::LastAxesAmbiguous(const Global& iGlobal) { return NearlyEqual(iGlobal[Value2], iGlobal[Value3]); }

ShapeSignature::Global ShapeSignature::WithMirrorSimilarities(Global iTerms, const VoxelGrid& iOccupancy) {
  const std::array<float, 3> mirrors = MirrorSimilarities(iOccupancy);
  std::copy(mirrors.begin(), mirrors.end(), iTerms.begin() + MirrorX);
  return iTerms;
}

std::array<float, 3> ShapeSignature::MirrorSimilarities(const VoxelGrid& iOccupancy) {
  const VoxelGrid grown = iOccupancy.Dilated();
  std::array<float, 3> similarities{};
  for (std::size_t k = 0; k < 3; ++k) {
    AxisMap reflection;
    reflection.flip[k] = true;
    similarities[k] = static_cast<float>(1.0 - VoxelGrid::JaccardDistance(grown, grown.Mapped(reflection)));
  }
  return similarities;
}

ShapeSignature ShapeSignature::Compute(ZarRep& ioModel, unsigned int iDepth) {
  static_cast<void>(VoxelGrid(iDepth));  // checks the depth before any work
  const Outcome<Descriptors> described = DescribeModel(ioModel);
  if (!described) throw std::runtime_error(described.Reason());
  return Compute(ioModel, described.Value(), iDepth);
}

ShapeSignature ShapeSignature::Compute(ZarRep& ioModel, const Descriptors& iDescribed, unsigned int iDepth) {
  VoxelGrid occupancy(iDepth);  // checks the depth before any work
  ZarRep* model = &ioModel;
  const Descriptors* described = &iDescribed;
  ZarRef<ZarRep> subdivided;
  std::optional<Outcome<Descriptors>> subdividedDescription;
  if (iDescribed.triangles > 0 && iDescribed.triangles < FewestTriangles) {
    subdivided = SubdividedModel(ioModel, FewestTriangles);
    model = subdivided.get();
    subdividedDescription.emplace(DescribeModel(*model));
    if (!*subdividedDescription) throw std::runtime_error(subdividedDescription->Reason());
    described = &subdividedDescription->Value();
  }
  const Descriptors& pose = *described;
  if (!pose.barycenter) throw std::runtime_error(pose.barycenter.Reason());
  if (!pose.norm) throw std::runtime_error(pose.norm.Reason());
  if (!pose.norm->matrix) throw std::runtime_error(pose.norm->matrix.Reason());
  if (!pose.principalAxes) throw std::runtime_error(pose.principalAxes.Reason());

  Global global{};
  const float norm = pose.norm->value;
  for (int k = 0; k < 3; ++k) global[Value1 + k] = pose.principalAxes->values[k] / (norm * norm);
  Zar4x4Matrix frame = pose.normalisation->Matrix();
  if (FirstAxesAmbiguous(global)) frame = SmallestBoxTurn(*model, frame, 0, 1);
  if (LastAxesAmbiguous(global)) frame = SmallestBoxTurn(*model, frame, 1, 2);

  const ZarMathVectorf size = BoxSize(*model, frame);
  global[Extent1] = size.x, global[Extent2] = size.y, global[Extent3] = size.z;
  GeosigSymmetriesRender symmetries;
  TraverseIn(symmetries, *model, frame);
  symmetries.GetSymmetries(global[SymmetryX], global[SymmetryY], global[SymmetryZ]);
  for (int k = SymmetryX; k <= SymmetryZ; ++k) global[k] = global[k] > 0.0f ? 1.0f : 0.0f;
  MirrorMomentsRender moments;
  TraverseIn(moments, *model, frame);
  const std::array<double, 3> asymmetries = moments.Asymmetries();
  for (int k = 0; k < 3; ++k) global[AsymmetryX + k] = static_cast<float>(asymmetries[k]);
  PitchRender pitch(Reach);
  TraverseIn(pitch, *model, frame);
  global[Pitch] = static_cast<float>(pitch.Pitch());
  SurfaceAreaRender area;
  TraverseIn(area, *model, frame);
  global[Area] = static_cast<float>(area.Area());

  GeosigOctreeRender voxels(ZarMathPointf(-Reach, -Reach, -Reach), ZarMathPointf(Reach, Reach, Reach), iDepth);
  TraverseIn(voxels, *model, frame);
  GeosigOctree* octree = nullptr;
  if (ZarSucceeded(voxels.GetOctree(&octree))) {
    const std::unique_ptr<GeosigOctree> owned(octree);
    occupancy = VoxelGrid::FromOctree(*owned);
  }
  // The model has triangles (it has a pose), so an empty occupancy means the octree ran out of storage.
  if (occupancy.Count() == 0) throw std::bad_alloc();
  global = WithMirrorSimilarities(global, occupancy);
  return ShapeSignature(norm, global, std::move(occupancy));
}
