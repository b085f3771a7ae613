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
  using GeosigOctree::_capacity;
  using GeosigOctree::_data;
  using GeosigOctree::_used;
  using GeosigOctree::Convert;
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
  std::vector<unsigned char> Buffer() const { return std::vector<unsigned char>(_data, _data + _used); }
  // Moves from the root down a path of children.
  HRESULT MoveAlong(std::initializer_list<unsigned int> iPath, Iterator& ioIterator) {
    for (unsigned int child : iPath)
      if (ZarFailed(Move(ioIterator, child))) return E_FAIL;
    return S_OK;
  }
};

const ZarMathPointf unit(1, 1, 1);
const GeosigOctree::Iterator root;

// Storage and addressing

TEST(GeosigOctreeStorage, EachLevelGetsItsPackedForm) {
  GeosigOctree::Iterator it;
  OctreeProbe one(1, unit);  // the root is a mask byte
  ASSERT_EQ(one.MoveAlong({5}, it), S_OK);
  EXPECT_EQ(it._node, 0u);
  EXPECT_EQ(it._level, 1u);
  EXPECT_EQ(one._data[0], 1u << 5);
  for (unsigned int child = 0; child < 8; ++child)
    EXPECT_EQ(one.Test(root, child), child == 5 ? GeosigOctree::Full : GeosigOctree::Empty);

  OctreeProbe two(2, unit);  // the root is a node set: one mask byte per child
  ASSERT_EQ(two.MoveAlong({6, 3}, it = root), S_OK);
  EXPECT_EQ(two._data[6], 1u << 3);
  EXPECT_EQ(two._used, 32u);
  EXPECT_EQ(two.Test(root, 6), GeosigOctree::Partial);
  two._data[1] = 0xFF;
  EXPECT_EQ(two.Test(root, 1), GeosigOctree::Full);

  OctreeProbe three(3, unit);  // root links lead to 8-byte node sets, allocated once
  for (int repeat = 0; repeat < 2; ++repeat) {
    ASSERT_EQ(three.MoveAlong({4}, it = root), S_OK);
    EXPECT_EQ(it._node, 32u);
    EXPECT_EQ(three._used, 40u);
  }
  three.SetFull(6);
  EXPECT_EQ(three.Test(root, 6), GeosigOctree::Full);

  OctreeProbe four(4, unit);  // a node, then a node set
  ASSERT_EQ(four.MoveAlong({7, 2, 5, 1}, it = root), S_OK);
  EXPECT_EQ(four._used, 72u);
  EXPECT_EQ(four.Link(0, 7), 32u);
  EXPECT_EQ(four.Link(32, 2), 64u);
  EXPECT_EQ(four._data[64 + 5], 1u << 1);
  EXPECT_EQ(it._level, 4u);
  ASSERT_EQ(four.Create(), S_OK);  // discards every mark
  EXPECT_EQ(four._used, 32u);
  EXPECT_EQ(four.Test(root, 7), GeosigOctree::Empty);
}

TEST(GeosigOctreeStorage, BufferDoublesWhenABlockWouldEndItExactly) {
  OctreeProbe octree(5, unit);
  for (unsigned int path = 0; path < 32; ++path) {  // 32-byte nodes: 1024 bytes in use is reached
    GeosigOctree::Iterator it;
    ASSERT_EQ(octree.MoveAlong({path / 8, path % 8}, it), S_OK);
    EXPECT_EQ(octree._capacity, octree._used >= 1024u ? 2048u : 1024u) << "used " << octree._used;
  }
}

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
  GeosigOctree::GetBoxId(3, 5, id);
  EXPECT_EQ(id, 46u);
  GeosigOctree::GetBoxId(9, 5, id);
  EXPECT_EQ(id, 40u);
  ZarMathPointf a, b, centre;
  GeosigOctree::GetBoxCoord(1, {0, 0, 0}, {2, 4, 6}, a, b);
  EXPECT_EQ(a, ZarMathPointf(1, 0, 0));
  EXPECT_EQ(b, ZarMathPointf(2, 2, 3));
  GeosigOctree::GetBoxCoord(8, {0, 0, 0}, {2, 4, 6}, a, b);  // unchanged
  EXPECT_EQ(a, ZarMathPointf(1, 0, 0));
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

