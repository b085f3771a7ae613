#pragma once
// Signatures for benchmarks and tests of search at scale: families of perturbed copies of seed
// signatures, so that near neighbours exist and recall means something. A copy moves a random
// share of its occupied cells to a neighbouring cell, jitters its global terms by up to a few
// per cent and its size by up to 5 %; some copies are turned by a sign turn of their axes
// (which the distance forgives) and some are scaled by 2 or 1/2 (which the size term does not).
// Seeds are real signatures (a catalog's) or, without one, parametric: the shells of
// superellipsoids of random axes and roundness, whose terms are measured on their cells.
#include <cstdint>
#include <random>
#include <vector>

#include "ShapeSignature.h"

class PerturbedSignatures {
 public:
  PerturbedSignatures(std::vector<ShapeSignature> iSeeds, std::uint32_t iRandomSeed);
  // iCount parametric seeds at ShapeSignature::DefaultDepth.
  static std::vector<ShapeSignature> ParametricSeeds(std::size_t iCount, std::uint32_t iRandomSeed);

  std::size_t Families() const { return _seeds.size(); }
  // The next copy of seed iFamily.
  ShapeSignature CopyOf(std::size_t iFamily);

 private:
  std::vector<ShapeSignature> _seeds;
  std::mt19937 _random;
};
