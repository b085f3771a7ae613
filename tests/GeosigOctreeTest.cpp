#include "GeosigOctree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "GeosigBBRender.h"
#include "GeosigOffsetRep.h"
#include "OctreeTestSupport.h"
#include "SceneBuilder.h"
#include "Zar3DCuboidRep.h"

namespace {

// Opens the octree's storage and protected operations to the tests.
class OctreeProbe : public GeosigOctree {
 public:
  using GeosigOctree::_data;
  using GeosigOctree::_used;
  using GeosigOctree::DrawRep;
  using GeosigOctree::TriangleToBox;

  OctreeProbe(unsigned int iDepth, const ZarMathPointf& iMax, const ZarMathPointf& iMin = {0, 0, 0}) {
    SetDepth(iDepth);
    SetBoundingBox(iMin, iMax);
    created = Create();
  }
  HRESULT created;

  std::uint32_t Link(std::uint32_t iNode, unsigned int iChild) const {
    std::uint32_t link;
    std::memcpy(&link, _data + iNode + 4 * iChild, sizeof link);
    return link;
  }
  void SetFull(unsigned int iRootChild) { std::memcpy(_data + 4 * iRootChild, &_FullLink, sizeof _FullLink); }
  std::pair<ZarMathPointf, ZarMathPointf> Box() const {
    std::pair<ZarMathPointf, ZarMathPointf> box;
    GetBoundingBox(box.first, box.second);
    return box;
  }
  std::vector<unsigned char> Buffer() const { return std::vector<unsigned char>(_data, _data + _used); }
};

const ZarMathPointf unit(1, 1, 1);

// Storage and addressing

TEST(GeosigOctreeStorage, RunningOutOfMemoryReportsAndLosesTheStorageUntilCreate) {
  const ZarMathPointf a(0.1f, 0.1f, 0.1f), b(0.9f, 0.2f, 0.3f), c(0.2f, 0.9f, 0.8f);
  for (int successes : {0, 1}) {  // no root, then no room to grow beyond the root
    BufferAllocationsFailAfter failing(successes);
    testing::internal::CaptureStdout();
    OctreeProbe octree(6, unit);
    EXPECT_EQ(octree.created, successes ? S_OK : E_FAIL);
    EXPECT_EQ(octree.DrawTriangle(a, b, c), E_FAIL);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), octreeOutOfMemoryMessage);
    EXPECT_EQ(octree._data, nullptr);
    EXPECT_EQ(octree._used, 0u);
    GeosigOctree::Iterator it;
    EXPECT_EQ(octree.Move(it, 0), E_FAIL);
    EXPECT_EQ(octree.Test(it, 0), GeosigOctree::Empty);
    GeosigOctree::SetReallocator(nullptr);
    EXPECT_EQ(octree.Create(), S_OK);
    EXPECT_EQ(octree.DrawTriangle(a, b, c), S_OK);
  }
}

// Box numbering and fixed point

TEST(GeosigOctreeBoxes, IdsCoordinatesAndCentresAgree) {
  unsigned int id = 0;
  GeosigOctree::GetBoxId(3, 5, id);  // the child's bits reversed: x is the high bit
  EXPECT_EQ(id, 46u);
  ZarMathPointf centre;
  GeosigOctree::GetBoxCenter(12345, 0, {-1, 2, 4}, {3, 4, 5}, centre);  // level 0: the whole box
  EXPECT_EQ(centre, ZarMathPointf(1, 3, 4.5f));
  // Ids built down a path name the box that the corners reach along the same path.
  std::mt19937 random(7);
  const ZarMathPointf low(-3, 0, 1), high(5, 16, 3);
  for (int trial = 0; trial < 200; ++trial) {
    ZarMathPointf boxMin = low, boxMax = high;
    const unsigned int levels = 1 + random() % 10;
    id = 0;
    for (unsigned int level = 0; level < levels; ++level) {
      const unsigned int child = random() % 8;
      GeosigOctree::GetBoxId(child, id, id);
      GeosigOctree::GetBoxCoord(child, ZarMathPointf(boxMin), ZarMathPointf(boxMax), boxMin, boxMax);
    }
    GeosigOctree::GetBoxCenter(id, levels, low, high, centre);
    EXPECT_EQ(centre, ZarMathPointf((boxMin.x + boxMax.x) / 2, (boxMin.y + boxMax.y) / 2, (boxMin.z + boxMax.z) / 2));
  }
}

