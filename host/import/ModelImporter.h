#pragma once
// The importer a host calls: checks that the file can be read, then hands it to the CAD
// importer (STEP, IGES, BREP, known by their name or their first bytes) or to the mesh
// importer (everything else).
#include <string>

#include "ImportOptions.h"
#include "ImportedModel.h"

class ModelImporter {
 public:
  explicit ModelImporter(const ImportOptions& iOptions = ImportOptions());

  // Throws ImportError, whose message names the file and the reason, for a file that is
  // missing, unreadable, empty, of an unknown format or inconsistent.
  ImportedModel Import(const std::string& iPath) const;

 private:
  ImportOptions _options;
};