TEST(GeosigOctreeBoxes, FixedPointConversionWrapsOutsideTheBox) {
  OctreeProbe octree(3, {2, 8, 11}, {-2, 0, 10});
  const auto position = [](const OctreeProbe& iOctree, const ZarMathPointf& iPoint) {
    ZarOctreePosition p;
    iOctree.Convert(iPoint, p);
    return std::array<std::uint32_t, 3>{p.x, p.y, p.z};
  };
  EXPECT_EQ(position(octree, {0, 4, 10}), (std::array<std::uint32_t, 3>{0x80000000u, 0x80000000u, 0}));
  // 2^32 does not fit: the maximum face wraps; a quarter below the box wraps to three quarters.
  EXPECT_EQ(position(octree, {2, 1, 10.25f}), (std::array<std::uint32_t, 3>{0, 0x20000000u, 0x40000000u}));
  EXPECT_EQ(position(octree, {-3, 0, 10})[0], 0xC0000000u);
  // Zero extent: no finite value; a value beyond any 64-bit integer: both give 0.
  EXPECT_EQ(position(OctreeProbe(3, {1, 0, 1e-20f}), {0.5f, 0.5f, 1.0f}),
            (std::array<std::uint32_t, 3>{0x80000000u, 0, 0}));
}

// Triangle/box overlap

