#include "GeosigOctree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
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
  using GeosigOctree::DrawTriangle;
  using GeosigOctree::TriangleToBox;

  OctreeProbe(unsigned int iDepth, const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
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
  void SetLink(std::uint32_t iNode, unsigned int iChild, std::uint32_t iLink) {
    std::memcpy(_data + iNode + 4 * iChild, &iLink, sizeof iLink);
  }
  std::vector<unsigned char> Buffer() const { return std::vector<unsigned char>(_data, _data + _used); }
  ZarOctreePosition Position(const ZarMathPointf& iPoint) const {
    ZarOctreePosition position;
    Convert(iPoint, position);
    return position;
  }
};

const ZarMathPointf origin(0, 0, 0);
const GeosigOctree::Iterator root;

// ---------------------------------------------------------------------------------------------
// Storage and addressing

TEST(GeosigOctreeStorage, EachLevelGetsItsPackedForm) {
  GeosigOctree unbuilt;
  GeosigOctree::Iterator it;
  EXPECT_EQ(unbuilt.Move(it, 0), E_FAIL);
  EXPECT_EQ(unbuilt.Test(it, 0), GeosigOctree::Empty);

  OctreeProbe one(1, origin, ZarMathPointf(1, 1, 1));  // the root is a mask byte
  EXPECT_EQ(one._used, 32u);
  EXPECT_EQ(one._capacity, 1024u);
  ASSERT_EQ(one.Move(it, 5), S_OK);
  EXPECT_EQ(it._node, 0u);
  EXPECT_EQ(it._level, 1u);
  EXPECT_EQ(one._data[0], 1u << 5);
  for (unsigned int child = 0; child < 8; ++child)
    EXPECT_EQ(one.Test(root, child), child == 5 ? GeosigOctree::Full : GeosigOctree::Empty);

  OctreeProbe two(2, origin, ZarMathPointf(1, 1, 1));  // the root is a node set
  it = root;
  ASSERT_EQ(two.Move(it, 6), S_OK);
  EXPECT_EQ(it._node, 6u);
  ASSERT_EQ(two.Move(it, 3), S_OK);
  EXPECT_EQ(two._data[6], 1u << 3);
  EXPECT_EQ(two._used, 32u);
  EXPECT_EQ(two.Test(root, 6), GeosigOctree::Partial);

  OctreeProbe three(3, origin, ZarMathPointf(1, 1, 1));  // root links lead to node sets
  for (int repeat = 0; repeat < 2; ++repeat) {
    it = root;
    ASSERT_EQ(three.Move(it, 4), S_OK);
    EXPECT_EQ(it._node, 32u);
    EXPECT_EQ(three._used, 40u);
  }
  EXPECT_EQ(three.Link(0, 4), 32u);

  OctreeProbe four(4, origin, ZarMathPointf(1, 1, 1));  // a node, then a node set
  it = root;
  for (unsigned int child : {7u, 2u, 5u, 1u}) ASSERT_EQ(four.Move(it, child), S_OK);
  EXPECT_EQ(four._used, 72u);
  EXPECT_EQ(four.Link(0, 7), 32u);
  EXPECT_EQ(four.Link(32, 2), 64u);
  EXPECT_EQ(four._data[64 + 5], 1u << 1);
  EXPECT_EQ(it._level, 4u);
  ASSERT_EQ(four.Create(), S_OK);  // discards every mark
  EXPECT_EQ(four._used, 32u);
  EXPECT_EQ(four.Test(root, 7), GeosigOctree::Empty);
}

TEST(GeosigOctreeStorage, TestReadsMaskBytesAndLinks) {
  OctreeProbe octree(3, origin, ZarMathPointf(1, 1, 1));
  GeosigOctree::Iterator set;
  ASSERT_EQ(octree.Move(set, 0), S_OK);
  octree._data[set._node + 1] = 0xFF;
  octree._data[set._node + 2] = 0x01;
  EXPECT_EQ(octree.Test(set, 1), GeosigOctree::Full);
  EXPECT_EQ(octree.Test(set, 2), GeosigOctree::Partial);
  EXPECT_EQ(octree.Test(set, 3), GeosigOctree::Empty);
  octree.SetLink(0, 6, GeosigOctree::_FullLink);
  EXPECT_EQ(octree.Test(root, 6), GeosigOctree::Full);
}

