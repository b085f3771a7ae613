#pragma once
// A catalog opened for searching: resident in memory (ResidentCatalog), with the reports of
// matches that query, neighbours and duplicates print.
#include <string>
#include <vector>

#include "CatalogError.h"
#include "ReportValues.h"
#include "ResidentCatalog.h"

class CatalogSearch {
 public:
  // Throws CatalogError when the catalog cannot be read. What was done to its search index
  // (built, brought up to date) is noted on standard error.
  explicit CatalogSearch(const std::string& iDatabase,
                         ResidentCatalog::Loading iLoading = ResidentCatalog::Loading::Whole);

  const ResidentCatalog& Resident() const { return _resident; }
  std::string PathOf(std::int64_t iId) const { return _resident.PathOf(iId); }
  // Takes in what changed in the catalog since it was opened or last refreshed; true when something did.
  bool Refresh() { return _resident.Refresh(); }

  // {"file", "distance": {"combined", "occupancy", "views", "shape", "size"}, "mirrored", "scale"}
  Report MatchReport(const SignatureMatch& iMatch) const;
  static Report WeightsReport(const SignatureMetric& iMetric);
  // "0.1234  (occupancy 0.1000, views 0.0500, shape 0.0200, size 0.0034)": the combined distance and its parts,
  // as query prints.
  static std::string DistanceText(const DistanceParts& iDistance);
  // "scale 25.4  mirrored": what kind of match it is, as query prints.
  static std::string KindText(const SignatureMatch& iMatch);

 private:
  ResidentCatalog _resident;
};
