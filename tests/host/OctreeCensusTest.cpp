// The census reads an octree's occupied leaves and storage through its public cursor only;
// the octree's own counters and an independent walk check it.
#include "OctreeCensus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "OctreeTestSupport.h"

namespace {

// An octree of edge 16 whose protected storage counters and links the tests may read and write.
class OpenOctree : public GeosigOctree {
 public:
  explicit OpenOctree(unsigned int iDepth) {
    SetDepth(iDepth);
    SetBoundingBox(ZarMathPointf(0, 0, 0), ZarMathPointf(16, 16, 16));
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
    OpenOctree octree(depth);
    for (int k = 0; k < 40; ++k) {
      const ZarMathPointf a(coordinate(random), coordinate(random), coordinate(random));
      octree.DrawTriangle(a, ZarMathPointf(a.x + 1.5f, a.y, a.z * 0.5f), ZarMathPointf(a.x, a.y + 0.7f, a.z));
    }
    const std::set<OctreeCell> marked = MarkedLeaves(octree);
    const OctreeCensus census(octree);
    EXPECT_EQ(census.OccupiedLeaves(), marked.size()) << depth;
    EXPECT_EQ(census.StorageBytes(), octree.UsedBytes()) << depth;
  }
}

TEST(OctreeCensus, FullLinkCountsItsWholeBlockWithoutWalkingIt) {
  // Voxelisation never writes a full link, but one must not be followed as an offset.
  OpenOctree octree(4);
  octree.SetRootLink(7, GeosigOctree::_FullLink);
  // Inside the leaf cell (1, 1, 1), touching none of its faces.
  octree.DrawTriangle(ZarMathPointf(1.2f, 1.2f, 1.5f), ZarMathPointf(1.8f, 1.2f, 1.5f),
                      ZarMathPointf(1.2f, 1.8f, 1.5f));
  const OctreeCensus census(octree);
  EXPECT_EQ(census.OccupiedLeaves(), 1u + 8u * 8u * 8u);
  EXPECT_EQ(census.StorageBytes(), octree.UsedBytes());
  EXPECT_EQ(census.HighestCell()[0], 15u);
  EXPECT_EQ(census.LowestCell()[2], 1u);
}

}  // namespace
