#include "PerturbedSignatures.h"

#include <algorithm>
#include <cmath>

#include "AxisMap.h"

namespace {

// The centre of cell iCell of an occupancy, in the normalised frame.
float CellCentre(unsigned int iCell, unsigned int iSide) {
  return -ShapeSignature::Reach + (static_cast<float>(iCell) + 0.5f) * 2.0f * ShapeSignature::Reach / iSide;
}

// Global terms measured on the cells: second moments, box, mirror symmetries and asymmetries,
// and the cell count as an area.
ShapeSignature::Global MeasuredTerms(const VoxelGrid& iCells) {
  using S = ShapeSignature;
  const unsigned int side = iCells.Side();
  double moments[3] = {0, 0, 0}, signedMoments[3] = {0, 0, 0};
  float low[3] = {2, 2, 2}, high[3] = {-2, -2, -2};
  std::size_t count = 0;
  bool symmetric[3] = {true, true, true};
  for (unsigned int z = 0; z < side; ++z)
    for (unsigned int y = 0; y < side; ++y)
      for (unsigned int x = 0; x < side; ++x) {
        if (!iCells.Test(x, y, z)) continue;
        const unsigned int cell[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) {
          const float centre = CellCentre(cell[k], side);
          moments[k] += centre * centre;
          signedMoments[k] += centre * std::fabs(centre);
          low[k] = std::min(low[k], centre), high[k] = std::max(high[k], centre);
        }
        symmetric[0] = symmetric[0] && iCells.Test(side - 1 - x, y, z);
        symmetric[1] = symmetric[1] && iCells.Test(x, side - 1 - y, z);
        symmetric[2] = symmetric[2] && iCells.Test(x, y, side - 1 - z);
        ++count;
      }
  S::Global terms{};
  for (int k = 0; k < 3; ++k) {
    terms[S::Value1 + k] = static_cast<float>(moments[k] / std::max<std::size_t>(count, 1));
    terms[S::Extent1 + k] = std::max(0.0f, high[k] - low[k]);
    terms[S::SymmetryX + k] = symmetric[k] ? 1.0f : 0.0f;
    terms[S::AsymmetryX + k] = moments[k] > 0.0 ? static_cast<float>(std::fabs(signedMoments[k]) / moments[k]) : 0.0f;
  }
  const float cell = 2.0f * ShapeSignature::Reach / side;
  terms[S::Area] = static_cast<float>(count) * cell * cell;
  return S::WithMirrorSimilarities(terms, iCells);
}

}  // namespace

PerturbedSignatures::PerturbedSignatures(std::vector<ShapeSignature> iSeeds, std::uint32_t iRandomSeed)
    : _seeds(std::move(iSeeds)), _random(iRandomSeed) {}

std::vector<ShapeSignature> PerturbedSignatures::ParametricSeeds(std::size_t iCount, std::uint32_t iRandomSeed) {
  std::mt19937 random(iRandomSeed);
  std::uniform_real_distribution<float> axis(0.15f, 1.0f), roundness(0.5f, 4.0f), offset(-0.3f, 0.3f);
  std::vector<ShapeSignature> seeds;
  for (std::size_t k = 0; k < iCount; ++k) {
    float axes[3] = {1.0f, axis(random), axis(random)};
    std::sort(axes, axes + 3, std::greater<float>());
    const float power = roundness(random), shift = offset(random);  // a shift off-centre breaks a symmetry
    VoxelGrid cells(ShapeSignature::DefaultDepth);
    const unsigned int side = cells.Side();
    const float thickness = 2.5f * ShapeSignature::Reach / side;
    for (unsigned int z = 0; z < side; ++z)
      for (unsigned int y = 0; y < side; ++y)
        for (unsigned int x = 0; x < side; ++x) {
          const float p[3] = {CellCentre(x, side), CellCentre(y, side), CellCentre(z, side)};
          // A superellipsoid tapered along its first axis, its shell a cell or so thick.
          const float taper = 1.0f + shift * p[0];
          float level = 0.0f;
          for (int a = 0; a < 3; ++a)
            level += std::pow(std::fabs(p[a] / (axes[a] * 0.98f * (a == 0 ? 1.0f : taper))), power);
          const float radius = std::pow(level, 1.0f / power);
          if (std::fabs(radius - 1.0f) * axes[2] < thickness) cells.Set(x, y, z);
        }
    if (cells.Count() == 0) cells.Set(side / 2, side / 2, side / 2);
    std::lognormal_distribution<float> norm(std::log(20.0f), 1.0f);
    seeds.emplace_back(norm(random), MeasuredTerms(cells), std::move(cells));
  }
  return seeds;
}

ShapeSignature PerturbedSignatures::CopyOf(std::size_t iFamily) {
  const ShapeSignature& seed = _seeds.at(iFamily % _seeds.size());
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const float moved = 0.3f * unit(_random) * unit(_random);  // mostly small changes, some large
  const VoxelGrid& source = seed.Occupancy();
  const unsigned int side = source.Side();
  VoxelGrid cells(source.Depth());
  std::uniform_int_distribution<int> step(-1, 1);
  const auto clamp = [side](int iCell) { return static_cast<unsigned int>(std::clamp(iCell, 0, int(side) - 1)); };
  for (unsigned int z = 0; z < side; ++z)
    for (unsigned int y = 0; y < side; ++y)
      for (unsigned int x = 0; x < side; ++x) {
        if (!source.Test(x, y, z)) continue;
        if (unit(_random) < moved)
          cells.Set(clamp(int(x) + step(_random)), clamp(int(y) + step(_random)), clamp(int(z) + step(_random)));
        else
          cells.Set(x, y, z);
      }
  ShapeSignature::Global terms = seed.Terms();
  std::uniform_real_distribution<float> jitter(-0.03f, 0.03f);
  for (int k = ShapeSignature::Value1; k <= ShapeSignature::Extent3; ++k) terms[k] *= 1.0f + jitter(_random);
  terms[ShapeSignature::Area] *= 1.0f + jitter(_random);
  float norm = seed.Norm() * (1.0f + 0.05f * (2.0f * unit(_random) - 1.0f));
  if (const float kind = unit(_random); kind < 0.1f)
    norm *= 2.0f;
  else if (kind < 0.2f)
    norm *= 0.5f;
  if (unit(_random) < 0.25f) {
    // One of the three sign turns other than the identity.
    const std::vector<AxisMap> turns = AxisMap::Turns(false, false);
    cells = cells.Mapped(turns[1 + std::uniform_int_distribution<std::size_t>(0, turns.size() - 2)(_random)]);
  }
  terms = ShapeSignature::WithMirrorSimilarities(terms, cells);
  return ShapeSignature(norm, terms, std::move(cells));
}