TEST(GeosigOctreeStorage, BufferDoublesWhenABlockWouldFillItExactlyAndKeepsItsContent) {
  OctreeProbe octree(5, origin, ZarMathPointf(1, 1, 1));
  bool reachedExactly = false;
  // 32-byte nodes only: _used runs through every multiple of 32, up to 1184.
  for (unsigned int path = 0; path < 32; ++path) {
    GeosigOctree::Iterator it;
    ASSERT_EQ(octree.Move(it, path / 8), S_OK);
    ASSERT_EQ(octree.Move(it, path % 8), S_OK);
    reachedExactly |= octree._used == 1024;
    EXPECT_EQ(octree._capacity, octree._used >= 1024u ? 2048u : 1024u) << "used " << octree._used;
  }
  EXPECT_TRUE(reachedExactly);
  for (unsigned int path = 0; path < 32; ++path) {
    GeosigOctree::Iterator it;
    ASSERT_EQ(octree.Move(it, path / 8), S_OK);
    EXPECT_EQ(octree.Test(it, path % 8), GeosigOctree::Partial) << path;
  }
}

TEST(GeosigOctreeStorage, CreateWithoutMemoryReportsAndLeavesNoStorage) {
  BufferAllocationsFailAfter failing(0);
  testing::internal::CaptureStdout();
  OctreeProbe octree(3, origin, ZarMathPointf(1, 1, 1));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), octreeOutOfMemoryMessage);
  EXPECT_EQ(octree.created, E_FAIL);
  EXPECT_EQ(octree._used, 0u);
  GeosigOctree::Iterator it;
  EXPECT_EQ(octree.Move(it, 0), E_FAIL);
  EXPECT_EQ(octree.Test(it, 0), GeosigOctree::Empty);
  octree.DrawPoint(ZarMathPointf(0.5f, 0.5f, 0.5f));
  EXPECT_EQ(octree.DrawTriangle(ZarMathPointf(0.1f, 0.1f, 0.1f), ZarMathPointf(0.2f, 0.1f, 0.1f),
                                ZarMathPointf(0.1f, 0.2f, 0.1f)),
            E_FAIL);
}

TEST(GeosigOctreeStorage, FailedGrowthLosesTheStorageAndEveryMarkUntilCreate) {
  BufferAllocationsFailAfter failing(1);  // the root only
  OctreeProbe octree(6, origin, ZarMathPointf(1, 1, 1));
  ASSERT_EQ(octree.created, S_OK);
  testing::internal::CaptureStdout();
  HRESULT status = S_OK;
  for (unsigned int path = 0; path < 64 && ZarSucceeded(status); ++path) {
    GeosigOctree::Iterator it;
    for (unsigned int child : {path / 8, path % 8}) {
      const GeosigOctree::Iterator before = it;
      status = octree.Move(it, child);
      if (ZarFailed(status)) {  // the iterator stays where it was
        EXPECT_EQ(it._node, before._node);
        EXPECT_EQ(it._level, before._level);
        break;
      }
    }
  }
  EXPECT_EQ(status, E_FAIL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), octreeOutOfMemoryMessage);
  EXPECT_EQ(octree._data, nullptr);
  EXPECT_EQ(octree._used, 0u);
  EXPECT_EQ(octree._capacity, 2048u);
  EXPECT_EQ(octree.Test(root, 0), GeosigOctree::Empty);
  GeosigOctree::SetReallocator(nullptr);
  EXPECT_EQ(octree.Create(), S_OK);
}

// ---------------------------------------------------------------------------------------------
// Box numbering and fixed point

