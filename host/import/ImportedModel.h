#pragma once
// What an importer hands back: the root of the representation tree and what the reader
// had to say about the file.
#include <string>
#include <vector>

#include "Zar3DBagRep.h"
#include "ZarRef.h"

struct ImportedModel {
  ZarRef<Zar3DBagRep> root;
  // The reader that understood the file, for example "STEP" or "Stereolithography".
  std::string format;
  // Parts of the file that were skipped or repaired, one line each: the CAD faces that could
  // not be tessellated, and what Assimp's reader logged as warnings or errors for this file.
  std::vector<std::string> warnings;
};
