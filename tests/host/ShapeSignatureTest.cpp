// The shape signature and its distance: invariance to pose, scale and triangulation, the
// frames left open by equal principal values, and the voxel grid's own operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include "AxisMap.h"
#include "Descriptors.h"
#include "GeosigOctreeRender.h"
#include "OctreeCensus.h"
#include "SceneBuilder.h"
#include "SearchTestShapes.h"
#include "SignatureMetric.h"
#include "SubdividedModel.h"
#include "SyntheticSignatures.h"

namespace {

ShapeSignature SignatureOf(const ZarTessellation& iMesh, const Zar4x4Matrix& iPlacement = Zar4x4Matrix()) {
  const ZarRef<Zar3DBagRep> model = scene::Bag(iPlacement, {scene::Surface(iMesh).get()});
  return ShapeSignature::Compute(*model);
}

// The unit square in the plane z = 0 as iCells x iCells pairs of triangles.
ZarTessellation UnitSquare(unsigned int iCells) {
  ZarTessellation square;
  for (unsigned int i = 0; i <= iCells; ++i)
    for (unsigned int j = 0; j <= iCells; ++j)
      square.vertices.insert(square.vertices.end(), {float(i) / iCells, float(j) / iCells, 0.0f});
  for (unsigned int i = 0; i < iCells; ++i)
    for (unsigned int j = 0; j < iCells; ++j) {
      const unsigned int a = i * (iCells + 1) + j, b = a + iCells + 1;
      square.triangles.insert(square.triangles.end(), {a, b, b + 1, a, b + 1, a + 1});
    }
  return square;
}

Zar4x4Matrix Pose(double iAngle) { return scene::Rotation(0.36, 0.48, 0.8, iAngle) * scene::Translation(40, -7, 12.5); }

void ExpectSameTerms(const ShapeSignature& iA, const ShapeSignature& iB, float iTolerance) {
  for (int k = 0; k < ShapeSignature::TermCount; ++k)
    EXPECT_NEAR(iA.Terms()[k], iB.Terms()[k], iTolerance * std::max(1.0f, std::fabs(iA.Terms()[k]))) << "term " << k;
}

TEST(ShapeSignature, SquareOfTwoTrianglesHasTheSignatureOfItsFinerTriangulation) {
  // Unsubdivided, two triangles take the principal axes' precision mode and other values.
  const ZarRef<ZarSurfacicRep> coarse = scene::Surface(UnitSquare(1));
  const Outcome<Descriptors> raw = DescribeModel(*coarse);
  ASSERT_TRUE(raw && raw->principalAxes);
  EXPECT_NEAR(raw->principalAxes->values[0], 0.1096f, 1e-3f);
  EXPECT_NEAR(raw->principalAxes->values[1], 0.0467f, 1e-3f);

  const ShapeSignature two = SignatureOf(UnitSquare(1)), many = SignatureOf(UnitSquare(4));
  EXPECT_FLOAT_EQ(two.Norm(), many.Norm());
  // The same within float rounding and the resolution of the frame's turn in the square's plane.
  ExpectSameTerms(two, many, 1e-3f);
  EXPECT_NEAR(two.Terms()[ShapeSignature::Value1] * two.Norm() * two.Norm(), 1.0f / 12, 1e-5f);
  EXPECT_NEAR(two.Terms()[ShapeSignature::Value2] * two.Norm() * two.Norm(), 1.0f / 12, 1e-5f);
  EXPECT_EQ(VoxelGrid::JaccardDistance(two.Occupancy(), many.Occupancy()), 0.0);
}

TEST(ShapeSignature, SubdivisionKeepsTheSurfaceAndReachesTheTriangleCount) {
  const ZarRef<ZarSurfacicRep> triangle = scene::Surface(scene::Triangle({0, 0, 0}, {2, 0, 0}, {0, 1, 0}));
  const ZarRef<ZarRep> split = SubdividedModel(*triangle, 12);
  RecordingRender recorder;
  recorder.Traverse(*split);
  EXPECT_EQ(recorder.triangles.size(), 16u);  // 1 -> 4 -> 16
  double area = 0;
  for (const RecordedTriangle& t : recorder.triangles)
    area += 0.5 * std::fabs((t.b.x - t.a.x) * (t.c.y - t.a.y) - (t.c.x - t.a.x) * (t.b.y - t.a.y));
  EXPECT_NEAR(area, 1.0, 1e-6);
}

TEST(ShapeSignature, PoseAndScaleChangeNothingButTheNorm) {
  const ShapeSignature original = SignatureOf(Bracket());
  const ShapeSignature moved = SignatureOf(Bracket(), Pose(1.1));
  const ShapeSignature scaled = SignatureOf(Bracket(), scene::Scaling(3.0) * Pose(-2.0));
  const SignatureMetric metric(false), anySize(true);
  // The box in the principal frame follows the float rounding of the axes.
  ExpectSameTerms(original, moved, 5e-3f);
  ExpectSameTerms(original, scaled, 5e-3f);
  EXPECT_LT(metric.Compare(original, moved).combined, 0.05);
  EXPECT_NEAR(scaled.Norm(), 3.0f * original.Norm(), 1e-4f * scaled.Norm());
  const DistanceParts toScaled = anySize.Compare(original, scaled);
  EXPECT_NEAR(toScaled.size, std::log(3.0), 1e-4);
  EXPECT_LT(toScaled.combined, 0.05);
  EXPECT_NEAR(metric.Compare(original, scaled).combined,
              std::hypot(toScaled.combined, metric.Weights().size * std::log(3.0)), 1e-4);
}

TEST(ShapeSignature, SquarePlateFindsItsFrameWhateverItsTurnInItsPlane) {
  // Equal principal values leave the in-plane axes to the solver's whim.
  const ZarTessellation plate = scene::Box({-2, -2, -0.2f}, {2, 2, 0.2f});
  const ShapeSignature reference = SignatureOf(plate);
  EXPECT_TRUE(reference.FirstAxesAmbiguous());
  const SignatureMetric metric(false);
  for (const double angle : {0.3, 0.7, 1.2}) {
    SCOPED_TRACE(angle);
    const ShapeSignature turned = SignatureOf(plate, scene::Rotation(0, 0, 1, angle) * Pose(angle));
    EXPECT_LT(metric.Compare(reference, turned).occupancy, 0.1);
    EXPECT_NEAR(turned.Terms()[ShapeSignature::Extent1], turned.Terms()[ShapeSignature::Extent2], 1e-2f);
  }
}

TEST(ShapeSignature, DistanceTellsShapesApartAndIsSymmetric) {
  const ShapeSignature bracket = SignatureOf(Bracket()), box = SignatureOf(scene::Box({0, 0, 0}, {3, 1.5f, 2}));
  const SignatureMetric metric(false);
  const DistanceParts ab = metric.Compare(bracket, box), ba = metric.Compare(box, bracket);
  EXPECT_GT(ab.occupancy, 0.3);
  EXPECT_DOUBLE_EQ(ab.occupancy, ba.occupancy);
  EXPECT_DOUBLE_EQ(ab.combined, ba.combined);
  EXPECT_EQ(metric.Compare(bracket, bracket).combined, 0.0);
}

TEST(ShapeSignature, SizeComparesTheRadiusAlongEachAxis) {
  ShapeSignature::Global global{};
  global[ShapeSignature::Value1] = 0.25f, global[ShapeSignature::Value2] = 0.04f,
  global[ShapeSignature::Value3] = 0.01f;
  const ShapeKey part = ShapeKey::Of(global, 10.0f);
  // Twice the size: every radius doubles.
  EXPECT_NEAR(SignatureMetric::SizeDistance(part, ShapeKey::Of(global, 20.0f)), std::log(2.0), 1e-6);
  // The same norm, half the thickness: the norm alone would see no difference.
  ShapeSignature::Global thinner = global;
  thinner[ShapeSignature::Value3] = 0.0025f;
  EXPECT_NEAR(SignatureMetric::SizeDistance(part, ShapeKey::Of(thinner, 10.0f)), std::log(2.0) / 3, 1e-6);
  // Below the floor every thickness is flat.
  ShapeSignature::Global flat = global, hair = global;
  flat[ShapeSignature::Value3] = 0.0f;
  hair[ShapeSignature::Value3] = 0.1f * ShapeKey::AxisFloor * ShapeKey::AxisFloor;
  EXPECT_EQ(SignatureMetric::SizeDistance(ShapeKey::Of(flat, 10.0f), ShapeKey::Of(hair, 10.0f)), 0.0);
}

TEST(ShapeSignature, SizeComparesPitchesInModelUnitsWhereBothPartsRepeatAFeature) {
  ShapeSignature::Global global{};
  global[ShapeSignature::Value1] = 0.25f, global[ShapeSignature::Value2] = 0.04f,
  global[ShapeSignature::Value3] = 0.01f, global[ShapeSignature::Pitch] = 0.1f;
  // The same pitch in model units: a longer row of the same pins, or the same row scaled.
  ShapeSignature::Global longer = global;
  longer[ShapeSignature::Pitch] = 0.05f;
  const double radii = std::log(2.0);  // every radius doubles
  EXPECT_NEAR(SignatureMetric::SizeDistance(ShapeKey::Of(global, 10.0f), ShapeKey::Of(longer, 20.0f)), radii, 1e-6);
  EXPECT_NEAR(SignatureMetric::SizeDistance(ShapeKey::Of(global, 10.0f), ShapeKey::Of(global, 12.7f)),
              std::hypot(std::log(1.27), ShapeKey::PitchSay * std::log(1.27)), 1e-6);
  // A period found at several times the pitch counts for no more than the cap.
  ShapeSignature::Global quarter = global;
  quarter[ShapeSignature::Pitch] = 0.025f;
  EXPECT_NEAR(SignatureMetric::SizeDistance(ShapeKey::Of(global, 10.0f), ShapeKey::Of(quarter, 10.0f)),
              ShapeKey::PitchSay * ShapeKey::PitchCap, 1e-6);
  // Without a pitch on either side, or not measured, the radii alone.
  for (const float none : {0.0f, ShapeSignature::Unmeasured}) {
    ShapeSignature::Global without = global;
    without[ShapeSignature::Pitch] = none;
    EXPECT_NEAR(SignatureMetric::SizeDistance(ShapeKey::Of(global, 10.0f), ShapeKey::Of(without, 20.0f)), radii, 1e-6);
  }
}

TEST(ShapeSignature, MeasuringWithinALimitDropsOnlyDistancesBeyondIt) {
  std::mt19937 random(23);
  const SignatureMetric metric(false);
  int dropped = 0;
  for (int pair = 0; pair < 40; ++pair) {
    const ShapeSignature a = RandomSignature(random), b = RandomSignature(random);
    const OccupancyPoses poses(a.Occupancy());
    const ShapeKey keyA = ShapeKey::Of(a.Terms(), a.Norm()), keyB = ShapeKey::Of(b.Terms(), b.Norm());
    const DistanceParts full = metric.Measure(poses, keyA, keyB, PosedOccupancy::Of(b.Occupancy()));
    for (const double limit : {std::numeric_limits<double>::infinity(), full.combined,
                               std::nextafter(full.combined, 0.0), 0.5 * full.combined}) {
      const std::optional<DistanceParts> within =
          metric.MeasureWithin(poses, keyA, keyB, CandidateOccupancy(b.Occupancy()), limit);
      if (!within) {
        EXPECT_GT(full.combined, limit);
        ++dropped;
        continue;
      }
      EXPECT_EQ(within->combined, full.combined);
      EXPECT_EQ(within->occupancy, full.occupancy);
      EXPECT_EQ(within->views, full.views);
      EXPECT_EQ(within->mirrored, full.mirrored);
    }
  }
  EXPECT_GT(dropped, 10);  // the limit saves work, not only in theory
}

TEST(ShapeSignature, OnlyPartsFarFromTheirOwnMirrorImageHaveMirrorImages) {
  std::mt19937 random(31);
  const ShapeSignature blob = RandomSignature(random);
  ShapeSignature::Global distinctValues = blob.Terms();
  distinctValues[ShapeSignature::Value1] = 0.5f;
  distinctValues[ShapeSignature::Value2] = 0.4f;
  distinctValues[ShapeSignature::Value3] = 0.1f;
  ASSERT_FALSE(ShapeSignature::FirstAxesAmbiguous(distinctValues) || ShapeSignature::LastAxesAmbiguous(distinctValues));
  const SignatureMetric metric(false);
  const auto mapped = [&](const VoxelGrid& iOccupancy, const AxisMap& iMap) {
    return metric.Compare(ShapeSignature(1.0f, distinctValues, iOccupancy),
                          ShapeSignature(1.0f, distinctValues, iOccupancy.Mapped(iMap)));
  };
  // A handed blob and its mirror image through one principal plane.
  const DistanceParts handed = mapped(blob.Occupancy(), AxisMap{{0, 1, 2}, {true, false, false}});
  EXPECT_EQ(handed.occupancy, 0.0);
  EXPECT_TRUE(handed.mirrored);
  // The blob made symmetric about the plane y = 0 but for a few cells: its mirror image is
  // nearer to it under a reflection than under any turn, by more than the margin, yet it is as
  // near as near-identical parts are under a turn, and has no hand to tell.
  VoxelGrid nearlySymmetric(blob.Occupancy().Depth());
  const unsigned int last = nearlySymmetric.Side() - 1;
  blob.Occupancy().ForEachCell([&](unsigned int iX, unsigned int iY, unsigned int iZ) {
    nearlySymmetric.Set(iX, iY, iZ);
    nearlySymmetric.Set(iX, last - iY, iZ);
  });
  std::array<unsigned int, 3> lowest = {last, last, last};
  blob.Occupancy().ForEachCell([&](unsigned int iX, unsigned int iY, unsigned int iZ) {
    lowest = std::min(lowest, {iX, iY, iZ});
  });
  ASSERT_GE(lowest[0], 3u);
  for (unsigned int k = 1; k <= 3; ++k) nearlySymmetric.Set(lowest[0] - k, lowest[1], lowest[2]);
  const AxisMap mirror{{0, 1, 2}, {false, true, false}};
  const OccupancyPoses poses(nearlySymmetric);
  const PosedOccupancy mirrored = PosedOccupancy::Of(nearlySymmetric.Mapped(mirror));
  double bestTurn = 1.0;
  for (std::size_t map = 0; map < SignatureMetric::MapCount; ++map)
    if (!SignatureMetric::Maps()[map].Mirrors())
      bestTurn = std::min(bestTurn, metric.Posed(VoxelGrid::JaccardDistance(poses[map].grown, mirrored.grown),
                                                 DepthViews::Distance(poses[map].views, mirrored.views)));
  const double weights = metric.Weights().occupancy + metric.Weights().views;
  ASSERT_GT(bestTurn, SignatureMetric::MirrorMargin * weights);
  ASSERT_LT(bestTurn, SignatureMetric::HandedFloor);
  const DistanceParts nearly = mapped(nearlySymmetric, mirror);
  EXPECT_EQ(nearly.occupancy, 0.0);
  EXPECT_FALSE(nearly.mirrored);
}

TEST(ShapeSignature, MirrorSimilarityIsTakenThroughTheCubesCentralPlanes) {
  // One cell just off the centre in y and z, far off it in x; grown, it is a block of 3^3 cells.
  VoxelGrid cell(5);
  cell.Set(10, 16, 16);
  // Its reflection through x = 0 is a block far from it; through y = 0 (cells 15..17 onto 14..16)
  // and z = 0, one that shares two of its three layers: 18 cells of 36.
  EXPECT_EQ(ShapeSignature::MirrorSimilarities(cell), (std::array<float, 3>{0.0f, 0.5f, 0.5f}));
  // A reflection or a turn of the axes' signs leaves every similarity as it was.
  EXPECT_EQ(ShapeSignature::MirrorSimilarities(cell.Mapped(AxisMap{{0, 1, 2}, {true, true, false}})),
            ShapeSignature::MirrorSimilarities(cell));
}

TEST(ShapeSignature, ModelWithoutAPoseOrWithABadDepthIsRefused) {
  const ZarRef<ZarSurfacicRep> flat = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}));
  EXPECT_THROW(ShapeSignature::Compute(*flat), std::runtime_error);
  const ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  EXPECT_THROW(ShapeSignature::Compute(*box, 0), std::invalid_argument);
  EXPECT_THROW(ShapeSignature::Compute(*box, VoxelGrid::MaxDepth + 1), std::invalid_argument);
  EXPECT_EQ(ShapeSignature::Compute(*box, 3).Occupancy().Side(), 8u);
}

