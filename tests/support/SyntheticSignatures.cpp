#include "SyntheticSignatures.h"

ShapeSignature RandomSignature(std::mt19937& ioRandom) {
  std::uniform_int_distribution<unsigned int> cell(4, 27);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  VoxelGrid grid(ShapeSignature::DefaultDepth);
  const unsigned int cx = cell(ioRandom), cy = cell(ioRandom), cz = cell(ioRandom);
  for (int k = 0; k < 300; ++k)
    grid.Set(cx + cell(ioRandom) / 6 - 2, cy + cell(ioRandom) / 6 - 2, cz + cell(ioRandom) / 6 - 2);
  ShapeSignature::Global terms;
  for (float& term : terms) term = unit(ioRandom);
  return ShapeSignature(1.0f + 9.0f * unit(ioRandom), terms, grid);
}