TEST(GeosigOctreeBoxes, IdsCoordinatesAndCentresAgree) {
  unsigned int id = 0;
  GeosigOctree::GetBoxId(3, 5, id);
  EXPECT_EQ(id, 46u);
  GeosigOctree::GetBoxId(9, 5, id);
  EXPECT_EQ(id, 40u);
  ZarMathPointf a, b, centre;
  GeosigOctree::GetBoxCoord(1, origin, ZarMathPointf(2, 4, 6), a, b);
  EXPECT_EQ(a, ZarMathPointf(1, 0, 0));
  EXPECT_EQ(b, ZarMathPointf(2, 2, 3));
  GeosigOctree::GetBoxCoord(8, origin, ZarMathPointf(2, 4, 6), a, b);  // unchanged
  EXPECT_EQ(a, ZarMathPointf(1, 0, 0));
  GeosigOctree::GetBoxCenter(12345, 0, ZarMathPointf(-1, 2, 4), ZarMathPointf(3, 4, 5), centre);
  EXPECT_EQ(centre, ZarMathPointf(1, 3, 4.5f));
  GeosigOctree::GetBoxCenter(4, 3, origin, ZarMathPointf(8, 8, 8), centre);
  EXPECT_EQ(centre, ZarMathPointf(1.5f, 0.5f, 0.5f));

  // Ids built down a path name the box that the corners reach along the same path.
  std::mt19937 random(7);
  const ZarMathPointf low(-3, 0, 1), high(5, 16, 3);
  for (int trial = 0; trial < 200; ++trial) {
    ZarMathPointf boxMin = low, boxMax = high;
    const unsigned int levels = 1 + random() % 10;
    id = 0;
    for (unsigned int level = 0; level < levels; ++level) {
      const unsigned int child = random() % 8;
      const ZarMathPointf parentMin = boxMin, parentMax = boxMax;
      GeosigOctree::GetBoxId(child, id, id);
      GeosigOctree::GetBoxCoord(child, parentMin, parentMax, boxMin, boxMax);
    }
    GeosigOctree::GetBoxCenter(id, levels, low, high, centre);
    EXPECT_EQ(centre, ZarMathPointf((boxMin.x + boxMax.x) / 2, (boxMin.y + boxMax.y) / 2, (boxMin.z + boxMax.z) / 2));
  }
}

TEST(GeosigOctreeBoxes, FixedPointConversionWrapsOutsideTheBox) {
  OctreeProbe octree(3, ZarMathPointf(-2, 0, 10), ZarMathPointf(2, 8, 11));
  ZarOctreePosition p = octree.Position(ZarMathPointf(0, 4, 10));
  EXPECT_EQ(p.x, 0x80000000u);
  EXPECT_EQ(p.y, 0x80000000u);
  EXPECT_EQ(p.z, 0u);
  p = octree.Position(ZarMathPointf(2, 1, 10.25f));  // 2^32 does not fit: the maximum face wraps
  EXPECT_EQ(p.x, 0u);
  EXPECT_EQ(p.y, 0x20000000u);
  EXPECT_EQ(p.z, 0x40000000u);
  EXPECT_EQ(octree.Position(ZarMathPointf(-3, 0, 10)).x, 0xC0000000u);  // a quarter below

  ZarMathPointf back;
  octree.Convert(ZarOctreePosition{0x40000000u, 0xC0000000u, 0xFFFFFFFFu}, back);
  EXPECT_EQ(back, ZarMathPointf(-1, 6, 11));  // 0xFFFFFFFF rounds to 2^32 in single precision

  OctreeProbe flat(3, origin, ZarMathPointf(1, 0, 1e-20f));
  p = flat.Position(ZarMathPointf(0.5f, 0.5f, 1.0f));
  EXPECT_EQ(p.y, 0u);  // zero extent: no finite value
  EXPECT_EQ(p.z, 0u);  // beyond any 64-bit integer
}

// ---------------------------------------------------------------------------------------------
// Triangle/box overlap

TEST(GeosigOctreeTriangleToBox, EachAxisSeparatesAndTouchingOverlaps) {
  const float centre[3] = {0, 0, 0}, half[3] = {1, 1, 1};
  const float apart[3][3] = {{2, 0, 0}, {3, 0, 0}, {2, 1, 0}};
  const float touching[3][3] = {{1, 0, 0}, {3, 0, 0}, {2, 1, 0}};
  const float crossing[3][3] = {{-5, -5, 0}, {5, -5, 0}, {0, 5, 0}};
  const float segment[3][3] = {{-2, 0.5f, 0}, {2, 0.5f, 0}, {0, 0.5f, 0}};  // no plane
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, apart), 0);
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, touching), 1);
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, crossing), 1);
  EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, segment), 1);
  // Each separated by one axis only: the triangle's plane, then a cross product with each edge.
  const float planeOnly[3][3] = {{-1.5f, 0.5f, 1.5f}, {-2, 1, -3}, {0.5f, 2, 3}};
  const float edge0Only[3][3] = {{-1, 1, -2}, {3, 0.5f, -0.5f}, {1.5f, 1, -3}};
  const float edge1Only[3][3] = {{-3, -2, 0.5f}, {-2, -3, -1}, {-1, 2, 0.5f}};
  const float edge2Only[3][3] = {{-3, 1.5f, -1.5f}, {-3, -0.5f, -2}, {0.5f, -2, -1}};
  for (const auto* triangle : {planeOnly, edge0Only, edge1Only, edge2Only})
    EXPECT_EQ(OctreeProbe::TriangleToBox(centre, half, triangle), 0);
}