TEST(AxisMap, TurnsAndReflectionsAreAsManyAsTheAmbiguityAllowsAndOfTheirHandedness) {
  const std::pair<bool, bool> cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  const std::size_t counts[] = {4, 8, 8, 24};
  const auto determinant = [](const AxisMap& iMap) {
    double m[3][3] = {};
    for (int k = 0; k < 3; ++k) m[k][iMap.axis[k]] = iMap.flip[k] ? -1 : 1;
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  for (int c = 0; c < 4; ++c) {
    const std::vector<AxisMap> turns = AxisMap::Turns(cases[c].first, cases[c].second);
    const std::vector<AxisMap> reflections = AxisMap::Reflections(cases[c].first, cases[c].second);
    EXPECT_EQ(turns.size(), counts[c]);
    EXPECT_EQ(reflections.size(), counts[c]);
    for (const AxisMap& turn : turns) {
      EXPECT_EQ(determinant(turn), 1.0);
      EXPECT_FALSE(turn.Mirrors());
    }
    for (const AxisMap& reflection : reflections) {
      EXPECT_EQ(determinant(reflection), -1.0);
      EXPECT_TRUE(reflection.Mirrors());
      EXPECT_TRUE(reflection.Within(cases[c].first, cases[c].second));
    }
  }
}

TEST(VoxelGrid, CellOperations) {
  VoxelGrid grid(5);
  grid.Set(0, 0, 0);
  grid.Set(30, 2, 17);
  EXPECT_EQ(grid.Count(), 2u);
  // A corner cell grows into its 8-cell cube, an inner one into 27.
  EXPECT_EQ(grid.Dilated().Count(), 8u + 27u);
  // Every cell within one step on each axis of an occupied one, at every depth, the last row of 64 included.
  std::mt19937 random(5);
  for (unsigned int depth = 1; depth <= VoxelGrid::MaxDepth; ++depth) {
    VoxelGrid sparse(depth);
    std::uniform_int_distribution<unsigned int> cell(0, sparse.Side() - 1);
    for (int k = 0; k < 12; ++k) sparse.Set(cell(random), cell(random), cell(random));
    sparse.Set(sparse.Side() - 1, sparse.Side() - 1, sparse.Side() - 1);
    const VoxelGrid dilated = sparse.Dilated();
    const auto near = [&](unsigned int iX, unsigned int iY, unsigned int iZ) {
      for (unsigned int x = iX > 0 ? iX - 1 : 0; x <= iX + 1 && x < sparse.Side(); ++x)
        for (unsigned int y = iY > 0 ? iY - 1 : 0; y <= iY + 1 && y < sparse.Side(); ++y)
          for (unsigned int z = iZ > 0 ? iZ - 1 : 0; z <= iZ + 1 && z < sparse.Side(); ++z)
            if (sparse.Test(x, y, z)) return true;
      return false;
    };
    for (unsigned int x = 0; x < sparse.Side(); ++x)
      for (unsigned int y = 0; y < sparse.Side(); ++y)
        for (unsigned int z = 0; z < sparse.Side(); ++z) ASSERT_EQ(dilated.Test(x, y, z), near(x, y, z)) << depth;
  }
  const VoxelGrid pooled = grid.Pooled(3);
  EXPECT_TRUE(pooled.Test(7, 0, 4));
  EXPECT_EQ(pooled.Count(), 2u);
  // New x is old -y, new y is old x.
  const VoxelGrid turned = grid.Mapped({{1, 0, 2}, {true, false, false}});
  EXPECT_TRUE(turned.Test(31, 0, 0));
  EXPECT_TRUE(turned.Test(29, 30, 17));

  // Every map of the frame takes every cell where its definition says, at every depth.
  for (unsigned int depth = 1; depth <= VoxelGrid::MaxDepth; ++depth) {
    VoxelGrid sparse(depth);
    const unsigned int last = sparse.Side() - 1;
    std::uniform_int_distribution<unsigned int> cell(0, last);
    for (int k = 0; k < 20; ++k) sparse.Set(cell(random), cell(random), cell(random));
    sparse.Set(last, 0, last);
    for (const AxisMap& map : SignatureMetric::Maps()) {
      VoxelGrid expected(depth);
      sparse.ForEachCell([&](unsigned int x, unsigned int y, unsigned int z) {
        const unsigned int old[3] = {x, y, z};
        unsigned int now[3];
        for (int k = 0; k < 3; ++k) now[k] = map.flip[k] ? last - old[map.axis[k]] : old[map.axis[k]];
        expected.Set(now[0], now[1], now[2]);
      });
      ASSERT_EQ(sparse.Mapped(map).Words(), expected.Words()) << depth;
    }
  }

  const std::string bytes = grid.Pack();
  EXPECT_EQ(bytes.size(), 4096u);
  EXPECT_EQ(VoxelGrid::JaccardDistance(VoxelGrid::Unpack(5, bytes.data(), bytes.size()), grid), 0.0);
  EXPECT_THROW(VoxelGrid::Unpack(5, bytes.data(), bytes.size() - 1), std::invalid_argument);
  EXPECT_THROW(VoxelGrid::JaccardDistance(grid, pooled), std::invalid_argument);

  VoxelGrid other(5);
  EXPECT_EQ(VoxelGrid::JaccardDistance(other, VoxelGrid(5)), 0.0);
  other.Set(0, 0, 0);
  other.Set(1, 1, 1);
  EXPECT_DOUBLE_EQ(VoxelGrid::JaccardDistance(grid, other), 1.0 - 1.0 / 3.0);
}

TEST(VoxelGrid, HoldsTheOctreesLeavesCellForCell) {
  GeosigOctreeRender render(ZarMathPointf(-1, -1, -1), ZarMathPointf(1, 1, 1), 5);
  scene::TraverseSurface(render, scene::Sphere({0.1f, -0.2f, 0}, 0.7f, 24, 12));
  GeosigOctree* octree = nullptr;
  ASSERT_EQ(render.GetOctree(&octree), S_OK);
  const std::unique_ptr<GeosigOctree> owned(octree);
  const VoxelGrid grid = VoxelGrid::FromOctree(*owned);
  const OctreeCensus census(*owned);
  EXPECT_EQ(grid.Count(), census.OccupiedLeaves());
  std::array<unsigned int, 3> low = {32, 32, 32}, high = {0, 0, 0};
  for (unsigned int z = 0; z < 32; ++z)
    for (unsigned int y = 0; y < 32; ++y)
      for (unsigned int x = 0; x < 32; ++x)
        if (grid.Test(x, y, z)) {
          const unsigned int cell[3] = {x, y, z};
          for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], cell[k]), high[k] = std::max(high[k], cell[k]);
        }
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(low[k], census.LowestCell()[k]);
    EXPECT_EQ(high[k], census.HighestCell()[k]);
  }
}

}  // namespace
