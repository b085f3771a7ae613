#pragma once
// A model file described: the reader that understood it, what the reader left out, and the
// descriptors of what it read.
#include <string>
#include <vector>

#include "Descriptors.h"
#include "ImportOptions.h"
#include "Outcome.h"

struct ModelDescription {
  // "STEP", "IGES", "BREP", or for meshes the file's extension in capitals.
  std::string format;
  // What the reader left out or repaired, one sentence each.
  std::vector<std::string> warnings;
  Descriptors descriptors;
};

// Imports iPath (CAD files tessellated as iOptions say) and describes it. Never throws: a file
// that cannot be read or described gives the reason (missing, unreadable, unknown format, the
// reader's message, no triangle, ...).
Outcome<ModelDescription> DescribeFile(const std::string& iPath, const ImportOptions& iOptions);