// The largest gap between the projections of a triangle and a box on the 13 candidate axes,
// in double: positive when they are separated, negative when they overlap.
double ReferenceGap(const double* iCentre, const double* iHalf, const double iTriangle[3][3]) {
  double v[3][3], e[3][3];
  for (int i = 0; i < 3; ++i)
    for (int a = 0; a < 3; ++a) v[i][a] = iTriangle[i][a] - iCentre[a];
  for (int i = 0; i < 3; ++i)
    for (int a = 0; a < 3; ++a) e[i][a] = v[(i + 1) % 3][a] - v[i][a];
  std::vector<std::array<double, 3>> axes = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  axes.push_back({e[0][1] * e[1][2] - e[0][2] * e[1][1], e[0][2] * e[1][0] - e[0][0] * e[1][2],
                  e[0][0] * e[1][1] - e[0][1] * e[1][0]});
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
}

// ---------------------------------------------------------------------------------------------
// Voxelisation

// The leaves of [0, 1]^3, where every leaf box is exact in float, that the triangle overlaps.
std::set<OctreeCell> OverlappedLeaves(unsigned int iDepth, const float iTriangle[3][3]) {
  std::set<OctreeCell> cells;
  const unsigned int n = 1u << iDepth;
  const float half = 0.5f / static_cast<float>(n);
  const float halfSize[3] = {half, half, half};
  for (unsigned int i = 0; i < n; ++i)
    for (unsigned int j = 0; j < n; ++j)
      for (unsigned int k = 0; k < n; ++k) {
        const float centre[3] = {(2 * i + 1) * half, (2 * j + 1) * half, (2 * k + 1) * half};
        if (OctreeProbe::TriangleToBox(centre, halfSize, iTriangle)) cells.insert({i, j, k});
      }
  return cells;
}

TEST(GeosigOctreeVoxelisation, MarksExactlyTheOverlappedLeavesAndRedrawingChangesNothing) {
  std::mt19937 random(2024);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (unsigned int depth = 3; depth <= 6; ++depth) {
    OctreeProbe all(depth, origin, ZarMathPointf(1, 1, 1));
    std::set<OctreeCell> expectedAll;
    for (int t = 0; t < (depth == 6 ? 6 : 16); ++t) {
      // Alternately large triangles and small ones around a random point.
      float triangle[3][3];
      const float spread = t % 2 ? 0.6f : 0.02f;
      const float anchor[3] = {unit(random) * 0.8f + 0.1f, unit(random) * 0.8f + 0.1f, unit(random) * 0.8f + 0.1f};
      for (auto& vertex : triangle)
        for (int a = 0; a < 3; ++a)
          vertex[a] = std::fmin(0.999f, std::fmax(0.001f, anchor[a] + (unit(random) - 0.5f) * spread));
      const ZarMathPointf p0(triangle[0]), p1(triangle[1]), p2(triangle[2]);
      const std::set<OctreeCell> expected = OverlappedLeaves(depth, triangle);

      OctreeProbe octree(depth, origin, ZarMathPointf(1, 1, 1));
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
  OctreeProbe flat(0, origin, ZarMathPointf(1, 1, 1));  // depth 0 marks nothing
  EXPECT_EQ(flat.DrawTriangle(ZarMathPointf(0.1f, 0.1f, 0.1f), ZarMathPointf(0.9f, 0.2f, 0.1f), origin), S_OK);
  EXPECT_EQ(flat.Buffer(), std::vector<unsigned char>(32, 0));
}

TEST(GeosigOctreeVoxelisation, TouchingCountsInTheRecursionButTheDescentPicksTheUpperHalf) {
  OctreeProbe large(2, origin, ZarMathPointf(4, 4, 4));
  ASSERT_EQ(large.DrawTriangle(ZarMathPointf(2, 0.5f, 0.5f), ZarMathPointf(2, 3.5f, 0.5f),
                               ZarMathPointf(2, 0.5f, 3.5f)),
            S_OK);
  std::set<OctreeCell> expected;
  for (unsigned int x : {1u, 2u})  // both sides of the plane x = 2
    for (unsigned int y = 0; y < 4; ++y)
      for (unsigned int z = 0; y + z <= 4 && z < 4; ++z) expected.insert({x, y, z});
  EXPECT_EQ(MarkedLeaves(large), expected);

  OctreeProbe small(2, origin, ZarMathPointf(4, 4, 4));
  ASSERT_EQ(small.DrawTriangle(ZarMathPointf(2, 0.5f, 0.5f), ZarMathPointf(2, 0.6f, 0.5f),
                               ZarMathPointf(2, 0.5f, 0.6f)),
            S_OK);
  EXPECT_EQ(MarkedLeaves(small), (std::set<OctreeCell>{{2, 0, 0}}));
}

TEST(GeosigOctreeVoxelisation, FullBoxesAreNeitherEnteredNorAllocated) {
  OctreeProbe octree(4, origin, ZarMathPointf(16, 16, 16));
  octree.SetLink(0, 0, GeosigOctree::_FullLink);
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(1, 1, 1), ZarMathPointf(2, 1, 1), ZarMathPointf(1, 2, 1)), S_OK);
  EXPECT_EQ(octree._used, 32u);
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(1, 1, 1), ZarMathPointf(15, 1, 1), ZarMathPointf(1, 2, 1)), S_OK);
  EXPECT_EQ(octree.Link(0, 0), GeosigOctree::_FullLink);
  // Under child 1 only: one node, and the node sets of the two boxes of edge 4 the triangle crosses.
  EXPECT_EQ(octree._used, 32u + 32u + 2 * 8u);
}