// Triangle/box overlap

// The largest gap between the projections of a triangle and a box on the 13 candidate axes,
// in double: positive when they are separated, negative when they overlap.
double ReferenceGap(const double* iCentre, const double* iHalf, const double iTriangle[3][3]) {
  ZarMathVector v[3], e[3];
  for (int i = 0; i < 3; ++i)
    v[i] = ZarMathVector(iTriangle[i][0] - iCentre[0], iTriangle[i][1] - iCentre[1], iTriangle[i][2] - iCentre[2]);
  for (int i = 0; i < 3; ++i) e[i] = v[(i + 1) % 3] - v[i];
  const ZarMathVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  std::vector<ZarMathVector> axes = {x, y, z, e[0] ^ e[1]};
  for (const ZarMathVector& edge : e)
    for (const ZarMathVector& boxAxis : {x, y, z}) axes.push_back(boxAxis ^ edge);
  double gap = -std::numeric_limits<double>::infinity();
  for (const ZarMathVector& axis : axes) {
    const double length = axis.Norm(), p[3] = {axis.Dot(v[0]), axis.Dot(v[1]), axis.Dot(v[2])};
    const double radius = std::fabs(axis.x) * iHalf[0] + std::fabs(axis.y) * iHalf[1] + std::fabs(axis.z) * iHalf[2];
    gap = std::max(
        {gap, (std::min({p[0], p[1], p[2]}) - radius) / length, (-radius - std::max({p[0], p[1], p[2]})) / length});
  }
  return gap;
}

TEST(GeosigOctreeTriangleToBox, AgreesWithAnIndependentSeparatingAxisTest) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> coordinate(-3, 3), size(0.05f, 2);
  int separated = 0, overlapping = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    float centre[3], half[3], triangle[3][3];
    double centreD[3], halfD[3], triangleD[3][3];
    for (int a = 0; a < 3; ++a) {
      centreD[a] = centre[a] = coordinate(random) / 3;
      halfD[a] = half[a] = size(random);
      for (int i = 0; i < 3; ++i) triangleD[i][a] = triangle[i][a] = coordinate(random);
    }
    const double gap = ReferenceGap(centreD, halfD, triangleD);
    if (std::fabs(gap) < 1e-3) continue;  // too close to call in single precision
    EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, triangle), gap < 0 ? 1 : 0) << "trial " << trial;
    ++(gap < 0 ? overlapping : separated);
  }
  EXPECT_GT(std::min(separated, overlapping), 1000);
  // Touching a face overlaps; a triangle flat to a segment has no plane to separate by.
  const float centre[3] = {0, 0, 0}, half[3] = {1, 1, 1};
  const float touching[3][3] = {{1, 0, 0}, {3, 0, 0}, {2, 1, 0}},
              segment[3][3] = {{-2, 0.5f, 0}, {2, 0.5f, 0}, {0, 0.5f, 0}};
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, touching), 1);
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, segment), 1);
}

// Voxelisation

// The leaves of [0, 1]^3, where every leaf box is exact in float, that the triangle overlaps.
std::set<OctreeCell> OverlappedLeaves(unsigned int iDepth, const float iTriangle[3][3]) {
  std::set<OctreeCell> cells;
  const unsigned int n = 1u << iDepth;
  const float half = 0.5f / static_cast<float>(n), halfSize[3] = {half, half, half};
  for (unsigned int k = 0; k < n * n * n; ++k) {
    const OctreeCell cell = {k % n, k / n % n, k / n / n};
    const float centre[3] = {(2 * cell[0] + 1) * half, (2 * cell[1] + 1) * half, (2 * cell[2] + 1) * half};
    if (OctreeProbe::TriangleToBox(centre, halfSize, iTriangle)) cells.insert(cell);
  }
  return cells;
}