// The largest gap between the projections of a triangle and a box on the 13 candidate axes,
// in double: positive when they are separated, negative when they overlap.
double ReferenceGap(const double* iCentre, const double* iHalf, const double iTriangle[3][3]) {
  double v[3][3], e[3][3];
  for (int k = 0; k < 9; ++k) v[k / 3][k % 3] = iTriangle[k / 3][k % 3] - iCentre[k % 3];
  for (int k = 0; k < 9; ++k) e[k / 3][k % 3] = v[(k / 3 + 1) % 3][k % 3] - v[k / 3][k % 3];
  std::vector<std::array<double, 3>> axes = {
      {1, 0, 0},
      {0, 1, 0},
      {0, 0, 1},
      {e[0][1] * e[1][2] - e[0][2] * e[1][1], e[0][2] * e[1][0] - e[0][0] * e[1][2],
       e[0][0] * e[1][1] - e[0][1] * e[1][0]}};
  for (const auto& edge : e) {
    axes.push_back({0, -edge[2], edge[1]});
    axes.push_back({edge[2], 0, -edge[0]});
    axes.push_back({-edge[1], edge[0], 0});
  }
  double gap = -std::numeric_limits<double>::infinity();
  for (const auto& axis : axes) {
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    double low = std::numeric_limits<double>::infinity(), high = -low, radius = 0;
    for (int i = 0; i < 3; ++i) {
      const double p = (axis[0] * v[i][0] + axis[1] * v[i][1] + axis[2] * v[i][2]) / length;
      low = std::min(low, p);
      high = std::max(high, p);
      radius += std::fabs(axis[i]) * iHalf[i] / length;
    }
    gap = std::max({gap, low - radius, -radius - high});
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
  EXPECT_GT(separated, 1000);
  EXPECT_GT(overlapping, 1000);
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
      float triangle[3][3];
      const float spread = t % 2 ? 0.6f : 0.02f;
      float anchor[3];
      for (float& a : anchor) a = unitValue(random) * 0.8f + 0.1f;
      for (auto& vertex : triangle)
        for (int a = 0; a < 3; ++a)
          vertex[a] = std::fmin(0.999f, std::fmax(0.001f, anchor[a] + (unitValue(random) - 0.5f) * spread));
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
  OctreeProbe flat(0, unit);  // depth 0 marks nothing
  EXPECT_EQ(flat.DrawTriangle({0.1f, 0.1f, 0.1f}, {0.9f, 0.2f, 0.1f}, {0, 0, 0}), S_OK);
  EXPECT_EQ(flat.Buffer(), std::vector<unsigned char>(32, 0));
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
  // The minimum moves down; the extent only grows as far as this triangle needs.
  ASSERT_EQ(octree.DrawTriangle({-1, 1, 1}, {1, 1, 1}, {1, 2, 1}), S_OK);
  ZarMathPointf low, high;
  octree.GetBoundingBox(low, high);
  EXPECT_EQ(low, ZarMathPointf(-1, 0, 0));
  EXPECT_EQ(high, ZarMathPointf(3, 4, 4));
  // All minima are settled before any extent grows, whatever the vertex order.
  ASSERT_EQ(octree.DrawTriangle({5, 1, 1}, {-2, 1, 1}, {0, 2, 1}), S_OK);
  octree.GetBoundingBox(low, high);
  EXPECT_EQ(low, ZarMathPointf(-2, 0, 0));
  EXPECT_EQ(high, ZarMathPointf(5, 4, 4));

  OctreeProbe points(3, {2, 2, 2});
  points.DrawPoint({1, 1, 1});  // the path 7, 0, 0
  EXPECT_EQ(MarkedLeaves(points), (std::set<OctreeCell>{{4, 4, 4}}));
  // Outside the box: no widening, and x = 5 wraps onto the same fixed-point coordinate as 1.
  points.DrawPoint({5, 1, 0.1f});
  EXPECT_EQ(MarkedLeaves(points), (std::set<OctreeCell>{{4, 4, 4}, {4, 4, 0}}));
}

TEST(GeosigOctreeVoxelisation, RepresentationTreesArePlacedByTheBagThenTheGivenMatrix) {
  ZarTessellation shape;
  for (int k = 0; k < 8; ++k)
    shape.vertices.insert(shape.vertices.end(),
                          {0.1f * k, 0.05f * k * k - 0.3f * k, k % 3 ? 0.4f - 0.1f * k : 0.2f * k});
  shape.triangles = {0, 3, 6};
  shape.fanCounts = {5};
  shape.fans = {7, 1, 2, 4, 5};
  shape.stripCounts = {2, 4};  // the strip of 2 gives nothing and moves on by 2
  shape.strips = {0, 1, 2, 3, 5, 6};
  ZarRef<ZarSurfacicRep> surface = scene::Surface(shape);
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
  // Triangles, then fans, then strips: the same buffer as drawing them one by one.
  const auto vertex = [&](unsigned int iNumber) {
    return (bagMatrix * given) * ZarMathPointf(&shape.vertices[3 * iNumber]);
  };
  OctreeProbe reference(5, {8, 8, 8});
  for (const auto& t : {std::array<unsigned int, 3>{0, 3, 6}, {7, 1, 2}, {7, 2, 4}, {7, 4, 5}, {2, 3, 5}, {3, 5, 6}})
    ASSERT_EQ(reference.DrawTriangle(vertex(t[0]), vertex(t[1]), vertex(t[2])), S_OK);
  EXPECT_FALSE(MarkedLeaves(drawn).empty());
  EXPECT_EQ(drawn.Buffer(), reference.Buffer());
}

// Output to representations

const std::vector<ZarRep*>& ChildrenOf(const ZarRep* iBag) {
  return *static_cast<const Zar3DBagRep*>(iBag)->GetChildren();
}

// The translations of the leaf bags, in order.
std::vector<ZarMathPointf> LeafCentres(const Zar3DBagRep& iBag) {
  std::vector<ZarMathPointf> centres;
  for (const ZarRep* leaf : *iBag.GetChildren()) {
    const ZarMathVector t = static_cast<const Zar3DBagRep*>(leaf)->GetMatrix()->GetTranslation();
    centres.push_back(ZarMathPointf(float(t.x), float(t.y), float(t.z)));
  }
  return centres;
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

TEST(GeosigOctreeOutput, LeafBagsInChildOrderShareOneCubeOfTheVoxelEdge) {
  OctreeProbe octree(3, {8, 8, 8});
  octree.DrawPoint({1.5f, 6.5f, 7.5f});  // root child 6
  octree.DrawPoint({5.5f, 0.5f, 2.5f});  // root child 1
  const std::uint32_t used = octree._used;
  for (int pass = 0; pass < 2; ++pass) {
    ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
    ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
    EXPECT_EQ(LeafCentres(*bag), (std::vector<ZarMathPointf>{{5.5f, 0.5f, 2.5f}, {1.5f, 6.5f, 7.5f}}));
    GeosigOffsetRep* shared = SharedRepOf(*bag);
    EXPECT_EQ(shared->GetParents().size(), 2u);
    EXPECT_EQ(shared->GetSize(), 1.0f);
    EXPECT_EQ(shared->GetMatrix(), nullptr);
    ASSERT_EQ(ChildrenOf(shared).size(), 1u);
    EXPECT_TRUE(ChildrenOf(shared)[0]->IsAKindOf("Zar3DCuboidRep"));
  }
  EXPECT_EQ(octree._used, used);  // reading the marks allocates nothing

  octree.SetFull(5);  // shown leaf by leaf
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
  ASSERT_EQ(bag->GetChildren()->size(), 2u + 64u);
  EXPECT_EQ(LeafCentres(*bag)[1], ZarMathPointf(4.5f, 0.5f, 4.5f));
  EXPECT_EQ(LeafCentres(*bag)[64], ZarMathPointf(7.5f, 3.5f, 7.5f));

  OctreeProbe oblong(2, {4, 2, 2});  // cubes take the edge of the x extent
  oblong.DrawPoint({0.5f, 0.2f, 0.2f});
  ZarRef<Zar3DBagRep> other(Zar3DBagRep::CreateRep());
  ASSERT_EQ(oblong.AddToBagRep(other.get()), S_OK);
  EXPECT_EQ(SharedRepOf(*other)->GetSize(), 1.0f);
  EXPECT_EQ(LeafCentres(*other), std::vector<ZarMathPointf>{ZarMathPointf(0.5f, 0.25f, 0.25f)});
}

TEST(GeosigOctreeOutput, OffsetRepIsScaledAndLeftEmptyForTheCaller) {
  OctreeProbe octree(3, {8, 8, 8});
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  GeosigOffsetRep* rep = nullptr;
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);  // empty: nothing added
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.0f), S_OK);
  EXPECT_TRUE(bag->GetChildren()->empty());
  ASSERT_NE(rep, nullptr);
  rep->Release();  // no leaf bag holds it: the caller's reference is the only one

  octree.DrawPoint({0.5f, 0.5f, 0.5f});
  octree.DrawPoint({7.5f, 0.5f, 0.5f});
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.1f), S_OK);
  ZarRef<GeosigOffsetRep> held(rep);
  EXPECT_EQ(SharedRepOf(*bag), rep);
  EXPECT_EQ(bag->GetChildren()->size(), 2u);
  EXPECT_TRUE(rep->GetChildren()->empty());
  ASSERT_NE(rep->GetMatrix(), nullptr);
  EXPECT_EQ(*rep->GetMatrix(), scene::Scaling(static_cast<double>(1.1f)));

  GeosigOffsetRep* kept = rep;
  for (const auto& [target, offset] :
       {std::pair<Zar3DBagRep*, float>{bag.get(), -1}, {bag.get(), std::nanf("")}, {nullptr, 0}})
    EXPECT_EQ(octree.AddToOffsetRep(target, &kept, offset), E_INVALIDARG);
  EXPECT_EQ(kept, rep);
  EXPECT_EQ(octree.AddToOffsetRep(bag.get(), nullptr, 0.0f), E_INVALIDARG);
  EXPECT_EQ(octree.AddToBagRep(nullptr), E_INVALIDARG);
  EXPECT_EQ(bag->GetChildren()->size(), 2u);
}