TEST(GeosigOctreeVoxelisation, TriangleOutsideWidensTheBoxFromItsNewMinimum) {
  OctreeProbe octree(3, origin, ZarMathPointf(4, 4, 4));
  // The minimum moves down; the extent only grows as far as this triangle needs.
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(-1, 1, 1), ZarMathPointf(1, 1, 1), ZarMathPointf(1, 2, 1)), S_OK);
  ZarMathPointf low, high;
  octree.GetBoundingBox(low, high);
  EXPECT_EQ(low, ZarMathPointf(-1, 0, 0));
  EXPECT_EQ(high, ZarMathPointf(3, 4, 4));
  // All minima are settled before any extent grows, whatever the vertex order.
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(5, 1, 1), ZarMathPointf(-2, 1, 1), ZarMathPointf(0, 2, 1)), S_OK);
  octree.GetBoundingBox(low, high);
  EXPECT_EQ(low, ZarMathPointf(-2, 0, 0));
  EXPECT_EQ(high, ZarMathPointf(5, 4, 4));
}

TEST(GeosigOctreeVoxelisation, PointMarksTheLeafItFallsIn) {
  OctreeProbe octree(3, origin, ZarMathPointf(2, 2, 2));
  octree.DrawPoint(ZarMathPointf(1, 1, 1));  // the path 7, 0, 0
  EXPECT_EQ(MarkedLeaves(octree), (std::set<OctreeCell>{{4, 4, 4}}));
  // Outside the box: no widening, and x = 5 wraps onto the same fixed-point coordinate as 1.
  octree.DrawPoint(ZarMathPointf(5, 1, 0.1f));
  EXPECT_EQ(MarkedLeaves(octree), (std::set<OctreeCell>{{4, 4, 4}, {4, 4, 0}}));
}

