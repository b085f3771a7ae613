#pragma once
// Copies of a CAD part as a catalog meets the same part again: tessellated with another
// deflection, turned and moved, converted to STL, OBJ and PLY, scaled by 25.4 (millimetres
// taken for inches) and mirrored (a left-hand part for a right-hand one), each with the
// signature `geosig index` would compute for it.
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "ShapeSignature.h"

struct PerturbedCopy {
  std::string name;
  ShapeSignature signature;
  double scale;   // how many times larger the copy is
  bool mirrored;  // whether the copy is the part's mirror image
};

// The signature of a model file as `geosig index` computes it (without its worker process);
// throws what the importer throws.
ShapeSignature FileSignature(const std::string& iPath, const ImportOptions& iOptions = ImportOptions());

// The copies of the part in iPath; the converted files are written into the existing
// directory iWork. Throws what the importer and the writers throw.
std::vector<PerturbedCopy> PerturbedCopies(const std::string& iPath, const std::string& iWork);
