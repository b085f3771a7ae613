#pragma once
// The answers of the service's API as JSON values, apart from HTTP: what each route computes from the catalog and
// from the models it reads. A request that cannot be answered throws ApiError with its status (404 for a part the
// catalog does not hold, 422 for a model that cannot be read, 503 when every reader stays busy).
#include <cstddef>
#include <cstdint>
#include <string>

#include "IsolatedReader.h"
#include "ModelCache.h"
#include "ReportValues.h"
#include "ServedCatalog.h"
#include "SignedUploads.h"
#include "UploadedFile.h"

class CatalogApi {
 public:
  CatalogApi(ServedCatalog& ioCatalog, const IsolatedReader& iReader, const ModelCache& iModels);

  // Picks up the catalog's changes; called before each request.
  void Refresh() { _catalog.Refresh(); }

  // {"parts": parts with a signature, "version"}
  Report Health() const;
  // ServedCatalog::Part's record.
  Report Part(std::int64_t iId) const;
  // {"id", "file", "anySize", "weights", "matches"}: the parts nearest a part of the catalog, which is left out.
  Report Neighbours(std::int64_t iId, std::size_t iCount, bool iAnySize) const;
  // {"query": {"format", "descriptors"}, "anySize", "weights", "matches"}: the parts nearest the uploaded model,
  // which is read in a worker unless the same bytes under the same extension were read lately.
  Report Search(const UploadedFile& iModel, std::size_t iCount, bool iAnySize) const;
  // {"maxDistance", "anySize", "weights", "identical", "similar"}
  Report Duplicates(double iMaxDistance, bool iAnySize) const;
  // The part's display model as binary glTF.
  std::string Model(std::int64_t iId) const;

 private:
  static Report Searched(bool iAnySize, Report iMatches);
  std::shared_ptr<const IndexedPart> Signed(const UploadedFile& iModel) const;

  ServedCatalog& _catalog;
  const IsolatedReader& _reader;
  const ModelCache& _models;
  const SignedUploads _uploads{64};
};