TEST(GeosigOctreeVoxelisation, RepresentationTreesArePlacedByTheBagThenTheGivenMatrix) {
  ZarTessellation shape;
  for (int k = 0; k < 8; ++k)
    shape.vertices.insert(shape.vertices.end(), {0.1f * k, 0.05f * k * k - 0.3f * k, k % 3 ? 0.4f - 0.1f * k : 0.2f * k});
  shape.triangles = {0, 3, 6};
  shape.fanCounts = {5};
  shape.fans = {7, 1, 2, 4, 5};
  shape.stripCounts = {2, 4};  // the strip of 2 gives nothing and moves on by 2
  shape.strips = {0, 1, 2, 3, 5, 6};
  ZarRef<ZarSurfacicRep> surface = scene::Surface(shape);
  ZarRef<Zar3DCuboidRep> cuboid(Zar3DCuboidRep::CreateRep(ZarMathPointf(5, 5, 5), ZarMathVectorf(1, 0, 0),
                                                          ZarMathVectorf(0, 1, 0), ZarMathVectorf(0, 0, 1), 2));
  const Zar4x4Matrix bagMatrix = scene::Translation(0.3, -0.2, 0.1);
  ZarRef<Zar3DBagRep> inner = scene::Bag(bagMatrix, {surface.get(), cuboid.get()});
  ZarRef<Zar3DBagRep> outer = scene::Bag({inner.get()});
  const Zar4x4Matrix given = scene::Rotation(0, 0, 1, 0.7) * scene::Scaling(2.0) * scene::Translation(4, 4, 4);

  OctreeProbe drawn(5, origin, ZarMathPointf(8, 8, 8));
  EXPECT_EQ(drawn.DrawRep(given, nullptr), S_OK);
  EXPECT_EQ(drawn.DrawRep(given, cuboid.get()), S_OK);  // not a surface: nothing drawn
  EXPECT_EQ(drawn._used, 32u);
  ASSERT_EQ(drawn.DrawRep(given, outer.get()), S_OK);
  EXPECT_EQ(surface->GetEditMode(), 1);

  // Triangles, then fans, then strips: the same buffer as drawing them one by one.
  const Zar4x4Matrix placed = bagMatrix * given;
  const auto vertex = [&](unsigned int iNumber) { return placed * ZarMathPointf(&shape.vertices[3 * iNumber]); };
  const unsigned int expected[][3] = {{0, 3, 6}, {7, 1, 2}, {7, 2, 4}, {7, 4, 5}, {2, 3, 5}, {3, 5, 6}};
  OctreeProbe reference(5, origin, ZarMathPointf(8, 8, 8));
  for (const auto& t : expected) ASSERT_EQ(reference.DrawTriangle(vertex(t[0]), vertex(t[1]), vertex(t[2])), S_OK);
  EXPECT_FALSE(MarkedLeaves(drawn).empty());
  EXPECT_EQ(drawn.Buffer(), reference.Buffer());

  BufferAllocationsFailAfter failing(0);
  testing::internal::CaptureStdout();
  OctreeProbe starved(3, origin, ZarMathPointf(8, 8, 8));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(starved.DrawRep(given, outer.get()), E_FAIL);
}

// ---------------------------------------------------------------------------------------------
// Output to representations

const std::vector<ZarRep*>& ChildrenOf(const ZarRep* iBag) {
  return *static_cast<const Zar3DBagRep*>(iBag)->GetChildren();
}

ZarMathPointf TranslationOf(const ZarRep* iLeafBag) {
  const ZarMathVector t = static_cast<const Zar3DBagRep*>(iLeafBag)->GetMatrix()->GetTranslation();
  return ZarMathPointf(static_cast<float>(t.x), static_cast<float>(t.y), static_cast<float>(t.z));
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

TEST(GeosigOctreeOutput, OneLeafGivesOneTranslatedBagHoldingTheSharedCube) {
  OctreeProbe octree(1, origin, ZarMathPointf(2, 2, 2));
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(0.2f, 0.2f, 0.2f), ZarMathPointf(0.4f, 0.2f, 0.2f),
                                ZarMathPointf(0.2f, 0.4f, 0.2f)),
            S_OK);
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
  ASSERT_EQ(bag->GetChildren()->size(), 1u);
  EXPECT_EQ(TranslationOf(bag->GetChildren()->front()), ZarMathPointf(0.5f, 0.5f, 0.5f));
  GeosigOffsetRep* shared = SharedRepOf(*bag);
  EXPECT_EQ(shared->GetSize(), 1.0f);
  EXPECT_EQ(shared->GetMatrix(), nullptr);
  ASSERT_EQ(ChildrenOf(shared).size(), 1u);
  ASSERT_TRUE(ChildrenOf(shared)[0]->IsAKindOf("Zar3DCuboidRep"));
  const Zar3DCuboidRep& cube = *static_cast<const Zar3DCuboidRep*>(ChildrenOf(shared)[0]);
  EXPECT_EQ(cube.GetCorner(), ZarMathPointf(-0.5f, -0.5f, -0.5f));
  EXPECT_EQ(cube.GetU(), ZarMathVectorf(1, 0, 0));
  EXPECT_EQ(cube.GetV(), ZarMathVectorf(0, 1, 0));
  EXPECT_EQ(cube.GetW(), ZarMathVectorf(0, 0, 1));
  EXPECT_EQ(cube.GetMode(), 2);

  OctreeProbe oblong(2, origin, ZarMathPointf(4, 2, 2));  // cubes take the edge of the x extent
  oblong.DrawPoint(ZarMathPointf(0.5f, 0.2f, 0.2f));
  ZarRef<Zar3DBagRep> other(Zar3DBagRep::CreateRep());
  ASSERT_EQ(oblong.AddToBagRep(other.get()), S_OK);
  EXPECT_EQ(SharedRepOf(*other)->GetSize(), 1.0f);
  EXPECT_EQ(TranslationOf(other->GetChildren()->front()), ZarMathPointf(0.5f, 0.25f, 0.25f));
}