TEST(GeosigOctreeOutput, TraversedOutputIsTheUnionOfTheVoxelCubes) {
  OctreeProbe octree(3, {8, 8, 8});
  ASSERT_EQ(octree.DrawTriangle({0.3f, 1.2f, 2.1f}, {6.7f, 3.1f, 1.4f}, {2.2f, 7.3f, 5.6f}), S_OK);
  const std::set<OctreeCell> cells = MarkedLeaves(octree);
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);

  // Each leaf bag, traversed with the bounding box render, is the cube of one marked voxel.
  std::set<OctreeCell> drawn;
  for (ZarRep* leaf : *bag->GetChildren()) {
    GeosigBBRender voxel;
    voxel.Traverse(*leaf);
    ZarMathPointf low, high;
    ASSERT_EQ(voxel.GetBoundingBox(low, high), S_OK);
    EXPECT_EQ(high - low, ZarMathVectorf(1, 1, 1));
    drawn.insert({unsigned(low.x), unsigned(low.y), unsigned(low.z)});
  }
  EXPECT_EQ(drawn, cells);
}

TEST(GeosigOctreeOutput, AllocationFailuresStopTheWalkAndDestroyTheSharedRep) {
  OctreeProbe octree(3, {8, 8, 8});
  octree.DrawPoint({0.5f, 0.5f, 0.5f});
  octree.DrawPoint({7.5f, 7.5f, 7.5f});
  // Allocations let through: none (no offset rep), the rep only (no leaf bag), the rep and
  // the first leaf bag, everything but the cube, which the rep then goes without.
  for (const auto& [allowed, status, leafBags] : {std::tuple<long, HRESULT, std::size_t>{0, E_FAIL, 0},
                                                  {1, E_OUTOFMEMORY, 0},
                                                  {2, E_OUTOFMEMORY, 1},
                                                  {3, S_OK, 2}}) {
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
    if (leafBags == 1) {
      EXPECT_TRUE(ChildrenOf(bag->GetChildren()->front()).empty());  // the rep was destroyed
    } else if (leafBags == 2) {
      EXPECT_TRUE(SharedRepOf(*bag)->GetChildren()->empty());
    }
  }
}

}  // namespace
