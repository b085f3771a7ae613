#pragma once
// The work `geosig index` does for one file, apart from the catalog: import it, describe it
// and compute its shape signature. It runs in a worker process, where the reading libraries
// may crash or hang, so it takes a path and gives back text, which the catalog's writer (the
// parent process) reads back.
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"
#include "SignatureCatalog.h"
#include "WorkerPool.h"

struct IndexTask {
  static constexpr const char* kind = "index";
  ImportOptions options;
  // Catalogs hold signatures of the default depth.
  unsigned int depth = ShapeSignature::DefaultDepth;

  Report Parameters() const;
  static IndexTask FromParameters(const Report& iParameters);
  // A JSON object: {"format", "warnings"?, "descriptors", "signature": {"norm", "terms",
  // "depth", "occupancy" (hex of the packed cells)}} or {"error"}. Never throws for a bad file.
  std::string Run(const std::string& iPath) const;
};

// The part IndexTask reads iPath into, from a worker process of its own under iLimits, where a
// reader that crashes, hangs or exhausts memory gives the part its error with the reason.
IndexedPart IsolatedIndexTask(const std::string& iPath, const ImportOptions& iOptions, const WorkerLimits& iLimits,
                              unsigned int iDepth = ShapeSignature::DefaultDepth);

// The part the record describes (format, descriptors, signature or error); the caller fills
// in the path, fingerprint, size and options. Throws std::runtime_error for a damaged record.
IndexedPart ReadIndexRecord(const std::string& iRecord);
IndexedPart ReadIndexRecord(const Report& iRecord);