TEST(GeosigOctreeOutput, LeafBagsComeInChildOrderAndReadingAllocatesNothing) {
  OctreeProbe octree(3, origin, ZarMathPointf(8, 8, 8));
  octree.DrawPoint(ZarMathPointf(1.5f, 6.5f, 7.5f));  // root child 6
  octree.DrawPoint(ZarMathPointf(5.5f, 0.5f, 2.5f));  // root child 1
  const std::uint32_t used = octree._used;
  for (int pass = 0; pass < 2; ++pass) {
    ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
    ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
    ASSERT_EQ(bag->GetChildren()->size(), 2u);
    EXPECT_EQ(TranslationOf((*bag->GetChildren())[0]), ZarMathPointf(5.5f, 0.5f, 2.5f));
    EXPECT_EQ(TranslationOf((*bag->GetChildren())[1]), ZarMathPointf(1.5f, 6.5f, 7.5f));
    EXPECT_EQ(SharedRepOf(*bag)->GetParents().size(), 2u);
  }
  EXPECT_EQ(octree._used, used);

  octree.SetLink(0, 5, GeosigOctree::_FullLink);  // shown leaf by leaf
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);
  ASSERT_EQ(bag->GetChildren()->size(), 2u + 64u);
  EXPECT_EQ(TranslationOf((*bag->GetChildren())[1]), ZarMathPointf(4.5f, 0.5f, 4.5f));
  EXPECT_EQ(TranslationOf((*bag->GetChildren())[64]), ZarMathPointf(7.5f, 3.5f, 7.5f));
}

TEST(GeosigOctreeOutput, OffsetRepIsScaledAndLeftEmptyForTheCaller) {
  OctreeProbe octree(3, origin, ZarMathPointf(8, 8, 8));
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  GeosigOffsetRep* rep = nullptr;
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);  // empty: nothing added
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.0f), S_OK);
  EXPECT_TRUE(bag->GetChildren()->empty());
  ASSERT_NE(rep, nullptr);
  rep->Release();  // no leaf bag holds it: the caller's reference is the only one

  octree.DrawPoint(ZarMathPointf(0.5f, 0.5f, 0.5f));
  octree.DrawPoint(ZarMathPointf(7.5f, 0.5f, 0.5f));
  ASSERT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.1f), S_OK);
  ZarRef<GeosigOffsetRep> held(rep);
  EXPECT_EQ(SharedRepOf(*bag), rep);
  EXPECT_EQ(bag->GetChildren()->size(), 2u);
  EXPECT_TRUE(rep->GetChildren()->empty());
  ASSERT_NE(rep->GetMatrix(), nullptr);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(rep->GetMatrix()->GetElement(k, k), static_cast<double>(1.1f));

  GeosigOffsetRep* const untouched = held.get();
  GeosigOffsetRep* kept = untouched;
  EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &kept, -1.0f), E_INVALIDARG);
  EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &kept, std::nanf("")), E_INVALIDARG);
  EXPECT_EQ(octree.AddToOffsetRep(nullptr, &kept, 0.0f), E_INVALIDARG);
  EXPECT_EQ(kept, untouched);
  EXPECT_EQ(octree.AddToOffsetRep(bag.get(), nullptr, 0.0f), E_INVALIDARG);
  EXPECT_EQ(octree.AddToBagRep(nullptr), E_INVALIDARG);
  EXPECT_EQ(bag->GetChildren()->size(), 2u);
}