TEST(GeosigOctreeVoxelisation, MarksExactlyTheOverlappedLeavesAndRedrawingChangesNothing) {
  std::mt19937 random(2024);
  std::uniform_real_distribution<float> unitValue(0.0f, 1.0f);
  for (unsigned int depth = 3; depth <= 6; ++depth) {
    OctreeProbe all(depth, unit);
    std::set<OctreeCell> expectedAll;
    for (int t = 0; t < (depth == 6 ? 6 : 16); ++t) {
      // Alternately large triangles and small ones around a random point.
      float triangle[3][3], anchor[3];
      for (float& a : anchor) a = unitValue(random) * 0.8f + 0.1f;
      for (int k = 0; k < 9; ++k)
        triangle[k / 3][k % 3] =
            std::fmin(0.999f, std::fmax(0.001f, anchor[k % 3] + (unitValue(random) - 0.5f) * (t % 2 ? 0.6f : 0.02f)));
      const ZarMathPointf p0(triangle[0]), p1(triangle[1]), p2(triangle[2]);
      const std::set<OctreeCell> expected = OverlappedLeaves(depth, triangle);
      OctreeProbe octree(depth, unit);
      ASSERT_EQ(octree.DrawTriangle(p0, p1, p2), S_OK);
      EXPECT_EQ(MarkedLeaves(octree), expected) << "depth " << depth << " triangle " << t;
      const std::vector<unsigned char> before = octree.Buffer();
      ASSERT_EQ(octree.DrawTriangle(p0, p1, p2), S_OK);
      EXPECT_EQ(octree.Buffer(), before);
      ASSERT_EQ(all.DrawTriangle(p0, p1, p2), S_OK);
      expectedAll.insert(expected.begin(), expected.end());
    }
    EXPECT_EQ(MarkedLeaves(all), expectedAll) << "depth " << depth;
  }
}

TEST(GeosigOctreeVoxelisation, TouchingCountsInTheRecursionButTheDescentPicksTheUpperHalf) {
  OctreeProbe large(2, {4, 4, 4});
  ASSERT_EQ(large.DrawTriangle({2, 0.5f, 0.5f}, {2, 3.5f, 0.5f}, {2, 0.5f, 3.5f}), S_OK);
  std::set<OctreeCell> expected;
  for (unsigned int x : {1u, 2u})  // both sides of the plane x = 2
    for (unsigned int y = 0; y < 4; ++y)
      for (unsigned int z = 0; y + z <= 4 && z < 4; ++z) expected.insert({x, y, z});
  EXPECT_EQ(MarkedLeaves(large), expected);
  OctreeProbe small(2, {4, 4, 4});
  ASSERT_EQ(small.DrawTriangle({2, 0.5f, 0.5f}, {2, 0.6f, 0.5f}, {2, 0.5f, 0.6f}), S_OK);
  EXPECT_EQ(MarkedLeaves(small), (std::set<OctreeCell>{{2, 0, 0}}));
}

TEST(GeosigOctreeVoxelisation, FullBoxesAreNeitherEnteredNorAllocated) {
  OctreeProbe octree(4, {16, 16, 16});
  octree.SetFull(0);
  ASSERT_EQ(octree.DrawTriangle({1, 1, 1}, {2, 1, 1}, {1, 2, 1}), S_OK);
  EXPECT_EQ(octree._used, 32u);
  ASSERT_EQ(octree.DrawTriangle({1, 1, 1}, {15, 1, 1}, {1, 2, 1}), S_OK);
  EXPECT_EQ(octree.Link(0, 0), GeosigOctree::_FullLink);
  // Under child 1 only: one node, and the node sets of the two boxes of edge 4 the triangle crosses.
  EXPECT_EQ(octree._used, 32u + 32u + 2 * 8u);
}

TEST(GeosigOctreeVoxelisation, TrianglesOutsideWidenTheBoxButPointsDoNot) {
  OctreeProbe octree(3, {4, 4, 4});
  // The minimum moves down; the extent only grows as far as the triangle needs.
  ASSERT_EQ(octree.DrawTriangle({-1, 1, 1}, {1, 1, 1}, {1, 2, 1}), S_OK);
  EXPECT_EQ(octree.Box(), std::make_pair(ZarMathPointf(-1, 0, 0), ZarMathPointf(3, 4, 4)));
  // All minima are settled before any extent grows, whatever the vertex order.
  ASSERT_EQ(octree.DrawTriangle({5, 1, 1}, {-2, 1, 1}, {0, 2, 1}), S_OK);
  EXPECT_EQ(octree.Box(), std::make_pair(ZarMathPointf(-2, 0, 0), ZarMathPointf(5, 4, 4)));

  OctreeProbe points(3, {2, 2, 2});
  points.DrawPoint({1, 1, 1});  // the path 7, 0, 0
  // Outside the box: no widening, and x = 5 wraps onto the same fixed-point coordinate as 1.
  points.DrawPoint({5, 1, 0.1f});
  EXPECT_EQ(MarkedLeaves(points), (std::set<OctreeCell>{{4, 4, 4}, {4, 4, 0}}));
  EXPECT_EQ(points.Box(), std::make_pair(ZarMathPointf(0, 0, 0), ZarMathPointf(2, 2, 2)));
}

