#include <gtest/gtest.h>

#include <random>

#include "DepthViews.h"
#include "SignatureMetric.h"

namespace {

// The depth of one pixel by its meaning: the cells a ray passes before an occupied one.
unsigned int RayDepth(const VoxelGrid& iGrid, int iImage, unsigned int iU, unsigned int iV) {
  const int axis = iImage / 2;
  const bool fromHigh = iImage % 2 == 1;
  const unsigned int side = iGrid.Side();
  for (unsigned int step = 0; step < side; ++step) {
    unsigned int cell[3];
    cell[axis] = fromHigh ? side - 1 - step : step;
    cell[axis == 0 ? 1 : 0] = iU;
    cell[axis == 2 ? 1 : 2] = iV;
    if (iGrid.Test(cell[0], cell[1], cell[2])) return step;
  }
  return side;
}

}  // namespace

TEST(DepthViews, EveryPixelIsTheDepthOfItsRayAtEveryGridDepth) {
  std::mt19937 random(11);
  for (unsigned int depth = 1; depth <= VoxelGrid::MaxDepth; ++depth)
    for (const double fill : {0.0, 0.002, 0.05, 0.5, 1.0}) {
      VoxelGrid grid(depth);
      const unsigned int side = grid.Side();
      std::bernoulli_distribution occupied(fill);
      for (unsigned int z = 0; z < side; ++z)
        for (unsigned int y = 0; y < side; ++y)
          for (unsigned int x = 0; x < side; ++x)
            if (occupied(random)) grid.Set(x, y, z);
      const DepthViews views(grid);
      ASSERT_EQ(views.Depths().size(), 6u * side * side);
      for (int image = 0; image < 6; ++image)
        for (unsigned int v = 0; v < side; ++v)
          for (unsigned int u = 0; u < side; ++u)
            ASSERT_EQ(views.Depths()[image * side * side + u + side * v], RayDepth(grid, image, u, v))
                << "depth " << depth << ", fill " << fill << ", image " << image << ", pixel " << u << ' ' << v;
    }
}

// A query is compared in every pose by views made once and then moved: they must be what
// viewing the moved grid gives, for every map, turn or reflection.
TEST(DepthViews, MovedWithTheirGridByEveryMapOfTheFrame) {
  std::mt19937 random(5);
  for (const unsigned int depth : {1u, 3u, 5u}) {
    VoxelGrid grid(depth);
    const unsigned int last = grid.Side() - 1;
    std::uniform_int_distribution<unsigned int> cell(0, last);
    for (int k = 0; k < 40; ++k) grid.Set(cell(random), cell(random) / 2, cell(random) / 4);  // lopsided
    const DepthViews views(grid);
    for (const AxisMap& map : SignatureMetric::Maps())
      ASSERT_EQ(views.Mapped(map).Depths(), DepthViews(grid.Mapped(map)).Depths()) << "depth " << depth;
  }
}