TEST(GeosigOctreeOutput, TraversedOutputIsTheUnionOfTheVoxelCubes) {
  OctreeProbe octree(3, origin, ZarMathPointf(8, 8, 8));
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(0.3f, 1.2f, 2.1f), ZarMathPointf(6.7f, 3.1f, 1.4f),
                                ZarMathPointf(2.2f, 7.3f, 5.6f)),
            S_OK);
  const std::set<OctreeCell> cells = MarkedLeaves(octree);
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  ASSERT_EQ(octree.AddToBagRep(bag.get()), S_OK);

  // Each leaf bag draws, one after the other, the 12 triangles of one marked voxel.
  RecordingRender recorder;
  recorder.Traverse(*bag);
  ASSERT_EQ(recorder.triangles.size(), 12 * cells.size());
  std::set<OctreeCell> drawn;
  for (std::size_t first = 0; first < recorder.triangles.size(); first += 12) {
    ZarMathPointf low = recorder.triangles[first].a, high = low;
    for (std::size_t t = first; t < first + 12; ++t)
      for (const ZarMathPointf& p : {recorder.triangles[t].a, recorder.triangles[t].b, recorder.triangles[t].c}) {
        low = ZarMathPointf(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = ZarMathPointf(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
      }
    EXPECT_EQ(high - low, ZarMathVectorf(1, 1, 1));
    drawn.insert({static_cast<unsigned int>(low.x), static_cast<unsigned int>(low.y), static_cast<unsigned int>(low.z)});
  }
  EXPECT_EQ(drawn, cells);

  GeosigBBRender bounds;
  bounds.Traverse(*bag);
  ZarMathPointf low, high;
  ASSERT_EQ(bounds.GetBoundingBox(low, high), S_OK);
  OctreeCell lowest = *cells.begin(), highest = lowest;
  for (const OctreeCell& cell : cells)
    for (int a = 0; a < 3; ++a) {
      lowest[a] = std::min(lowest[a], cell[a]);
      highest[a] = std::max(highest[a], cell[a]);
    }
  EXPECT_EQ(low, ZarMathPointf(lowest[0], lowest[1], lowest[2]));
  EXPECT_EQ(high, ZarMathPointf(highest[0] + 1, highest[1] + 1, highest[2] + 1));
}

TEST(GeosigOctreeOutput, AllocationFailuresStopTheWalkAndDestroyTheSharedRep) {
  OctreeProbe octree(3, origin, ZarMathPointf(8, 8, 8));
  octree.DrawPoint(ZarMathPointf(0.5f, 0.5f, 0.5f));
  octree.DrawPoint(ZarMathPointf(7.5f, 7.5f, 7.5f));
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  GeosigOffsetRep* rep = nullptr;
  {
    ScopedAllocationFailure failing(0);  // no offset rep
    EXPECT_EQ(octree.AddToBagRep(bag.get()), E_FAIL);
    EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.5f), E_FAIL);
  }
  {
    ScopedAllocationFailure failing(1);  // no leaf bag
    EXPECT_EQ(octree.AddToOffsetRep(bag.get(), &rep, 0.5f), E_OUTOFMEMORY);
  }
  EXPECT_EQ(rep, nullptr);
  EXPECT_TRUE(bag->GetChildren()->empty());
  {
    ScopedAllocationFailure failing(2);  // the offset rep and the first leaf bag
    EXPECT_EQ(octree.AddToBagRep(bag.get()), E_OUTOFMEMORY);
  }
  ASSERT_EQ(bag->GetChildren()->size(), 1u);  // the first leaf bag stays, without the destroyed rep
  EXPECT_TRUE(ChildrenOf(bag->GetChildren()->front()).empty());

  ZarRef<Zar3DBagRep> other(Zar3DBagRep::CreateRep());
  {
    ScopedAllocationFailure failing(3);  // everything but the cube
    EXPECT_EQ(octree.AddToBagRep(other.get()), S_OK);
  }
  ASSERT_EQ(other->GetChildren()->size(), 2u);
  EXPECT_TRUE(SharedRepOf(*other)->GetChildren()->empty());
}

}  // namespace
