#pragma once
// Shape signatures made up from a seeded generator, for tests and benchmarks of the search
// that need many parts without importing models.
#include <random>

#include "ShapeSignature.h"

// A blob of about 300 occupied cells around a random centre, random global terms in [0, 1]
// and a norm between 1 and 10.
ShapeSignature RandomSignature(std::mt19937& ioRandom);
