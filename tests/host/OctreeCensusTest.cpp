// The census reads an octree's occupied leaves and storage through its public cursor only;
// the octree's own counters and an independent walk check it.
#include "OctreeCensus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "OctreeTestSupport.h"

namespace {

// An octree whose protected storage counters and links the tests may read and write.
class OpenOctree : public GeosigOctree {
 public:
  OpenOctree(unsigned int iDepth, float iEdge) {
    SetDepth(iDepth);
    SetBoundingBox(ZarMathPointf(0, 0, 0), ZarMathPointf(iEdge, iEdge, iEdge));
    Create();
  }
  unsigned int UsedBytes() {
    SetSize();
    return GetOctreeSize();
  }
  void SetRootLink(unsigned int iChild, std::uint32_t iLink) { std::memcpy(_data + 4 * iChild, &iLink, sizeof iLink); }
};

TEST(OctreeCensus, LeavesAndBytesMatchTheOctreeAtEveryDepth) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(0.0f, 16.0f);
  for (unsigned int depth = 1; depth <= 7; ++depth) {
    SCOPED_TRACE(depth);
    OpenOctree octree(depth, 16.0f);
    for (int k = 0; k < 40; ++k) {
      const ZarMathPointf a(coordinate(random), coordinate(random), coordinate(random));
      const ZarMathPointf b(a.x + 1.5f, a.y, a.z * 0.5f), c(a.x, a.y + 0.7f, a.z);
      ASSERT_EQ(octree.DrawTriangle(a, b, c), S_OK);
    }
    const std::set<OctreeCell> marked = MarkedLeaves(octree);
    const OctreeCensus census(octree);
    EXPECT_EQ(census.OccupiedLeaves(), marked.size());
    EXPECT_EQ(census.StorageBytes(), octree.UsedBytes());
    for (std::size_t axis = 0; axis < 3; ++axis) {
      std::uint32_t lowest = UINT32_MAX, highest = 0;
      for (const OctreeCell& cell : marked) {
        lowest = std::min(lowest, cell[axis]);
        highest = std::max(highest, cell[axis]);
      }
      EXPECT_EQ(census.LowestCell()[axis], lowest);
      EXPECT_EQ(census.HighestCell()[axis], highest);
    }
  }
}

TEST(OctreeCensus, EmptyOctreeHoldsOnlyItsRoot) {
  OpenOctree octree(5, 1.0f);
  const OctreeCensus census(octree);
  EXPECT_EQ(census.OccupiedLeaves(), 0u);
  EXPECT_EQ(census.StorageBytes(), 32u);
}

TEST(OctreeCensus, FullLinkCountsItsWholeBlockWithoutWalkingIt) {
  // Voxelisation never writes a full link, but one must not be followed as an offset.
  OpenOctree octree(4, 16.0f);
  octree.SetRootLink(7, GeosigOctree::_FullLink);
  // Inside the leaf cell (1, 1, 1), touching none of its faces.
  ASSERT_EQ(octree.DrawTriangle(ZarMathPointf(1.2f, 1.2f, 1.5f), ZarMathPointf(1.8f, 1.2f, 1.5f),
                                ZarMathPointf(1.2f, 1.8f, 1.5f)),
            S_OK);
  const OctreeCensus census(octree);
  EXPECT_EQ(census.OccupiedLeaves(), 1u + 8u * 8u * 8u);
  EXPECT_EQ(census.StorageBytes(), octree.UsedBytes());
  EXPECT_EQ(census.HighestCell()[0], 15u);
  EXPECT_EQ(census.LowestCell()[2], 1u);
}

}  // namespace