TEST(GeosigOctreeVoxelisation, RepresentationTreesArePlacedByTheBagThenTheGivenMatrix) {
  ZarRef<ZarSurfacicRep> surface = scene::Surface(scene::RandomPatch(3, 30, 0.4f));
  ZarRef<Zar3DCuboidRep> cuboid(Zar3DCuboidRep::CreateRep({5, 5, 5}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 2));
  const Zar4x4Matrix bagMatrix = scene::Translation(0.3, -0.2, 0.1);
  ZarRef<Zar3DBagRep> inner = scene::Bag(bagMatrix, {surface.get(), cuboid.get()});
  ZarRef<Zar3DBagRep> outer = scene::Bag({inner.get()});
  const Zar4x4Matrix given = scene::Rotation(0, 0, 1, 0.7) * scene::Scaling(2.0) * scene::Translation(4, 4, 4);

  OctreeProbe drawn(5, {8, 8, 8});
  EXPECT_EQ(drawn.DrawRep(given, nullptr), S_OK);
  EXPECT_EQ(drawn.DrawRep(given, cuboid.get()), S_OK);  // not a surface: nothing drawn
  EXPECT_EQ(drawn._used, 32u);
  ASSERT_EQ(drawn.DrawRep(given, outer.get()), S_OK);
  EXPECT_EQ(surface->GetEditMode(), 1);
  // Triangles, then fans, then strips: the same buffer as drawing the decoded triangles in turn.
  RecordingRender decoded;
  decoded.Traverse(*scene::Bag(given, {scene::Bag(bagMatrix, {surface.get()}).get()}));
  OctreeProbe reference(5, {8, 8, 8});
  for (const RecordedTriangle& t : decoded.triangles) ASSERT_EQ(reference.DrawTriangle(t.a, t.b, t.c), S_OK);
  EXPECT_GT(MarkedLeaves(drawn).size(), 20u);
  EXPECT_EQ(drawn.Buffer(), reference.Buffer());
}

// Output to representations

const std::vector<ZarRep*>& ChildrenOf(const ZarRep* iBag) {
  return *static_cast<const Zar3DBagRep*>(iBag)->GetChildren();
}

// The one rep that every leaf bag holds.
GeosigOffsetRep* SharedRepOf(const Zar3DBagRep& iBag) {
  GeosigOffsetRep* shared = nullptr;
  for (const ZarRep* leaf : *iBag.GetChildren()) {
    EXPECT_EQ(ChildrenOf(leaf).size(), 1u);
    ZarRep* held = ChildrenOf(leaf).front();
    EXPECT_TRUE(held->IsAKindOf("GeosigOffsetRep"));
    if (!shared) shared = static_cast<GeosigOffsetRep*>(held);
    EXPECT_EQ(held, shared);
  }
  return shared;
}

// The rank of a leaf in a depth-first walk that takes children in their order (x bit first).
unsigned int ChildOrderRank(const OctreeCell& iCell, unsigned int iDepth) {
  unsigned int rank = 0;
  for (unsigned int bit = iDepth; bit-- > 0;)
    rank = 8 * rank + (iCell[0] >> bit & 1u) + 2 * (iCell[1] >> bit & 1u) + 4 * (iCell[2] >> bit & 1u);
  return rank;
}

