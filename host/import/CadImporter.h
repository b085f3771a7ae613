#pragma once
// Reads B-rep CAD files through OpenCASCADE (STEP, IGES, BREP) into an XCAF document, so
// that assemblies and shared parts survive, tessellates every face once with the chosen
// deflection and converts the document into a representation tree.
#include <optional>
#include <string>

#include "ImportOptions.h"
#include "ImportedModel.h"

enum class CadFormat { Step, Iges, Brep };

class CadImporter {
 public:
  explicit CadImporter(const ImportOptions& iOptions = ImportOptions());

  // The format of names ending in iExtension (".stp"; case is ignored), if it is a CAD one.
  static std::optional<CadFormat> FormatOfExtension(const std::string& iExtension);
  // The format of a file whose first bytes are iHead, if they identify a CAD one.
  static std::optional<CadFormat> FormatOfContent(const std::string& iHead);

  // Throws ImportError when the file cannot be read or holds no face.
  ImportedModel Import(const std::string& iPath, CadFormat iFormat) const;

 private:
  ImportOptions _options;
};
