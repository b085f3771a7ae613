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
  // Parts of the file that were skipped, one line each.
  std::vector<std::string> warnings;
};