TEST(GeosigOctreeOutput, LeafBagsInChildOrderShareOneCubeAndTraversedAreTheUnionOfTheVoxels) {
  OctreeProbe octree(3, {8, 8, 8});
  ASSERT_EQ(octree.DrawTriangle({0.3f, 1.2f, 2.1f}, {6.7f, 3.1f, 1.4f}, {2.2f, 7.3f, 5.6f}), S_OK);
  std::set<OctreeCell> expected = MarkedLeaves(octree);
  octree.SetFull(5);  // a full link has no storage: its 64 leaves are shown one by one
  for (unsigned int k = 0; k < 64; ++k) expected.insert({4 + k % 4, k / 4 % 4, 4 + k / 16});
  const std::uint32_t used = octree._used;
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
  EXPECT_EQ(octree._used, used);  // reading the marks allocates nothing
  GeosigOffsetRep* shared = SharedRepOf(*bag);
  EXPECT_EQ(shared->GetParents().size(), expected.size());
  EXPECT_EQ(shared->GetSize(), 1.0f);
  EXPECT_EQ(shared->GetMatrix(), nullptr);

  // Each leaf bag, traversed with the bounding box render, is the cube of one voxel.
  std::set<OctreeCell> drawn;
  int previousRank = -1;
  for (ZarRep* leaf : *bag->GetChildren()) {
    GeosigBBRender voxel;
    voxel.Traverse(*leaf);
    ZarMathPointf low, high;
    ASSERT_EQ(voxel.GetBoundingBox(low, high), S_OK);
    EXPECT_EQ(high - low, ZarMathVectorf(1, 1, 1));
    const OctreeCell cell = {unsigned(low.x), unsigned(low.y), unsigned(low.z)};
    const int rank = static_cast<int>(ChildOrderRank(cell, 3));
    EXPECT_GT(rank, previousRank);
    previousRank = rank;
    drawn.insert(cell);
  }
  EXPECT_EQ(drawn, expected);

  OctreeProbe oblong(2, {4, 2, 2});  // cubes take the edge of the x extent
  oblong.DrawPoint({0.5f, 0.2f, 0.2f});
  ZarRef<Zar3DBagRep> other(Zar3DBagRep::CreateRep());
  ASSERT_EQ(oblong.AddToBagRep(other.get()), S_OK);
  EXPECT_EQ(SharedRepOf(*other)->GetSize(), 1.0f);
}

TEST(GeosigOctreeOutput, OffsetRepIsSharedAndLeftEmptyForTheCaller) {
  OctreeProbe octree(3, {8, 8, 8});
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  GeosigOffsetRep* rep = nullptr;
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.0f), S_OK);  // empty: no leaf bag
  EXPECT_TRUE(bag->GetChildren()->empty());
  ASSERT_NE(rep, nullptr);
  rep->Release();  // no leaf bag holds it: the caller's reference is the only one

  // The scaling by the offset is checked through `geosig voxelize --offset`.
  octree.DrawPoint({0.5f, 0.5f, 0.5f});
  octree.DrawPoint({7.5f, 0.5f, 0.5f});
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.1f), S_OK);
  ZarRef<GeosigOffsetRep> held(rep);
  EXPECT_EQ(SharedRepOf(*bag), rep);
  EXPECT_TRUE(rep->GetChildren()->empty());

  GeosigOffsetRep* kept = rep;
  for (float offset : {-1.0f, std::nanf("")}) EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &kept, offset), E_INVALIDARG);
  EXPECT_EQ(kept, rep);
}

TEST(GeosigOctreeOutput, AllocationFailuresStopTheWalkAndDestroyTheSharedRep) {
  OctreeProbe octree(3, {8, 8, 8});
  octree.DrawPoint({0.5f, 0.5f, 0.5f});
  octree.DrawPoint({7.5f, 7.5f, 7.5f});
  // Allocations let through: none (no offset rep), the rep only (no leaf bag), the rep and
  // the first leaf bag, everything but the cube, which the rep then goes without.
  const std::tuple<long, HRESULT, std::size_t> cases[] = {
      {0, E_FAIL, 0}, {1, E_OUTOFMEMORY, 0}, {2, E_OUTOFMEMORY, 1}, {3, S_OK, 2}};
  for (const auto& [allowed, status, leafBags] : cases) {
    ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
    GeosigOffsetRep* rep = nullptr;
    {
      ScopedAllocationFailure failing(allowed);
      EXPECT_EQ(octree.AddToBagRep(bag.get()), status) << allowed;
    }
    if (allowed < 2) {  // the same failures through an offset rep for the caller, which gets none
      ScopedAllocationFailure failing(allowed);
      EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.5f), status) << allowed;
    }
    EXPECT_EQ(rep, nullptr);
    ASSERT_EQ(bag->GetChildren()->size(), leafBags) << allowed;
    EXPECT_TRUE(leafBags != 1 || ChildrenOf(bag->GetChildren()->front()).empty());  // the rep was destroyed
    EXPECT_TRUE(leafBags != 2 || SharedRepOf(*bag)->GetChildren()->empty());
  }
}

}  // namespace
