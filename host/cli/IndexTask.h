#pragma once
// The work `geosig index` does for one file, apart from the catalog: import it, describe it
// and compute its shape signature. It runs in a worker process, where the reading libraries
// may crash or hang, so it takes a path and gives back text, which the catalog's writer (the
// parent process) reads back.
#include <string>

#include "ImportOptions.h"
#include "SignatureCatalog.h"

// A JSON object: {"format", "warnings"?, "descriptors", "signature": {"norm", "terms",
// "depth", "occupancy" (hex of the packed cells)}} or {"error"}. Never throws for a bad file.
std::string IndexTask(const std::string& iPath, const ImportOptions& iOptions);

// The part the record describes (format, descriptors, signature or error); the caller fills
// in the path, fingerprint, size and options. Throws std::runtime_error for a damaged record.
IndexedPart ReadIndexRecord(const std::string& iRecord);
