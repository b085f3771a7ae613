// A program built against the installed package: prints the bounding box of a cuboid.
#include <cstdio>

#include "GeosigBBRender.h"
#include "Zar3DCuboidRep.h"
#include "ZarRef.h"

int main() {
  ZarRef<Zar3DCuboidRep> cuboid(Zar3DCuboidRep::CreateRep({0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, 3}, 2));
  GeosigBBRender render;
  render.Traverse(*cuboid);
  ZarMathPointf min, max;
  if (render.GetBoundingBox(min, max) != S_OK) return 1;
  std::printf("%g %g %g\n", max.x, max.y, max.z);
  return 0;
}
